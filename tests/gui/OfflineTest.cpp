// Off-line over a scripted device: the controls that send to the controller are disabled and
// nothing pretends to reach it (edits, manual PWM, Save, Recall, preset activation from the page
// and the tray) while the other preset actions stay, the close query never reports a save that
// could not happen, and a reconnection leaves the active preset as the user stored it.
#include <QMenu>
#include <QTreeView>

#include "ActionList.h"
#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "VirtualListModel.h"
#include "core/Params.h"
#include "pages/ChannelPage.h"
#include "pages/PresetsPage.h"
#include "widgets/Floatedit.h"

namespace {

using TSetM = std::array<int32_t, 9>;

constexpr TFakeRecord kHeld{5, 300, 77, 600, 204, 700, 500, 128};

void ScriptDevice() {
    FakeDevice().Reset();
    for (int c = 0; c < 6; ++c)
        FakeDevice().records[c] = kHeld;
    FakeDevice().t = {250, 260, 270, 280, 290, 300};
    FakeDevice().pwm = {128, 128, 128, 128, 128, 128};
}

// One cycle in which the controller stops answering.
void GoOffline(TMainForm& form) {
    FakeDevice().timeouts["GetT"] = 1;
    form.TimerTimer();
    QVERIFY(!form.State().Online);
}

std::vector<QWidget*> SendingControls(const TMainForm& form) {
    return {form.ChannelPage().feTmin,  form.ChannelPage().fePmin,  form.ChannelPage().feTmax,
            form.ChannelPage().fePmax,  form.ChannelPage().feTa,    form.ChannelPage().feVa,
            form.ChannelPage().cbAuto,  form.ChannelPage().cbBoost, form.ChannelPage().cbTa,
            form.ChannelPage().cbVa,    form.ChannelPage().fePx,    form.ChannelPage().btSave,
            form.ChannelPage().btRecall};
}

// The tray's preset items, as the menu shows them when it opens.
QList<QAction*> TrayPresetItems(TMainForm& form) {
    form.Frame().pmSystray->popup(QPoint(10, 10));
    const QList<QAction*> items = form.Frame().miPresets->actions();
    form.Frame().pmSystray->hide();
    return items;
}

void SelectPresetRow(TMainForm& form, int row) {
    form.PresetsPage().lvPresets->selectionModel()->setCurrentIndex(
        form.PresetsPage().PresetsModel->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    form.Frame().ActionList1->UpdateAll();
}

TSetM Sent(int channel, const TFakeRecord& r) {
    return {channel, r.flags, r.tMin, r.pwmMin, r.tMax, r.pwmMax, r.tAlarm, r.vAlarm, r.pwm};
}

}  // namespace

class OfflineTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ScriptDevice(); }

    void controlsThatSendFollowTheConnection() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.State().Params->AddNew().Name = "Silent";
        form.PresetsPage().PresetsModel->SetRowCount(form.State().Params->Count());
        form.State().Changed.fill(false);
        for (QWidget* control : SendingControls(form))
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(TrayPresetItems(form)[1]->isEnabled());

        GoOffline(form);
        for (QWidget* control : SendingControls(form))
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsPresets);
        SelectPresetRow(form, 1);
        QVERIFY(form.Frame().acPresetsAdd->isEnabled());
        QVERIFY(form.Frame().acPresetsEdit->isEnabled());
        QVERIFY(form.Frame().acPresetsDelete->isEnabled());
        QVERIFY(!form.Frame().acPresetsActive->isEnabled());
        // Neither the page, nor a double click, nor the tray activates; the graph sends no PWM.
        FakeDevice().calls.clear();
        form.Frame().acPresetsActive->trigger();
        form.PresetsPage().lvPresetsDblClick();
        QAction* trayItem = TrayPresetItems(form)[1];
        QVERIFY(!trayItem->isEnabled());
        form.miPresetsItemClick(trayItem);
        form.ChannelPage().pbGraphMouseDown(Qt::LeftButton, 100, 100);
        QVERIFY(FakeDevice().calls.empty());
        QCOMPARE(form.State().Params->Active(), &form.State().Params->Items(0));
        QCOMPARE(form.State().Changed, (std::array<bool, 6>{}));
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Default"));

        form.TimerTimer();
        QVERIFY(form.State().Online);
        for (QWidget* control : SendingControls(form))
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        form.Frame().ActionList1->UpdateAll();
        QVERIFY(form.Frame().acPresetsActive->isEnabled());
        QVERIFY(TrayPresetItems(form)[1]->isEnabled());
    }

    // Text typed into a field but not committed when the controller goes is dropped: it is
    // neither stored nor sent later, and the channel is not marked.
    void textTypedWhenTheControllerLeavesIsDropped() {
        rigOnChannelPage([](TWindowRig&, TMainForm& form) {
            form.ChannelPage().feTmin->setFocus(Qt::TabFocusReason);
            form.ChannelPage().feTmin->selectAll();
            QTest::keyClicks(form.ChannelPage().feTmin, QStringLiteral("44"));
            GoOffline(form);
            QCOMPARE(form.ChannelPage().feTmin->text(), QStringLiteral("30.0"));
            form.TimerTimer();
            QVERIFY(form.State().Online);
            form.ChannelPage().cbCh->setFocus(Qt::TabFocusReason);
            QVERIFY(FakeDevice().setM.empty());
            QCOMPARE(form.State().Params->Active()->Channels[2].T_min, 300);
            QCOMPARE(form.State().Changed, (std::array<bool, 6>{}));
        });
    }

    // Off-line at close: no save is offered or reported; the box names the channels whose
    // changes stay out of the EEPROM, and No keeps the window open.
    void closingOfflineNamesTheUnsavedChannels_data() {
        QTest::addColumn<QList<int>>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("text");
        const QString tail = QStringLiteral(" cannot be saved to EEPROM.\nExit anyway?");
        QTest::newRow("one channel, Yes")
            << QList<int>{1} << int(QMessageBox::Yes)
            << QStringLiteral("OFF-Line: new parameters of channel 2") + tail;
        QTest::newRow("two channels, No")
            << QList<int>{1, 4} << int(QMessageBox::No)
            << QStringLiteral("OFF-Line: new parameters of channels 2 and 5") + tail;
        QTest::newRow("three channels, Escape")
            << QList<int>{0, 2, 5} << int(QMessageBox::Cancel)
            << QStringLiteral("OFF-Line: new parameters of channels 1, 3 and 6") + tail;
    }

    void closingOfflineNamesTheUnsavedChannels() {
        QFETCH(QList<int>, changed);
        QFETCH(int, answer);
        QFETCH(QString, text);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.show();
        for (int channel : changed)
            form.State().Changed[channel] = true;
        GoOffline(form);
        FakeDevice().calls.clear();
        rig.dialogs.Answer(answer);
        const bool closes = answer == QMessageBox::Yes;
        QCOMPARE(form.close(), closes);
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text, text);
        QCOMPARE(rig.dialogs.shown[0].icon, QMessageBox::Warning);
        QCOMPARE(rig.dialogs.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(FakeDevice().CallsStartingWith("SavePar").empty());
        QCOMPARE(form.isVisible(), !closes);
    }

    // The controller goes while "Save new parameters to EEPROM?" waits for its answer: Yes
    // then saves nothing and says so instead.
    void theControllerLeavingDuringTheQuestionSavesNothing() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.show();
        form.State().Changed[3] = true;
        rig.dialogs.Answer([&form](QDialog&) {
            GoOffline(form);  // a polling cycle runs while the box is open
            return int(QMessageBox::Yes);
        });
        rig.dialogs.Answer(QMessageBox::No);
        QVERIFY(!form.close());
        QCOMPARE(rig.dialogs.shown.size(), size_t(2));
        QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Save new parameters to EEPROM?"));
        QCOMPARE(rig.dialogs.shown[1].text,
                 QStringLiteral("OFF-Line: new parameters of channel 4 cannot be saved to "
                                "EEPROM.\nExit anyway?"));
        QVERIFY(FakeDevice().CallsStartingWith("SavePar").empty());
        QVERIFY(form.isVisible());
    }

    // The controller comes back holding other parameters (it powered up with its EEPROM's while
    // it was away): the active preset stays as stored and goes to the controller again, for
    // the channels that differ only.
    void aReconnectionKeepsTheStoredPreset() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        const TParamsItem stored = *form.State().Params->Active();
        GoOffline(form);
        const TFakeRecord eeprom{2, 100, 0, 500, 255, 800, 0, 0};
        FakeDevice().records[1] = eeprom;
        FakeDevice().records[4] = eeprom;
        FakeDevice().pwm[1] = 60;  // its own curve's output
        FakeDevice().calls.clear();
        form.TimerTimer();
        QVERIFY(form.State().Online);
        QCOMPARE(form.State().Params->Active()->Channels, stored.Channels);
        QCOMPARE(FakeDevice().setM, (std::vector<TSetM>{Sent(1, kHeld), Sent(4, kHeld)}));
        QCOMPARE(FakeDevice().records[1].tMin, kHeld.tMin);
        QCOMPARE(form.State().Changed,
                 (std::array<bool, 6>{false, true, false, false, true, false}));
        // Manual control: the preset's hand-set PWM is the channel's again.
        QCOMPARE(form.State().Pwm[1], kHeld.pwm);
        QCOMPARE(form.ChannelPage().feTmin->text(), QStringLiteral("30.0"));
    }

private:
    // Runs `body` with the window shown and active on the Channel page, channel 3 selected.
    template <typename Body>
    void rigOnChannelPage(Body body) {
        TWindowRig rig;
        rig.WriteIni("[General]\r\nChannel=2\r\n");
        TMainForm& form = rig.Open();
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsChannel);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        FakeDevice().calls.clear();
        FakeDevice().setM.clear();
        body(rig, form);
    }
};

KELVANE_GUI_TEST_MAIN(OfflineTest)
#include "OfflineTest.moc"
