// The Channel page: reading a channel's parameters from the controller into the active preset,
// showing them, refreshing the read-outs, and choosing the channel.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "Application.h"
#include "LayoutHelpers.h"
#include "Main.h"
#include "Readouts.h"
#include "core/Commands.h"
#include "core/Params.h"
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

}  // namespace

void TMainForm::ConnectChannelHandlers() {
    connect(cbCh, &QComboBox::activated, this, [this](int) { Guarded([this] { cbChChange(); }); });
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
    const bool automatic = cbAuto->isChecked();
    fePx->setReadOnly(automatic);
    SetBoxColor(fePx, automatic ? clBtnFace : clWindow);
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
