// The Channel page over a scripted device: what each edit sends (all eight values with SetM, the
// manual PWM with SetPWM), when a channel counts as changed, automatic control and the manual
// PWM field, choosing a channel, the EEPROM buttons, and device errors inside the handlers.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>

#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "core/Params.h"
#include "pages/ChannelPage.h"
#include "widgets/ColorConvert.h"
#include "widgets/CurveGraph.h"
#include "widgets/Floatedit.h"

namespace {

using TSetM = std::array<int32_t, 9>;
using TSetPwm = std::array<int32_t, 6>;

// Channel 3 (index 2) in manual mode with Boost and the temperature alarm on; the other
// channels under automatic control, so their PWM stays the controller's reading.
constexpr TFakeRecord kRecord2{5, 300, 77, 600, 204, 700, 500, 128};
constexpr TSetM kSent2{2, 5, 300, 77, 600, 204, 700, 500, 128};

void ScriptDevice() {
    FakeDevice().Reset();
    for (int i = 0; i < 6; ++i)
        FakeDevice().records[i] = {2, 100, 0, 500, 255, 800, 0, 0};
    FakeDevice().records[2] = kRecord2;
    FakeDevice().pwm = {10, 20, 30, 40, 50, 60};
    FakeDevice().t = {250, 260, 270, 280, 290, 300};
    FakeDevice().v = {1000, 1100, 1200, 1300, 1400, 1500};
}

// Opens the window on the Channel page with channel 3 selected, shown and active so that the
// focus moves as it does for a user, and forgets the start-up's calls.
bool OpenOnChannel2(TWindowRig& rig) {
    rig.WriteIni("[General]\r\nChannel=2\r\n");
    TMainForm& form = rig.Open();
    form.Frame().PageControl->setCurrentWidget(form.Frame().tsChannel);
    form.show();
    if (!QTest::qWaitForWindowActive(&form))
        return false;
    FakeDevice().calls.clear();
    FakeDevice().setM.clear();
    FakeDevice().setPwm.clear();
    return true;
}

TFloatEdit* Field(TMainForm& form, const QString& name) {
    return form.findChild<TFloatEdit*>(name);
}

void TypeInto(TFloatEdit* field, const QString& text) {
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClicks(field, text);
}

void TypeAndEnter(TFloatEdit* field, const QString& text) {
    TypeInto(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

int ChangedCount(const TMainForm& form) {
    return static_cast<int>(
        std::count(form.State().Changed.begin(), form.State().Changed.end(), true));
}

QColor Background(const QWidget* box) {
    return box->palette().color(QPalette::Base);
}

}  // namespace

class ChannelPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ScriptDevice(); }

    void startShowsTheChannelsParameters() {
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        QCOMPARE(form.ChannelPage().feTmin->text(), QStringLiteral("30.0"));
        QCOMPARE(form.ChannelPage().fePmin->text(), QStringLiteral("30"));
        QCOMPARE(form.ChannelPage().feTmax->text(), QStringLiteral("60.0"));
        QCOMPARE(form.ChannelPage().fePmax->text(), QStringLiteral("80"));
        QCOMPARE(form.ChannelPage().feTa->text(), QStringLiteral("70.0"));
        QCOMPARE(form.ChannelPage().feVa->text(), QStringLiteral("500"));
        QVERIFY(form.ChannelPage().cbBoost->isChecked() && form.ChannelPage().cbTa->isChecked());
        QVERIFY(!form.ChannelPage().cbAuto->isChecked() && !form.ChannelPage().cbVa->isChecked());
        QCOMPARE(form.ChannelPage().fePx->text(), QStringLiteral("50"));
        QVERIFY(!form.ChannelPage().fePx->isReadOnly());
        QCOMPARE(form.ChannelPage().edV->text(), QStringLiteral("6.0"));
        QCOMPARE(form.State().Pwm, (std::array<int32_t, 6>{10, 20, 128, 40, 50, 60}));
    }

    void typedValueGoesToTheControllerAtOnce_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("slot");  // index in the SetM arguments
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("requests");
        QTest::newRow("45.26 -> T_max 453") << "feTmax"
                                            << "45.26" << 4 << 453 << "45.3" << 1;
        QTest::newRow("50 % -> PWM_max 128") << "fePmax"
                                             << "50" << 5 << 128 << "50" << 1;
        // Each field shows what is stored, so what the controller holds.
        QTest::newRow("1234.9 rpm -> 1234") << "feVa"
                                            << "1234.9" << 7 << 1234 << "1234" << 1;
        QTest::newRow("55.55 -> T_alarm 556 shows 55.6") << "feTa"
                                                         << "55.55" << 6 << 556 << "55.6" << 1;
        QTest::newRow("50.4 % -> PWM_max 129 shows 51") << "fePmax"
                                                        << "50.4" << 5 << 129 << "51" << 1;
        QTest::newRow("T_min 12.34 -> 123") << "feTmin"
                                            << "12.34" << 2 << 123 << "12.3" << 1;
        QTest::newRow("PWM_min 0") << "fePmin"
                                   << "0" << 3 << 0 << "0" << 1;
        QTest::newRow("T_alarm 85.06 -> 851") << "feTa"
                                              << "85.06" << 6 << 851 << "85.1" << 1;
        // A clamped value notifies twice, so the set goes out twice.
        QTest::newRow("150 -> 100.0") << "feTmax"
                                      << "150" << 4 << 1000 << "100.0" << 2;
        QTest::newRow("-5 -> minimum, stored 0") << "fePmin"
                                                 << "-5" << 3 << 0 << "0" << 2;
        QTest::newRow("-5 degrees -> 0") << "feTmin"
                                         << "-5" << 2 << 0 << "0.0" << 2;
        QTest::newRow("99999 rpm -> 9999") << "feVa"
                                           << "99999" << 7 << 9999 << "9999" << 2;
        // Letters: the value stays, and it is still sent once.
        QTest::newRow("abc keeps 70.0") << "feTa"
                                        << "abc" << 6 << 700 << "70.0" << 1;
    }

    void typedValueGoesToTheControllerAtOnce() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, slot);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, requests);
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        TypeAndEnter(Field(form, field), typed);

        TSetM expected = kSent2;
        expected[slot] = stored;
        QCOMPARE(FakeDevice().setM, std::vector<TSetM>(requests, expected));
        QCOMPARE(Field(form, field)->text(), shown);
        QVERIFY(FakeDevice().setPwm.empty());
        const TChannelParams& record = form.State().Params->Active()->Channels[2];
        QCOMPARE(record.T_min, expected[2]);
        QCOMPARE(record.PWM_max, expected[5]);
        QCOMPARE(record.V_alarm, expected[7]);
        QCOMPARE(record.T_max, expected[4]);
        QCOMPARE(record.T_alarm, expected[6]);
        // Typed by the user: the channel is marked, and only that one.
        QVERIFY(form.State().Changed[2]);
        QCOMPARE(ChangedCount(form), 1);
        QVERIFY(rig.dialogs.shown.empty());
    }

    void tabbingThroughSendsAgainWithoutMarking() {
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        form.ChannelPage().feTmin->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form.ChannelPage().feTmin, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.ChannelPage().fePmin));
        QCOMPARE(FakeDevice().setM, std::vector<TSetM>{kSent2});
        // Enter without typing sends once more, still without marking.
        QTest::keyClick(form.ChannelPage().fePmin, Qt::Key_Return);
        QCOMPARE(FakeDevice().setM.size(), size_t(2));
        QCOMPARE(ChangedCount(form), 0);
        // Leaving a field the user typed in marks it.
        TypeInto(form.ChannelPage().fePmin, QStringLiteral("40"));
        QTest::keyClick(form.ChannelPage().fePmin, Qt::Key_Tab);
        QCOMPARE(FakeDevice().setM.back()[3], 102);
        QVERIFY(form.State().Changed[2]);
    }

    void checkBoxesSendTheFlags_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("flags");
        QTest::newRow("Boost off") << "cbBoost" << 4;
        QTest::newRow("T alarm off") << "cbTa" << 1;
        QTest::newRow("V alarm on") << "cbVa" << 13;
    }

    void checkBoxesSendTheFlags() {
        QFETCH(QString, box);
        QFETCH(int, flags);
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        form.findChild<QCheckBox*>(box)->click();
        TSetM expected = kSent2;
        expected[1] = flags;
        QCOMPARE(FakeDevice().setM, std::vector<TSetM>{expected});
        QVERIFY(form.State().Changed[2]);
        QCOMPARE(form.State().Params->Active()->Channels[2].Mode(), flags);
    }

    void automaticControlBindsTheManualField() {
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        const QPalette palette = QApplication::palette(form.ChannelPage().fePx);
        QCOMPARE(Background(form.ChannelPage().fePx), ToQColor(clWindow, palette));

        form.ChannelPage().cbAuto->click();
        QVERIFY(form.ChannelPage().fePx->isReadOnly());
        QCOMPARE(Background(form.ChannelPage().fePx), ToQColor(clBtnFace, palette));
        TSetM expected = kSent2;
        expected[1] = 7;
        QCOMPARE(FakeDevice().setM, std::vector<TSetM>{expected});
        QVERIFY(form.State().Changed[2]);
        // The next refresh shows the controller's PWM in the read-only field.
        FakeDevice().pwm[2] = 200;
        form.TimerTimer();
        QCOMPARE(form.ChannelPage().fePx->text(), QStringLiteral("78"));
        QCOMPARE(form.ChannelPage().edV->text(), QStringLiteral("9.4"));

        form.ChannelPage().cbAuto->click();
        QVERIFY(!form.ChannelPage().fePx->isReadOnly());
        QCOMPARE(Background(form.ChannelPage().fePx), ToQColor(clWindow, palette));
        expected[1] = 5;
        expected[8] = 200;  // the parameter set takes the PWM of the last reading
        QCOMPARE(FakeDevice().setM.back(), expected);
        QVERIFY(FakeDevice().setPwm.empty());
    }

    void manualPwmGoesOutWithTheOtherReadings() {
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        TypeAndEnter(form.ChannelPage().fePx, QStringLiteral("100"));
        QCOMPARE(FakeDevice().setPwm, (std::vector<TSetPwm>{{10, 20, 255, 40, 50, 60}}));
        QCOMPARE(form.ChannelPage().edV->text(), QStringLiteral("12.0"));
        QCOMPARE(form.State().Pwm[2], 255);
        QCOMPARE(form.ChannelPage().pbGraph->CursorPwm(), 255);
        QVERIFY(form.State().Changed[2]);
        QVERIFY(FakeDevice().setM.empty());
        // The parameter set's PWM follows at the next send of the set.
        QCOMPARE(form.State().Params->Active()->Channels[2].PWM, 128);
        TypeAndEnter(form.ChannelPage().feTmin, QStringLiteral("31"));
        QCOMPARE(FakeDevice().setM.back()[8], 255);
        QCOMPARE(form.State().Params->Active()->Channels[2].PWM, 255);

        // 50 % is 128.
        TypeAndEnter(form.ChannelPage().fePx, QStringLiteral("50"));
        QCOMPARE(FakeDevice().setPwm.back(), (TSetPwm{10, 20, 128, 40, 50, 60}));
        QCOMPARE(form.ChannelPage().edV->text(), QStringLiteral("6.0"));
        // 50.4 % is 129, which is 50.6 %: the field shows what was sent.
        TypeAndEnter(form.ChannelPage().fePx, QStringLiteral("50.4"));
        QCOMPARE(FakeDevice().setPwm.back(), (TSetPwm{10, 20, 129, 40, 50, 60}));
        QCOMPARE(form.ChannelPage().fePx->text(), QStringLiteral("51"));
    }

    void manualPwmEnterWithoutTypingDoesNotMark() {
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        form.ChannelPage().fePx->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form.ChannelPage().fePx, Qt::Key_Return);
        QCOMPARE(FakeDevice().setPwm, (std::vector<TSetPwm>{{10, 20, 128, 40, 50, 60}}));
        QCOMPARE(ChangedCount(form), 0);
    }

    void readOnlyManualFieldSendsNothing() {
        FakeDevice().records[2].flags = 7;  // automatic control
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        QVERIFY(form.ChannelPage().fePx->isReadOnly());
        QCOMPARE(form.ChannelPage().fePx->text(), QStringLiteral("12"));  // the reading 30 of 255
        form.ChannelPage().fePx->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form.ChannelPage().fePx, Qt::Key_Return);
        QVERIFY(FakeDevice().setPwm.empty());
        QCOMPARE(ChangedCount(form), 0);
    }

    void choosingAChannelReadsItAndSendsNothing() {
        FakeDevice().records[4] = {8, 150, 26, 450, 230, 900, 777, 64};
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        form.ChannelPage().cbCh->setCurrentIndex(4);
        form.ChannelPage().cbChChange();
        QCOMPARE(form.State().SelectedChannel, 4);
        QCOMPARE(FakeDevice().calls, std::vector<std::string>{"GetM(4)"});
        QCOMPARE(form.ChannelPage().feTmin->text(), QStringLiteral("15.0"));
        QCOMPARE(form.ChannelPage().fePmax->text(), QStringLiteral("90"));
        QCOMPARE(form.ChannelPage().feVa->text(), QStringLiteral("777"));
        QVERIFY(form.ChannelPage().cbVa->isChecked() && !form.ChannelPage().cbBoost->isChecked() &&
                !form.ChannelPage().cbAuto->isChecked());
        QCOMPARE(form.ChannelPage().fePx->text(), QStringLiteral("25"));
        QCOMPARE(ChangedCount(form), 0);
        // An edit now goes to channel 4.
        TypeAndEnter(form.ChannelPage().feTmax, QStringLiteral("44"));
        QCOMPARE(FakeDevice().setM, (std::vector<TSetM>{{4, 8, 150, 26, 440, 230, 900, 777, 64}}));
        QVERIFY(form.State().Changed[4] && !form.State().Changed[2]);
    }

    void saveAndRecall() {
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        TypeAndEnter(form.ChannelPage().feTmax, QStringLiteral("55"));
        FakeDevice().calls.clear();
        form.ChannelPage().btSave->click();
        form.ChannelPage().btSave->click();
        QCOMPARE(FakeDevice().calls, (std::vector<std::string>{"SavePar(2)", "SavePar(2)"}));
        QVERIFY(!form.State().Changed[2]);  // saved: the close query has nothing to offer for it

        // The controller's EEPROM held other values: recall reads them back and shows them.
        FakeDevice().records[2] = {2, 200, 51, 400, 255, 650, 300, 0};
        FakeDevice().pwm[2] = 99;
        FakeDevice().calls.clear();
        form.ChannelPage().btRecall->click();
        QCOMPARE(FakeDevice().calls,
                 (std::vector<std::string>{"CallPar(2)", "GetT", "GetV", "GetPWM", "GetM(2)"}));
        QCOMPARE(form.ChannelPage().feTmax->text(), QStringLiteral("40.0"));
        QCOMPARE(form.ChannelPage().fePmin->text(), QStringLiteral("20"));
        QVERIFY(form.ChannelPage().cbAuto->isChecked() && !form.ChannelPage().cbTa->isChecked());
        QVERIFY(form.ChannelPage().fePx->isReadOnly());
        QCOMPARE(form.ChannelPage().fePx->text(), QStringLiteral("39"));
        QCOMPARE(form.State().Params->Active()->Channels[2].T_min, 200);

        // Saved, then recalled: nothing unsaved, so the close query asks nothing.
        QVERIFY(form.FormCloseQuery());
        QVERIFY(rig.dialogs.shown.empty());
        // A change after the save asks again.
        TypeAndEnter(form.ChannelPage().feTmax, QStringLiteral("45"));
        rig.dialogs.Answer(QMessageBox::Cancel);
        QVERIFY(!form.FormCloseQuery());
        QCOMPARE(rig.dialogs.shown.back().text, QStringLiteral("Save new parameters to EEPROM?"));
    }

    // Alt+S and Alt+R press their buttons while the focus stays in the field being typed in:
    // the typed value is committed and sent first, as when the mouse leaves the field for the
    // button, and after a recall the fields show the recalled values (also where the recalled
    // value equals the one before the typing).
    void shortcutsCommitTheTypedField_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("tMin");
        QTest::addColumn<QString>("tMax");
        QTest::newRow("Alt+S") << int(Qt::Key_S) << QStringList{"SetM(2)", "SavePar(2)"} << "44.0"
                               << "60.0";
        QTest::newRow("Alt+R") << int(Qt::Key_R) << QStringList{"SetM(2)", "CallPar(2)", "GetT",
                                                                "GetV",    "GetPWM",     "GetM(2)"}
                               << "30.0"
                               << "55.0";
    }

    void shortcutsCommitTheTypedField() {
        QFETCH(int, key);
        QFETCH(QStringList, calls);
        QFETCH(QString, tMin);
        QFETCH(QString, tMax);
        FakeDevice().eeprom[2] = {5, 300, 77, 550, 204, 700, 500, 128};
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        TypeInto(form.ChannelPage().feTmin, QStringLiteral("44"));
        QTest::keyClick(form.ChannelPage().feTmin, static_cast<Qt::Key>(key), Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(FakeDevice().calls.size(), size_t(calls.size()), 5000);
        QStringList made;
        for (const std::string& call : FakeDevice().calls)
            made << QString::fromStdString(call);
        QCOMPARE(made, calls);
        QCOMPARE(FakeDevice().setM[0][2], 440);
        // Saved after the typed value was sent: nothing unsaved is left; a recall keeps the mark.
        QCOMPARE(form.State().Changed[2], key != int(Qt::Key_S));
        QCOMPARE(form.ChannelPage().feTmin->text(), tMin);
        QCOMPARE(form.ChannelPage().feTmax->text(), tMax);
        // Leaving the field later sends what it shows, never the typed text again.
        FakeDevice().setM.clear();
        form.ChannelPage().cbCh->setFocus(Qt::TabFocusReason);
        QCOMPARE(FakeDevice().setM.size(), size_t(1));
        QCOMPARE(FakeDevice().setM[0][2], int(std::lround(tMin.toDouble() * 10)));
    }

    void deviceErrorShowsTheLibraryText_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("SetM") << "SetM"
                              << "Set channel mode: device busy.";
        QTest::newRow("SetPWM") << "SetPWM"
                                << "Set PWM: device busy.";
        QTest::newRow("SavePar") << "SavePar"
                                 << "Save parameters: device busy.";
    }

    void deviceErrorShowsTheLibraryText() {
        QFETCH(QString, command);
        QFETCH(QString, message);
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        // Busy at every attempt: the request goes out three times, then the error shows.
        FakeDevice().failures[command.toStdString()] = 3;
        // A clamped commit notifies twice; the failure ends it, so one box.
        if (command == "SetM")
            TypeAndEnter(form.ChannelPage().feTmax, QStringLiteral("150"));
        else if (command == "SetPWM")
            TypeAndEnter(form.ChannelPage().fePx, QStringLiteral("150"));
        else
            form.ChannelPage().btSave->click();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text, message);
        QCOMPARE(rig.dialogs.shown[0].icon, QMessageBox::Critical);
        QCOMPARE(FakeDevice().setM.size() + FakeDevice().setPwm.size(),
                 size_t(command == "SavePar" ? 0 : 3));
        QCOMPARE(ChangedCount(form), 0);
        // What the handler stored in the active preset stays there; nothing else changed.
        TChannelParams expected;
        expected.Boost = 1;
        expected.Ta = 1;
        expected.T_min = 300;
        expected.PWM_min = 77;
        expected.T_max = command == "SetM" ? 1000 : 600;
        expected.PWM_max = 204;
        expected.T_alarm = 700;
        expected.V_alarm = 500;
        expected.PWM = 128;
        QCOMPARE(form.State().Params->Active()->Channels[2], expected);
        if (command == "SetPWM")
            QCOMPARE(form.State().Pwm[2], 255);

        // The program goes on: the next edit reaches the controller and marks the channel.
        TypeAndEnter(form.ChannelPage().feTmin, QStringLiteral("33"));
        QCOMPARE(FakeDevice().setM.back()[2], 330);
        QVERIFY(form.State().Changed[2]);
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
    }

    void checkBoxErrorLeavesTheChannelUnmarked() {
        TWindowRig rig;
        QVERIFY(OpenOnChannel2(rig));
        TMainForm& form = rig.Form();
        FakeDevice().failures["SetM"] = 3;
        form.ChannelPage().cbVa->click();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Set channel mode: device busy."));
        QCOMPARE(ChangedCount(form), 0);
        QCOMPARE(form.State().Params->Active()->Channels[2].Va, uint8_t(1));
        form.ChannelPage().cbAuto->click();
        QVERIFY(form.State().Changed[2]);
    }
};

KELVANE_GUI_TEST_MAIN(ChannelPageTest)
#include "ChannelPageTest.moc"
