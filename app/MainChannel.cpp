// The Channel page: reading a channel's parameters from the controller into the active preset,
// showing them, taking the user's edits into the preset and sending them at once, the manual
// PWM, the EEPROM buttons, refreshing the read-outs, choosing the channel, and the controls that
// send to the controller, which are disabled while it is off-line.
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
// program's own changes, also when filling the page fails half-way. Guards nest.
class TUpdatingGuard {
public:
    explicit TUpdatingGuard(bool& updating) : updating_(updating), before_(updating) {
        updating_ = true;
    }
    ~TUpdatingGuard() { updating_ = before_; }
    TUpdatingGuard(const TUpdatingGuard&) = delete;
    TUpdatingGuard& operator=(const TUpdatingGuard&) = delete;

private:
    bool& updating_;
    bool before_;
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

// One channel's parameter set as the controller holds it, read into a temporary: a failed read
// raises before anything could take the zeros or the partial reply it leaves.
TChannelParams ControllerParams(int channel) {
    int32_t flags = 0;
    TChannelParams read;
    CmdGetM(channel, &flags, &read.T_min, &read.PWM_min, &read.T_max, &read.PWM_max, &read.T_alarm,
            &read.V_alarm, &read.PWM);
    read.SetMode(flags);
    return read;
}

// Whether two sets regulate alike. The hand-set PWM is left out: the manual PWM field sends it
// without storing it in the preset, so the preset's copy may lag behind the controller's.
bool SameRegulation(const TChannelParams& a, const TChannelParams& b) {
    TChannelParams left = a;
    left.PWM = b.PWM;
    return left == b;
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
    // Only a complete answer may replace the preset's record.
    const TChannelParams read = ControllerParams(channel);
    active->Channels[channel] = read;
    if (read.Auto == 0)
        Pwm[channel] = read.PWM;
}

void TMainForm::ReadOrRestoreChannelParams() {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (ControllerParamsKnown)
            RestoreChannelParams(channel);
        else
            ReadChannelParams(channel);
    }
    ControllerParamsKnown = true;
}

void TMainForm::RestoreChannelParams(int channel) {
    TParamsItem* active = Params->Active();
    if (!Online || active == nullptr)
        return;
    const TChannelParams held = ControllerParams(channel);
    const TChannelParams& record = active->Channels[channel];
    if (SameRegulation(held, record)) {
        if (held.Auto == 0)
            Pwm[channel] = held.PWM;
        return;
    }
    // The controller lost what it was given (it was reset, or powered up with its EEPROM's
    // parameters, while it was away): it gets the active preset's record again, which stays as
    // the user stored it. Nothing was sent from this record while off-line, so this is what the
    // user last chose for the channel.
    if (record.Auto == 0)
        Pwm[channel] = record.PWM;
    CmdSetM(channel, record.Mode(), record.T_min, record.PWM_min, record.T_max, record.PWM_max,
            record.T_alarm, record.V_alarm, record.PWM);
    Changed[channel] = true;
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
    ShowManualPwm(channel);
    edV->setText(VoltageText(Pwm[channel]));
    SetManualPwmState(fePx, cbAuto->isChecked());
}

void TMainForm::ShowStoredFields(int channel) {
    const TParamsItem* active = Params->Active();
    if (active == nullptr)
        return;
    // The fields take the values as stored (rounded to tenths of a degree, to PWM steps, to
    // whole rpm), so they show what the controller is sent: 55.55 stored as 556 shows 55.6.
    const TChannelParams& params = active->Channels[channel];
    TUpdatingGuard guard(Updating);
    feTmax->SetValue(params.T_max * 0.1);
    fePmax->SetValue(PwmPercent(params.PWM_max));
    feTmin->SetValue(params.T_min * 0.1);
    fePmin->SetValue(PwmPercent(params.PWM_min));
    feTa->SetValue(params.T_alarm * 0.1);
    feVa->SetValue(params.V_alarm);
}

void TMainForm::ShowManualPwm(int channel) {
    TUpdatingGuard guard(Updating);
    fePx->SetValue(PwmPercent(Pwm[channel]));
}

void TMainForm::TakeChannelParams(int channel) {
    TParamsItem* active = Params->Active();
    if (active == nullptr)
        return;
    TChannelParams& params = active->Channels[channel];
    params.T_max = TenthsFromField(feTmax->Value());
    params.PWM_max = PwmFromPercent(fePmax->Value());
    params.T_min = TenthsFromField(feTmin->Value());
    params.PWM_min = PwmFromPercent(fePmin->Value());
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
    // Off-line the page's controls are disabled: nothing may look sent that was not.
    if (Updating || !Online)
        return;
    // A check box always counts; a field only when the user typed in it, not when the focus
    // merely passed through it. Asked first: showing the stored value clears the field's mark.
    const auto* field = qobject_cast<const QLineEdit*>(sender);
    const bool byUser = qobject_cast<const QCheckBox*>(sender) != nullptr ||
                        (field != nullptr && field->isModified());
    TakeChannelParams(SelectedChannel);
    ShowStoredFields(SelectedChannel);
    DrawGraph(SelectedChannel);
    UpdateChannelPage(SelectedChannel);
    WriteChannelParams(SelectedChannel);
    if (byUser)
        Changed[SelectedChannel] = true;
}

void TMainForm::cbAutoClick() {
    if (Updating || !Online)
        return;
    TakeChannelParams(SelectedChannel);
    ShowStoredFields(SelectedChannel);
    DrawGraph(SelectedChannel);
    UpdateChannelPage(SelectedChannel);
    SetManualPwmState(fePx, cbAuto->isChecked());
    WriteChannelParams(SelectedChannel);
    Changed[SelectedChannel] = true;
}

void TMainForm::fePxChanged() {
    if (fePx->isReadOnly() || Updating || !Online)
        return;
    const int channel = SelectedChannel;
    const bool byUser = fePx->isModified();
    Pwm[channel] = PwmFromPercent(fePx->Value());
    ShowManualPwm(channel);
    edV->setText(VoltageText(Pwm[channel]));
    DrawPwmCursor(CursorPwm);
    DrawPwmCursor(Pwm[channel]);
    CursorPwm = Pwm[channel];
    // The other channels keep the values of the last reading. The parameter set's PWM takes the
    // new value at the next WriteChannelParams.
    CmdSetPWM(Pwm[0], Pwm[1], Pwm[2], Pwm[3], Pwm[4], Pwm[5]);
    if (byUser)
        Changed[channel] = true;
}

void TMainForm::CommitTypedField() {
    // A button's keyboard shortcut leaves the focus where it is: the text typed into a field
    // is committed (and sent) first, as leaving the field for the button with the mouse does.
    auto* field = qobject_cast<TFloatEdit*>(focusWidget());
    if (field != nullptr && field->isModified() && tsChannel->isAncestorOf(field))
        field->SetValueStr(field->text());
}

void TMainForm::btSaveClick() {
    CommitTypedField();
    CmdSavePar(SelectedChannel);
    Changed[SelectedChannel] = false;  // saved: nothing left for the close query to offer
}

void TMainForm::btRecallClick() {
    CommitTypedField();
    const int channel = SelectedChannel;
    CmdCallPar(channel);
    ReadChannelValues();
    ReadChannelParams(channel);
    ShowChannelParams(channel);
    DrawGraph(channel);
    UpdateChannelPage(channel);
}

void TMainForm::EnableControllerControls(bool enabled) {
    const std::array<QWidget*, 13> controls = {feTmin, fePmin, feTmax,  fePmax, feTa,
                                               feVa,   cbAuto, cbBoost, cbTa,   cbVa,
                                               fePx,   btSave, btRecall};
    // A field losing the focus to the disabling commits its text; what was typed but not yet
    // committed cannot reach the controller now, so it is dropped rather than stored.
    TUpdatingGuard guard(Updating);
    if (!enabled) {
        for (TFloatEdit* field : {feTmin, fePmin, feTmax, fePmax, feTa, feVa, fePx}) {
            if (field->isModified())
                field->UpdateText();
        }
    }
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}
