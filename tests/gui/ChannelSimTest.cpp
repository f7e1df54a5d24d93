// The Channel and Presets pages against the real device library and qv725-sim: an edit typed
// into a field, the manual PWM, the EEPROM buttons and a preset activation all reach the
// simulated controller, read back through the library.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include "ActionList.h"
#include "GuiTestSupport.h"
#include "SimulatorChild.h"
#include "VirtualListModel.h"
#include "core/Commands.h"
#include "core/Params.h"
#include "pages/ChannelPage.h"
#include "pages/PresetsPage.h"
#include "qv725/qv725.h"
#include "widgets/Floatedit.h"

namespace {

// The controller's parameter set of one channel, read through the library.
TChannelParams ReadBack(int channel) {
    int32_t flags = 0;
    TChannelParams read;
    CmdGetM(channel, &flags, &read.T_min, &read.PWM_min, &read.T_max, &read.PWM_max, &read.T_alarm,
            &read.V_alarm, &read.PWM);
    read.SetMode(flags);
    return read;
}

void TypeAndEnter(TFloatEdit* field, const QString& text) {
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

}  // namespace

class ChannelSimTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UsePrivateRuntime(runtime_)); }

    void init() {
        sim_ = std::make_unique<TSimulator>(runtime_.path());
        QVERIFY(sim_->Start());
        form_ = &rig_.emplace().Open();
        form_->Frame().PageControl->setCurrentWidget(form_->Frame().tsChannel);
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        QCOMPARE(form_->Frame().StatusPanels[0]->text(), QStringLiteral("ON-Line"));
    }

    void cleanup() {
        rig_.reset();
        QV725_CloseDevice();
        sim_.reset();
        // Each test starts from the factory settings again.
        QFile::remove(runtime_.filePath(QStringLiteral("qv725/gui0.eeprom")));
    }

    void typedValuesReachTheController() {
        TMainForm& form = *form_;
        const TChannelParams before = ReadBack(0);
        TypeAndEnter(form.ChannelPage().feTmax, QStringLiteral("45.26"));
        TypeAndEnter(form.ChannelPage().fePmin, QStringLiteral("50"));
        TypeAndEnter(form.ChannelPage().feVa, QStringLiteral("1234.9"));
        TChannelParams expected = before;
        expected.T_max = 453;
        expected.PWM_min = 128;
        expected.V_alarm = 1234;
        expected.PWM = form.State().Pwm[0];
        QCOMPARE(ReadBack(0), expected);
        QCOMPARE(form.ChannelPage().feTmax->text(), QStringLiteral("45.3"));
        QCOMPARE(form.State().Params->Active()->Channels[0], expected);
        QVERIFY(form.State().Changed[0]);
        QVERIFY(rig_->dialogs.shown.empty());
    }

    void manualPwmReachesTheController() {
        TMainForm& form = *form_;
        QVERIFY(form.ChannelPage().cbAuto->isChecked());
        form.ChannelPage().cbAuto->click();
        QVERIFY(!form.ChannelPage().fePx->isReadOnly());
        QCOMPARE(ReadBack(0).Auto, uint8_t(0));
        TypeAndEnter(form.ChannelPage().fePx, QStringLiteral("100"));
        int32_t p[6] = {};
        CmdGetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
        QCOMPARE(p[0], 255);
        QCOMPARE(form.ChannelPage().edV->text(), QStringLiteral("12.0"));
        form.TimerTimer();
        QCOMPARE(form.State().Pwm[0], 255);
        QCOMPARE(form.ChannelPage().fePx->text(), QStringLiteral("100"));
    }

    void saveAndRecallUseTheEeprom() {
        TMainForm& form = *form_;
        TypeAndEnter(form.ChannelPage().feTmin, QStringLiteral("25"));
        form.ChannelPage().btSave->click();
        TypeAndEnter(form.ChannelPage().feTmin, QStringLiteral("35"));
        QCOMPARE(ReadBack(0).T_min, 350);
        form.ChannelPage().btRecall->click();
        QCOMPARE(ReadBack(0).T_min, 250);
        QCOMPARE(form.ChannelPage().feTmin->text(), QStringLiteral("25.0"));
        QCOMPARE(form.State().Params->Active()->Channels[0].T_min, 250);
        QVERIFY(rig_->dialogs.shown.empty());
    }

    void presetActivationSendsAllSixChannels() {
        TMainForm& form = *form_;
        TParamsItem& preset = form.State().Params->AddNew();
        preset.Name = "Quiet";
        for (int c = 0; c < 6; ++c) {
            preset.Channels[c].T_min = 200 + c;
            preset.Channels[c].PWM_max = 100 + c;
            preset.Channels[c].PWM = 50 + c;
        }
        form.PresetsPage().PresetsModel->SetRowCount(form.State().Params->Count());
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsPresets);
        form.PresetsPage().lvPresets->selectionModel()->setCurrentIndex(
            form.PresetsPage().PresetsModel->index(1, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        form.Frame().ActionList1->UpdateAll();
        form.Frame().acPresetsActive->trigger();
        for (int c = 0; c < 6; ++c)
            QCOMPARE(ReadBack(c), preset.Channels[c]);
        int32_t p[6] = {};
        CmdGetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
        QCOMPARE(p[3], 53);
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Quiet"));
        QVERIFY(rig_->dialogs.shown.empty());
    }

private:
    QTemporaryDir runtime_;
    std::unique_ptr<TSimulator> sim_;
    std::optional<TWindowRig> rig_;
    TMainForm* form_ = nullptr;
};

KELVANE_GUI_TEST_MAIN(ChannelSimTest)
#include "ChannelSimTest.moc"
