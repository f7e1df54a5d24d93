// The main window against the real device library and qv725-sim in a private runtime folder:
// on-line at start with the controller's parameters in the preset, off-line within one cycle
// when the simulator goes away or answers busy or garbled, and on-line again when it is back.
#include <QLabel>
#include <csignal>

#include "GuiTestSupport.h"
#include "SimulatorChild.h"
#include "core/Commands.h"
#include "core/History.h"
#include "core/Params.h"
#include "qv725/qv725.h"

namespace {

QString Status(TMainForm& form) {
    return form.Frame().StatusPanels[0]->text();
}

}  // namespace

class ConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UsePrivateRuntime(runtime_)); }

    void cleanup() { QV725_CloseDevice(); }

    void onlineWithTheControllersParameters() {
        TSimulator sim(runtime_.path());
        QVERIFY(sim.Start());
        TWindowRig rig;
        TMainForm& form = rig.Open();
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
        QVERIFY(form.State().Temperature[0] > 100);
        QCOMPARE(form.State().History->Count(), 1);
        for (int channel = 0; channel < 6; ++channel) {
            int32_t flags = 0;
            TChannelParams read;
            CmdGetM(channel, &flags, &read.T_min, &read.PWM_min, &read.T_max, &read.PWM_max,
                    &read.T_alarm, &read.V_alarm, &read.PWM);
            read.SetMode(flags);
            QCOMPARE(form.State().Params->Active()->Channels[channel], read);
        }
        QVERIFY(form.State().Params->Active()->Channels[0].T_max != 0);
        QVERIFY(rig.dialogs.shown.empty());
    }

    void unpluggedAndBack() {
        TSimulator sim(runtime_.path());
        QVERIFY(sim.Start());
        TWindowRig rig;
        TMainForm& form = rig.Open();
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
        const TChannelParams before = form.State().Params->Active()->Channels[1];
        sim.Stop();
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("OFF-Line"));
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("OFF-Line"));
        QCOMPARE(form.State().Params->Active()->Channels[1], before);
        QVERIFY(sim.Start());
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
        QCOMPARE(form.State().Params->Active()->Channels[1], before);
        QVERIFY(rig.dialogs.shown.empty());
        QCOMPARE(form.State().History->Count(), 3);
    }

    void faultyRepliesGoOfflineThenBack_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("busy") << QStringList{"--busy-percent", "100"};
        QTest::newRow("garbled") << QStringList{"--garble-percent", "100"};
    }

    void faultyRepliesGoOfflineThenBack() {
        QFETCH(QStringList, faults);
        TSimulator sim(runtime_.path());
        QVERIFY(sim.Start(faults));
        TWindowRig rig;
        TMainForm& form = rig.Open();
        const TChannelParams stored = form.State().Params->Active()->Channels[0];
        for (int cycle = 0; cycle < 3; ++cycle) {
            form.TimerTimer();
            QCOMPARE(Status(form), QStringLiteral("OFF-Line"));
        }
        QVERIFY(rig.dialogs.shown.empty());
        QCOMPARE(form.State().Params->Active()->Channels[0], stored);
        QVERIFY(sim.Start());
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
    }

    void offlineStartComesOnline() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        QCOMPARE(Status(form), QStringLiteral("OFF-Line"));
        QVERIFY(rig.dialogs.shown.empty());
        const TChannelParams zero{};
        QCOMPARE(form.State().Params->Active()->Channels[2], zero);
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("OFF-Line"));
        TSimulator sim(runtime_.path());
        QVERIFY(sim.Start());
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
        QVERIFY(form.State().Params->Active()->Channels[2].T_max != 0);
    }

    void theClockPollsTheSimulator() {
        TSimulator sim(runtime_.path());
        QVERIFY(sim.Start());
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.SetPollInterval(2);
        QTRY_VERIFY_WITH_TIMEOUT(form.State().History->Count() >= 3, 10000);
        form.SetPollInterval(0);
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
        QVERIFY(form.State().History->Last().Values[3] > 10.0f);
    }

private:
    QTemporaryDir runtime_;
};

KELVANE_GUI_TEST_MAIN(ConnectionTest)
#include "ConnectionTest.moc"
