// The Channel page: reading a channel's parameters from the controller into the active preset,
// showing them, taking the user's edits into the preset and sending them at once, the manual
// PWM, the EEPROM buttons, refreshing the read-outs, and choosing the channel.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "Application.h"
#include "Main.h"
#include "Readouts.h"
#include "core/Commands.h"
#include "core/Params.h"
#include "widgets/ColorConvert.h"
#include "widgets/Floatedit.h"

namespace {

// Sets Updating for the lifetime of the guard, so the page's change handlers ignore the
// program's own changes, also when filling the page fails half-way.
class TUpdatingGuard {
public:
    explicit TUpdatingGuard(bool& updating) : updating_(updating) { updating_ = true; }
    ~TUpdatingGuard() { updating_ = false; }
    TUpdatingGuard(const TUpdatingGuard&) = delete;
    TUpdatingGuard& operator=(const TUpdatingGuard&) = delete;

private:
    bool& updating_;
};

// Drops the fraction of a field value (toward zero). The fields keep their values inside their
// ranges; the limits only keep a stray value from overflowing.
int32_t Truncate(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<int32_t>(std::trunc(std::clamp(value, -2147483648.0, 2147483647.0)));
}

// Tenths of a degree from degrees: 45.26 -> 453.
int32_t TenthsFromField(double degrees) {
    return Truncate(degrees * 10 + 0.5);
}

// PWM 0..255 from percent: 50 -> 128. The order of the operations is part of the result.
int32_t PwmFromField(double percent) {
    return Truncate(percent * 255 * 0.01 + 0.5);
}

// The manual PWM field is read-only exactly under automatic control, with the button face
// behind it then and the window colour otherwise. Both colours come from the application's
// palette: the field's own Base is the colour it shows now, not the window colour.
void SetManualPwmState(TFloatEdit* field, bool automatic) {
    field->setReadOnly(automatic);
    const QPalette standard = QApplication::palette(field);
    const QColor color = ToQColor(automatic ? clBtnFace : clWindow, standard);
    QPalette palette = field->palette();
    if (palette.color(QPalette::Base) != color) {
        palette.setColor(QPalette::Base, color);
        field->setPalette(palette);
    }
}

}  // namespace

void TMainForm::ConnectChannelHandlers() {
    connect(cbCh, &QComboBox::activated, this, [this](int) { Guarded([this] { cbChChange(); }); });
    // The fields' handlers are not guarded here: an error leaves the field's commit (skipping
    // the rest of it, including a second notification of a clamped value) and the field
    // reports it, or the handler that set the field does.
    for (TFloatEdit* field : {feTmin, fePmin, feTmax, fePmax, feTa, feVa}) {
        field->OnChanged = [this](QObject* sender) { feTmaxChanged(sender); };
        field->OnHandlerError = [] { ShowCurrentException(); };
    }
    fePx->OnChanged = [this](QObject*) { fePxChanged(); };
    fePx->OnHandlerError = [] { ShowCurrentException(); };
    // A check box reports every change of its state, the program's own too; Updating filters
    // those.
    for (QCheckBox* box : {cbBoost, cbTa, cbVa}) {
        connect(box, &QCheckBox::toggled, this,
                [this, box] { Guarded([this, box] { feTmaxChanged(box); }); });
    }
    connect(cbAuto, &QCheckBox::toggled, this, [this] { Guarded([this] { cbAutoClick(); }); });
    connect(btSave, &QPushButton::clicked, this, [this] { Guarded([this] { btSaveClick(); }); });
    connect(btRecall, &QPushButton::clicked, this,
            [this] { Guarded([this] { btRecallClick(); }); });
}

void TMainForm::ReadChannelParams(int channel) {
    TParamsItem* active = Params->Active();
    // A closed device answers every read with zeros; they are no parameters and must not
    // replace the stored ones.
    if (!Online || active == nullptr)
        return;
    // Read into a temporary set: a failed read leaves zeros or a partial reply in its outputs,
    // and only a complete answer may replace the preset's record.
    int32_t flags = 0;
    TChannelParams read = active->Channels[channel];
    CmdGetM(channel, &flags, &read.T_min, &read.PWM_min, &read.T_max, &read.PWM_max, &read.T_alarm,
            &read.V_alarm, &read.PWM);
    read.SetMode(flags);
    active->Channels[channel] = read;
    if (read.Auto == 0)
        Pwm[channel] = read.PWM;
}

void TMainForm::ShowChannelParams(int channel) {
    const TParamsItem* active = Params->Active();
    if (active == nullptr)
        return;
    const TChannelParams& params = active->Channels[channel];
    TUpdatingGuard guard(Updating);
    feTmax->SetValue(params.T_max * 0.1);
    fePmax->SetValue(PwmPercent(params.PWM_max));
    feTmin->SetValue(params.T_min * 0.1);
    fePmin->SetValue(PwmPercent(params.PWM_min));
    cbAuto->setChecked(params.Auto != 0);
    cbBoost->setChecked(params.Boost != 0);
    feTa->SetValue(params.T_alarm * 0.1);
    cbTa->setChecked(params.Ta != 0);
    feVa->SetValue(params.V_alarm);
    cbVa->setChecked(params.Va != 0);
    fePx->SetValue(PwmPercent(Pwm[channel]));
    edV->setText(VoltageText(Pwm[channel]));
    SetManualPwmState(fePx, cbAuto->isChecked());
}

void TMainForm::TakeChannelParams(int channel) {
    TParamsItem* active = Params->Active();
    if (active == nullptr)
        return;
    TChannelParams& params = active->Channels[channel];
    params.T_max = TenthsFromField(feTmax->Value());
    params.PWM_max = PwmFromField(fePmax->Value());
    params.T_min = TenthsFromField(feTmin->Value());
    params.PWM_min = PwmFromField(fePmin->Value());
    params.Auto = cbAuto->isChecked() ? 1 : 0;
    params.Boost = cbBoost->isChecked() ? 1 : 0;
    params.T_alarm = TenthsFromField(feTa->Value());
    params.Ta = cbTa->isChecked() ? 1 : 0;
    params.V_alarm = Truncate(feVa->Value());
    params.Va = cbVa->isChecked() ? 1 : 0;
}

void TMainForm::WriteChannelParams(int channel) {
    TParamsItem* active = Params->Active();
    if (active == nullptr)
        return;
    TChannelParams& params = active->Channels[channel];
    params.PWM = Pwm[channel];
    // The whole set goes in one request, whichever control changed.
    CmdSetM(channel, params.Mode(), params.T_min, params.PWM_min, params.T_max, params.PWM_max,
            params.T_alarm, params.V_alarm, params.PWM);
}

void TMainForm::UpdateChannelPage(int channel) {
    edTx->setText(TemperatureText(Temperature[channel]));
    edVx->setText(QString::number(FanSpeed[channel]));
    if (fePx->isReadOnly())
        fePx->SetValue(PwmPercent(Pwm[channel]));
    edV->setText(VoltageText(Pwm[channel]));
    DrawTempCursor(CursorT);
    DrawTempCursor(Temperature[channel]);
    CursorT = Temperature[channel];
    DrawPwmCursor(CursorPwm);
    DrawPwmCursor(Pwm[channel]);
    CursorPwm = Pwm[channel];
}

void TMainForm::SelectChannel(int channel) {
    ReadChannelParams(channel);
    ShowChannelParams(channel);
    DrawGraph(channel);
    UpdateChannelPage(channel);
}

void TMainForm::cbChChange() {
    SelectedChannel = std::max(cbCh->currentIndex(), 0);
    SelectChannel(SelectedChannel);
}

void TMainForm::feTmaxChanged(QObject* sender) {
    if (Updating)
        return;
    TakeChannelParams(SelectedChannel);
    DrawGraph(SelectedChannel);
    UpdateChannelPage(SelectedChannel);
    WriteChannelParams(SelectedChannel);
    // A check box always counts; a field only when the user typed in it, not when the focus
    // merely passed through it.
    const auto* field = qobject_cast<const QLineEdit*>(sender);
    if (qobject_cast<const QCheckBox*>(sender) != nullptr ||
        (field != nullptr && field->isModified()))
        Changed[SelectedChannel] = true;
}

void TMainForm::cbAutoClick() {
    if (Updating)
        return;
    TakeChannelParams(SelectedChannel);
    DrawGraph(SelectedChannel);
    UpdateChannelPage(SelectedChannel);
    SetManualPwmState(fePx, cbAuto->isChecked());
    WriteChannelParams(SelectedChannel);
    Changed[SelectedChannel] = true;
}

void TMainForm::fePxChanged() {
    if (fePx->isReadOnly() || Updating)
        return;
    const int channel = SelectedChannel;
    Pwm[channel] = PwmFromField(fePx->Value());
    edV->setText(VoltageText(Pwm[channel]));
    DrawPwmCursor(CursorPwm);
    DrawPwmCursor(Pwm[channel]);
    CursorPwm = Pwm[channel];
    // The other channels keep the values of the last reading. The parameter set's PWM takes the
    // new value at the next WriteChannelParams.
    CmdSetPWM(Pwm[0], Pwm[1], Pwm[2], Pwm[3], Pwm[4], Pwm[5]);
    if (fePx->isModified())
        Changed[channel] = true;
}

void TMainForm::btSaveClick() {
    CmdSavePar(SelectedChannel);
}

void TMainForm::btRecallClick() {
    const int channel = SelectedChannel;
    CmdCallPar(channel);
    ReadChannelValues();
    ReadChannelParams(channel);
    ShowChannelParams(channel);
    DrawGraph(channel);
    UpdateChannelPage(channel);
}
