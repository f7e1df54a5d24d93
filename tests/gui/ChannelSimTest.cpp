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
#include "SimProcess.h"
#include "VirtualListModel.h"
#include "core/Commands.h"
#include "core/Params.h"
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
        form_->PageControl->setCurrentWidget(form_->tsChannel);
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        QCOMPARE(form_->StatusPanels[0]->text(), QStringLiteral("ON-Line"));
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
        TypeAndEnter(form.feTmax, QStringLiteral("45.26"));
        TypeAndEnter(form.fePmin, QStringLiteral("50"));
        TypeAndEnter(form.feVa, QStringLiteral("1234.9"));
        TChannelParams expected = before;
        expected.T_max = 453;
        expected.PWM_min = 128;
        expected.V_alarm = 1234;
        expected.PWM = form.Pwm[0];
        QCOMPARE(ReadBack(0), expected);
        QCOMPARE(form.feTmax->text(), QStringLiteral("45.3"));
        QCOMPARE(form.Params->Active()->Channels[0], expected);
        QVERIFY(form.Changed[0]);
        QVERIFY(rig_->dialogs.shown.empty());
    }

    void manualPwmReachesTheController() {
        TMainForm& form = *form_;
        QVERIFY(form.cbAuto->isChecked());
        form.cbAuto->click();
        QVERIFY(!form.fePx->isReadOnly());
        QCOMPARE(ReadBack(0).Auto, uint8_t(0));
        TypeAndEnter(form.fePx, QStringLiteral("100"));
        int32_t p[6] = {};
        CmdGetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
        QCOMPARE(p[0], 255);
        QCOMPARE(form.edV->text(), QStringLiteral("12.0"));
        form.TimerTimer();
        QCOMPARE(form.Pwm[0], 255);
        QCOMPARE(form.fePx->text(), QStringLiteral("100"));
    }

    void saveAndRecallUseTheEeprom() {
        TMainForm& form = *form_;
        TypeAndEnter(form.feTmin, QStringLiteral("25"));
        form.btSave->click();
        TypeAndEnter(form.feTmin, QStringLiteral("35"));
        QCOMPARE(ReadBack(0).T_min, 350);
        form.btRecall->click();
        QCOMPARE(ReadBack(0).T_min, 250);
        QCOMPARE(form.feTmin->text(), QStringLiteral("25.0"));
        QCOMPARE(form.Params->Active()->Channels[0].T_min, 250);
        QVERIFY(rig_->dialogs.shown.empty());
    }

    void presetActivationSendsAllSixChannels() {
        TMainForm& form = *form_;
        TParamsItem& preset = form.Params->AddNew();
        preset.Name = "Quiet";
        for (int c = 0; c < 6; ++c) {
            preset.Channels[c].T_min = 200 + c;
            preset.Channels[c].PWM_max = 100 + c;
            preset.Channels[c].PWM = 50 + c;
        }
        form.PresetsModel->SetRowCount(form.Params->Count());
        form.PageControl->setCurrentWidget(form.tsPresets);
        form.lvPresets->selectionModel()->setCurrentIndex(
            form.PresetsModel->index(1, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        form.ActionList1->UpdateAll();
        form.acPresetsActive->trigger();
        for (int c = 0; c < 6; ++c)
            QCOMPARE(ReadBack(c), preset.Channels[c]);
        int32_t p[6] = {};
        CmdGetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
        QCOMPARE(p[3], 53);
        QCOMPARE(form.StatusPanels[1]->text(), QStringLiteral("Quiet"));
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
