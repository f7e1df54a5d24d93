// The polling cycle and the Common page over a scripted device: read-out texts and alarm colours,
// channel names, the "..." buttons, the connection state machine, history samples and scope
// positions.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <map>

#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "core/History.h"
#include "core/Params.h"
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/HistoryPage.h"
#include "widgets/ColorConvert.h"
#include "widgets/Floatedit.h"
#include "widgets/Jvsimscope.h"

namespace {

bool IsRed(const QLineEdit* box) {
    return box->palette().color(QPalette::Base) == QColor(Qt::red);
}

// Counts the paint events of the widgets it watches.
class TPaintCounter : public QObject {
public:
    void Watch(QWidget* widget) {
        widget->installEventFilter(this);
        counts[widget] = 0;
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++counts[watched];
        return false;
    }
    std::map<QObject*, int> counts;
};

}  // namespace

class CommonPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FakeDevice().Reset(); }

    void temperatureTextAndAlarm_data() {
        QTest::addColumn<int>("reading");
        QTest::addColumn<bool>("alarmOn");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("red");
        QTest::newRow("300 at alarm 300") << 300 << true << "30.0" << false;
        QTest::newRow("301 above alarm 300") << 301 << true << "30.1" << true;
        QTest::newRow("301 with alarm off") << 301 << false << "30.1" << false;
        QTest::newRow("253") << 253 << false << "25.3" << false;
        QTest::newRow("-50 shows 0.0") << -50 << false << "0.0" << false;
        QTest::newRow("0") << 0 << false << "0.0" << false;
        QTest::newRow("1037 rounds to 3 digits") << 1037 << true << "104.0" << true;
    }

    void temperatureTextAndAlarm() {
        QFETCH(int, reading);
        QFETCH(bool, alarmOn);
        QFETCH(QString, text);
        QFETCH(bool, red);
        TWindowRig rig;
        FakeDevice().records[2] = {alarmOn ? 4 : 0, 0, 0, 0, 0, 300, 0, 0};
        FakeDevice().t[2] = reading;
        TMainForm& form = rig.Open();
        form.TimerTimer();
        QCOMPARE(form.CommonPage().edT[2]->text(), text);
        QCOMPARE(IsRed(form.CommonPage().edT[2]), red);
        QCOMPARE(form.CommonPage().edT[1]->palette().color(QPalette::Base),
                 ToQColor(clBtnFace, form.CommonPage().edT[1]->palette()));
    }

    void fanSpeedAndVoltage_data() {
        QTest::addColumn<int>("pwm");
        QTest::addColumn<int>("speed");
        QTest::addColumn<bool>("alarmOn");
        QTest::addColumn<QString>("speedText");
        QTest::addColumn<QString>("voltText");
        QTest::addColumn<bool>("red");
        QTest::newRow("pwm 40 stalled") << 40 << 0 << true << "0"
                                        << "1.9" << false;
        QTest::newRow("pwm 41 stalled fan") << 41 << 0 << true << "0"
                                            << "1.9" << true;
        QTest::newRow("pwm 41 alarm off") << 41 << 0 << false << "0"
                                          << "1.9" << false;
        QTest::newRow("fast enough") << 128 << 500 << true << "500"
                                     << "6.0" << false;
        QTest::newRow("too slow") << 128 << 499 << true << "499"
                                  << "6.0" << true;
        QTest::newRow("full drive") << 255 << 2400 << true << "2400"
                                    << "12.0" << false;
        QTest::newRow("pwm 1") << 1 << 77 << false << "0"
                               << "0.0" << false;
    }

    void fanSpeedAndVoltage() {
        QFETCH(int, pwm);
        QFETCH(int, speed);
        QFETCH(bool, alarmOn);
        QFETCH(QString, speedText);
        QFETCH(QString, voltText);
        QFETCH(bool, red);
        TWindowRig rig;
        FakeDevice().records[4] = {alarmOn ? 8 : 0, 0, 0, 0, 0, 0, 500, 0};
        FakeDevice().pwm[4] = pwm;
        FakeDevice().v[4] = speed;
        TMainForm& form = rig.Open();
        form.TimerTimer();
        QCOMPARE(form.CommonPage().edVxC[4]->text(), speedText);
        QCOMPARE(form.CommonPage().edVC[4]->text(), voltText);
        QCOMPARE(IsRed(form.CommonPage().edVxC[4]), red);
        QCOMPARE(IsRed(form.CommonPage().edVC[4]), red);
    }

    void numbersIgnoreTheLocale() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TWindowRig rig;
        FakeDevice().t[0] = 253;
        TMainForm& form = rig.Open();
        form.TimerTimer();
        QLocale::setDefault(saved);
        QCOMPARE(form.CommonPage().edT[0]->text(), QStringLiteral("25.3"));
    }

    void renamingChannelsRenamesTheList_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("entry");
        QTest::newRow("plain") << "CPU"
                               << "3: CPU";
        QTest::newRow("two blanks") << "  "
                                    << "3";
        QTest::newRow("leading blank kept") << " GPU"
                                            << "3:  GPU";
        QTest::newRow("empty") << ""
                               << "3";
    }

    void renamingChannelsRenamesTheList() {
        QFETCH(QString, name);
        QFETCH(QString, entry);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.ChannelPage().cbCh->setCurrentIndex(2);
        form.CommonPage().edN[2]->setText(QStringLiteral("x"));
        form.CommonPage().edN[2]->setText(name);
        QCOMPARE(form.ChannelPage().cbCh->itemText(2), entry);
        QCOMPARE(form.ChannelPage().cbCh->currentIndex(), 2);
        QCOMPARE(form.State().ChannelName[2], name);
    }

    void channelButtonOpensTheChannelPage() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        FakeDevice().records[3] = {2, 250, 51, 450, 204, 600, 300, 99};
        FakeDevice().t[3] = 312;
        form.TimerTimer();
        FakeDevice().calls.clear();
        QTest::mouseClick(form.CommonPage().btCh[3], Qt::LeftButton);
        QCOMPARE(form.State().SelectedChannel, 3);
        QCOMPARE(form.ChannelPage().cbCh->currentIndex(), 3);
        QCOMPARE(form.Frame().PageControl->currentIndex(), 1);
        QCOMPARE(FakeDevice().calls, std::vector<std::string>{"GetM(3)"});
        QCOMPARE(form.ChannelPage().feTmax->text(), QStringLiteral("45.0"));
        QCOMPARE(form.ChannelPage().fePmax->text(), QStringLiteral("80"));
        QVERIFY(form.ChannelPage().cbAuto->isChecked());
        QVERIFY(form.ChannelPage().fePx->isReadOnly());
        QCOMPARE(form.ChannelPage().edTx->text(), QStringLiteral("31.2"));
    }

    void failedChannelReadKeepsThePage() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.State().Params->Active()->Channels[1].T_max = 555;
        FakeDevice().failures["GetM"] = 3;
        rig.dialogs.Answer(QMessageBox::Ok);
        QTest::mouseClick(form.CommonPage().btCh[1], Qt::LeftButton);
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Get channel mode: device busy."));
        QCOMPARE(form.Frame().PageControl->currentIndex(), 0);
        QCOMPARE(form.State().Params->Active()->Channels[1].T_max, 555);
        QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("ON-Line"));
    }

    void pageChangeRefreshesTheShownPage() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        FakeDevice().t[0] = 400;
        form.ReadChannelValues();
        form.Frame().PageControl->setCurrentIndex(1);  // as the user turns the page
        QCOMPARE(form.ChannelPage().edTx->text(), QStringLiteral("40.0"));
        QCOMPARE(form.CommonPage().edT[0]->text(), QStringLiteral("0.0"));
        form.Frame().PageControl->setCurrentIndex(0);
        QCOMPARE(form.CommonPage().edT[0]->text(), QStringLiteral("40.0"));
    }

    void failedReadGoesOfflineSilentlyAndComesBack() {
        TWindowRig rig;
        FakeDevice().t = {210, 220, 230, 240, 250, 260};
        TMainForm& form = rig.Open();
        form.TimerTimer();
        QCOMPARE(form.State().History->Count(), 1);

        // Busy at every attempt: asked three times, then off-line.
        FakeDevice().failures["GetV"] = -1;
        FakeDevice().calls.clear();
        form.TimerTimer();
        QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("OFF-Line"));
        QVERIFY(!form.State().Online);
        QCOMPARE(FakeDevice().calls,
                 (std::vector<std::string>{"GetT", "GetV", "GetV", "GetV", "CloseDevice"}));
        QVERIFY(rig.dialogs.shown.empty());
        // The history goes on sampling the last good readings.
        QCOMPARE(form.State().History->Count(), 2);
        QCOMPARE(form.State().History->Last().Values[5], 26.0f);
        QVERIFY(form.HistoryPage().Scope->Active());

        // Still failing: the reconnection opens, fails its reads, and closes again.
        FakeDevice().calls.clear();
        form.TimerTimer();
        QCOMPARE(FakeDevice().calls, (std::vector<std::string>{"OpenDevice", "GetT", "GetV", "GetV",
                                                               "GetV", "CloseDevice"}));
        QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("OFF-Line"));

        // The controller answers again: on-line.
        FakeDevice().failures.clear();
        FakeDevice().t[5] = 270;
        form.TimerTimer();
        QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("ON-Line"));
        QCOMPARE(form.State().History->Count(), 4);
        QCOMPARE(form.State().History->Last().Values[5], 27.0f);
        QVERIFY(rig.dialogs.shown.empty());
    }

    // The first connection of a run that started off-line reads the parameter sets; one that
    // fails takes only the complete answers before it.
    void partialReconnectionKeepsThePreset() {
        TWindowRig rig;
        FakeDevice().openResult = false;
        TMainForm& form = rig.Open();
        form.State().Params->Active()->Channels[0].T_min = 111;
        form.State().Params->Active()->Channels[1].T_min = 222;
        FakeDevice().openResult = true;
        FakeDevice().records[0].tMin = 333;
        FakeDevice().records[1].tMin = 444;
        FakeDevice().failures["GetM(1)"] = 3;
        form.TimerTimer();
        QVERIFY(!form.State().Online);
        QCOMPARE(form.State().Params->Active()->Channels[0].T_min, 333);  // a complete answer
        QCOMPARE(form.State().Params->Active()->Channels[1].T_min,
                 222);  // the failed read's zeros: no
    }

    void historyAndScopeFollowTheReadings() {
        TWindowRig rig;
        FakeDevice().t = {-50, 0, 1, 999, 1000, 1037};
        TMainForm& form = rig.Open();
        form.TimerTimer();
        const std::array<float, 6> expected = {0.0f, 0.0f, 0.1f, 99.9f, 100.0f, 103.7f};
        const std::array<int, 6> positions = {0, 0, 0, 99, 100, 103};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(form.State().History->Last().Values[i], expected[i]);
            QCOMPARE(form.HistoryPage().Scope->Lines().GetItem(i)->Position, positions[i]);
        }
    }

    void trayMinimiseStopsAndRestorePolls() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.SetPollInterval(100);
        form.TimerTimer();
        QVERIFY(form.HistoryPage().Scope->Active());
        form.TrayIconMinimize();
        QVERIFY(!form.HistoryPage().Scope->Active());
        const int before = form.State().History->Count();
        FakeDevice().t[0] = 345;
        form.TrayIconRestore();
        QCOMPARE(form.State().History->Count(), before + 1);
        QCOMPARE(form.CommonPage().edT[0]->text(), QStringLiteral("34.5"));
        QVERIFY(form.HistoryPage().Scope->Active());
        form.SetPollInterval(0);
    }

    void theScopeClockDrivesThePolling() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.SetPollInterval(1);
        QTRY_VERIFY_WITH_TIMEOUT(form.State().History->Count() >= 3, 5000);
        form.SetPollInterval(0);
        QVERIFY(FakeDevice().CallsStartingWith("GetT").size() >= 3);
    }

    // A cycle paints the read-outs whose text or colour changed, each once and before the
    // cycle ends, and leaves the others alone.
    void aCyclePaintsOnlyTheChangedReadoutsAtOnce() {
        TWindowRig rig;
        FakeDevice().t = {250, 260, 270, 280, 290, 300};
        FakeDevice().v = {900, 900, 900, 900, 900, 900};
        FakeDevice().pwm = {128, 128, 128, 128, 128, 128};
        TMainForm& form = rig.Open();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.TimerTimer();
        QCoreApplication::processEvents();

        TPaintCounter painted;
        for (int c = 0; c < 6; ++c) {
            painted.Watch(form.CommonPage().edT[c]);
            painted.Watch(form.CommonPage().edVxC[c]);
            painted.Watch(form.CommonPage().edVC[c]);
        }
        FakeDevice().t[1] = 261;
        FakeDevice().v[4] = 450;
        form.State().Params->Active()->Channels[4].Va = 1;  // speed alarm: 450 < 500
        form.State().Params->Active()->Channels[4].V_alarm = 500;
        form.TimerTimer();
        // Counted before the event loop runs again: the boxes were painted at once.
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(painted.counts[form.CommonPage().edT[c]], c == 1 ? 1 : 0);
            QCOMPARE(painted.counts[form.CommonPage().edVxC[c]], c == 4 ? 1 : 0);
            QCOMPARE(painted.counts[form.CommonPage().edVC[c]], c == 4 ? 1 : 0);  // turned red
        }
        QCOMPARE(form.CommonPage().edT[1]->text(), QStringLiteral("26.1"));
        QVERIFY(IsRed(form.CommonPage().edVC[4]));
    }
};

KELVANE_GUI_TEST_MAIN(CommonPageTest)
#include "CommonPageTest.moc"
