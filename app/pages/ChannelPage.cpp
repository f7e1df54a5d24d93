// The Channel page: reading a channel's parameters from the controller into the active preset,
// showing them, taking the user's edits into the preset and sending them at once, the manual
// PWM, the EEPROM buttons, refreshing the read-outs, choosing the channel, and the controls that
// send to the controller, which are disabled while it is off-line.
#include "ChannelPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "Application.h"
#include "MainState.h"
#include "PageHost.h"
#include "ReadoutRepaint.h"
#include "Readouts.h"
#include "core/Commands.h"
#include "core/Params.h"
#include "widgets/ColorConvert.h"
#include "widgets/CurveGraph.h"
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

TChannelPage::TChannelPage(TPageHost& host, QWidget* parent)
    : QWidget(parent), host_(host), state_(host.State()) {
    Build();
    ConnectHandlers();
}

void TChannelPage::ConnectHandlers() {
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
    // Every repaint draws the whole graph afresh, so the cursors drawn straight into the
    // picture always sit on the picture DrawGraph made.
    pbGraph->OnPaint = [this] { DrawGraphPicture(state_.SelectedChannel); };
    pbGraph->OnMouseDown = [this](Qt::MouseButton button, Qt::MouseButtons, int x, int y) {
        Guarded([&] { pbGraphMouseDown(button, x, y); });
    };
    pbGraph->OnMouseMove = [this](Qt::MouseButton, Qt::MouseButtons buttons, int x, int y) {
        Guarded([&] { pbGraphMouseMove(buttons, x, y); });
    };
}

void TChannelPage::ReadChannelParams(int channel) {
    TParamsItem* active = state_.Params->Active();
    // A closed device answers every read with zeros; they are no parameters and must not
    // replace the stored ones.
    if (!state_.Online || active == nullptr)
        return;
    // Only a complete answer may replace the preset's record.
    const TChannelParams read = ControllerParams(channel);
    active->Channels[channel] = read;
    if (read.Auto == 0)
        state_.Pwm[channel] = read.PWM;
}

void TChannelPage::ReadOrRestoreChannelParams() {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (state_.ControllerParamsKnown)
            RestoreChannelParams(channel);
        else
            ReadChannelParams(channel);
    }
    state_.ControllerParamsKnown = true;
}

void TChannelPage::RestoreChannelParams(int channel) {
    TParamsItem* active = state_.Params->Active();
    if (!state_.Online || active == nullptr)
        return;
    const TChannelParams held = ControllerParams(channel);
    const TChannelParams& record = active->Channels[channel];
    if (SameRegulation(held, record)) {
        if (held.Auto == 0)
            state_.Pwm[channel] = held.PWM;
        return;
    }
    // The controller lost what it was given (it was reset, or powered up with its EEPROM's
    // parameters, while it was away): it gets the active preset's record again, which stays as
    // the user stored it. Nothing was sent from this record while off-line, so this is what the
    // user last chose for the channel.
    if (record.Auto == 0)
        state_.Pwm[channel] = record.PWM;
    CmdSetM(channel, record.Mode(), record.T_min, record.PWM_min, record.T_max, record.PWM_max,
            record.T_alarm, record.V_alarm, record.PWM);
    state_.Changed[channel] = true;
}

void TChannelPage::ShowChannelParams(int channel) {
    const TParamsItem* active = state_.Params->Active();
    if (active == nullptr)
        return;
    const TChannelParams& params = active->Channels[channel];
    TUpdatingGuard guard(state_.Updating);
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
    edV->setText(VoltageText(state_.Pwm[channel]));
    SetManualPwmState(fePx, cbAuto->isChecked());
}

void TChannelPage::ShowStoredFields(int channel) {
    const TParamsItem* active = state_.Params->Active();
    if (active == nullptr)
        return;
    // The fields take the values as stored (rounded to tenths of a degree, to PWM steps, to
    // whole rpm), so they show what the controller is sent: 55.55 stored as 556 shows 55.6.
    const TChannelParams& params = active->Channels[channel];
    TUpdatingGuard guard(state_.Updating);
    feTmax->SetValue(params.T_max * 0.1);
    fePmax->SetValue(PwmPercent(params.PWM_max));
    feTmin->SetValue(params.T_min * 0.1);
    fePmin->SetValue(PwmPercent(params.PWM_min));
    feTa->SetValue(params.T_alarm * 0.1);
    feVa->SetValue(params.V_alarm);
}

void TChannelPage::ShowManualPwm(int channel) {
    TUpdatingGuard guard(state_.Updating);
    fePx->SetValue(PwmPercent(state_.Pwm[channel]));
}

void TChannelPage::TakeChannelParams(int channel) {
    TParamsItem* active = state_.Params->Active();
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

void TChannelPage::WriteChannelParams(int channel) {
    TParamsItem* active = state_.Params->Active();
    if (active == nullptr)
        return;
    TChannelParams& params = active->Channels[channel];
    params.PWM = state_.Pwm[channel];
    // The whole set goes in one request, whichever control changed.
    CmdSetM(channel, params.Mode(), params.T_min, params.PWM_min, params.T_max, params.PWM_max,
            params.T_alarm, params.V_alarm, params.PWM);
}

void TChannelPage::UpdateChannelPage(int channel) {
    edTx->setText(TemperatureText(state_.Temperature[channel]));
    edVx->setText(QString::number(state_.FanSpeed[channel]));
    if (fePx->isReadOnly())
        fePx->SetValue(PwmPercent(state_.Pwm[channel]));
    edV->setText(VoltageText(state_.Pwm[channel]));
    DrawTempCursor(pbGraph->CursorT());
    DrawTempCursor(state_.Temperature[channel]);
    pbGraph->SetCursorT(state_.Temperature[channel]);
    DrawPwmCursor(pbGraph->CursorPwm());
    DrawPwmCursor(state_.Pwm[channel]);
    pbGraph->SetCursorPwm(state_.Pwm[channel]);
}

void TChannelPage::SelectChannel(int channel) {
    ReadChannelParams(channel);
    ShowChannelParams(channel);
    DrawGraph(channel);
    UpdateChannelPage(channel);
}

void TChannelPage::cbChChange() {
    state_.SelectedChannel = std::max(cbCh->currentIndex(), 0);
    SelectChannel(state_.SelectedChannel);
}

void TChannelPage::feTmaxChanged(QObject* sender) {
    // Off-line the page's controls are disabled: nothing may look sent that was not.
    if (state_.Updating || !state_.Online)
        return;
    // A check box always counts; a field only when the user typed in it, not when the focus
    // merely passed through it. Asked first: showing the stored value clears the field's mark.
    const auto* field = qobject_cast<const QLineEdit*>(sender);
    const bool byUser = qobject_cast<const QCheckBox*>(sender) != nullptr ||
                        (field != nullptr && field->isModified());
    TakeChannelParams(state_.SelectedChannel);
    ShowStoredFields(state_.SelectedChannel);
    DrawGraph(state_.SelectedChannel);
    UpdateChannelPage(state_.SelectedChannel);
    WriteChannelParams(state_.SelectedChannel);
    if (byUser)
        state_.Changed[state_.SelectedChannel] = true;
}

void TChannelPage::cbAutoClick() {
    if (state_.Updating || !state_.Online)
        return;
    TakeChannelParams(state_.SelectedChannel);
    ShowStoredFields(state_.SelectedChannel);
    DrawGraph(state_.SelectedChannel);
    UpdateChannelPage(state_.SelectedChannel);
    SetManualPwmState(fePx, cbAuto->isChecked());
    WriteChannelParams(state_.SelectedChannel);
    state_.Changed[state_.SelectedChannel] = true;
}

void TChannelPage::fePxChanged() {
    if (fePx->isReadOnly() || state_.Updating || !state_.Online)
        return;
    const int channel = state_.SelectedChannel;
    const bool byUser = fePx->isModified();
    state_.Pwm[channel] = PwmFromPercent(fePx->Value());
    ShowManualPwm(channel);
    edV->setText(VoltageText(state_.Pwm[channel]));
    DrawPwmCursor(pbGraph->CursorPwm());
    DrawPwmCursor(state_.Pwm[channel]);
    pbGraph->SetCursorPwm(state_.Pwm[channel]);
    // The other channels keep the values of the last reading. The parameter set's PWM takes the
    // new value at the next WriteChannelParams.
    CmdSetPWM(state_.Pwm[0], state_.Pwm[1], state_.Pwm[2], state_.Pwm[3], state_.Pwm[4],
              state_.Pwm[5]);
    if (byUser)
        state_.Changed[channel] = true;
}

void TChannelPage::CommitTypedField() {
    // A button's keyboard shortcut leaves the focus where it is: the text typed into a field
    // is committed (and sent) first, as leaving the field for the button with the mouse does.
    auto* field = qobject_cast<TFloatEdit*>(window()->focusWidget());
    if (field != nullptr && field->isModified() && isAncestorOf(field))
        field->SetValueStr(field->text());
}

void TChannelPage::btSaveClick() {
    CommitTypedField();
    CmdSavePar(state_.SelectedChannel);
    state_.Changed[state_.SelectedChannel] = false;  // saved: nothing left for the close query
}

void TChannelPage::btRecallClick() {
    CommitTypedField();
    const int channel = state_.SelectedChannel;
    CmdCallPar(channel);
    host_.ReadChannelValues();
    ReadChannelParams(channel);
    ShowChannelParams(channel);
    DrawGraph(channel);
    UpdateChannelPage(channel);
}

void TChannelPage::EnableControllerControls(bool enabled) {
    const std::array<QWidget*, 13> controls = {feTmin, fePmin, feTmax,  fePmax, feTa,
                                               feVa,   cbAuto, cbBoost, cbTa,   cbVa,
                                               fePx,   btSave, btRecall};
    // A field losing the focus to the disabling commits its text; what was typed but not yet
    // committed cannot reach the controller now, so it is dropped rather than stored.
    TUpdatingGuard guard(state_.Updating);
    if (!enabled) {
        for (TFloatEdit* field : {feTmin, fePmin, feTmax, fePmax, feTa, feVa, fePx}) {
            if (field->isModified())
                field->UpdateText();
        }
    }
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}

void TChannelPage::ShowReadoutsStale(bool stale) {
    for (QLineEdit* box : {edTx, edVx, edV})
        SetReadoutStale(box, stale);
}

void TChannelPage::ShowChannelName(int channel) {
    const int selected = cbCh->currentIndex();
    const QString number = QString::number(channel + 1);
    const QString& name = state_.ChannelName[channel];
    cbCh->setItemText(channel,
                      name.trimmed().isEmpty() ? number : number + QStringLiteral(": ") + name);
    cbCh->setCurrentIndex(selected);
}

QString TChannelPage::ChannelListText(int index) const {
    return index >= 0 && index < cbCh->count() ? cbCh->itemText(index) : QString();
}

void TChannelPage::pbGraphMouseDown(Qt::MouseButton /*button*/, int /*x*/, int y) {
    // A field being edited is left first and takes its value.
    Panel1->setFocus(Qt::MouseFocusReason);
    if (y < TCurveGraph::kFullPwmRow || y > TCurveGraph::kZeroPwmRow)
        return;
    SetManualPwmFromGraph(y);
}

void TChannelPage::pbGraphMouseMove(Qt::MouseButtons buttons, int /*x*/, int y) {
    if (!(buttons & Qt::LeftButton))
        return;
    SetManualPwmFromGraph(
        std::clamp(y, int(TCurveGraph::kFullPwmRow), int(TCurveGraph::kZeroPwmRow)));
}

void TChannelPage::SetManualPwmFromGraph(int y) {
    // Only the manual PWM, and only while it can reach the controller. A row that gives the
    // PWM already set sends nothing again.
    const double percent = TCurveGraph::PercentAtRow(y);
    if (fePx->isReadOnly() || !fePx->isEnabled() ||
        PwmFromPercent(percent) == state_.Pwm[state_.SelectedChannel])
        return;
    fePx->setModified(true);
    fePx->SetValue(percent);
}

void TChannelPage::DrawGraph(int channel) {
    DrawGraphPicture(channel);
    pbGraph->update();
}

void TChannelPage::DrawGraphPicture(int channel) {
    const bool known = channel >= 0 && channel < kChannelCount;
    const TParamsItem* active = state_.Params != nullptr ? state_.Params->Active() : nullptr;
    if (known)
        pbGraph->SetCursors(state_.Temperature[channel], state_.Pwm[channel]);
    pbGraph->DrawPicture(state_.GraphColors,
                         active != nullptr && known ? &active->Channels[channel] : nullptr);
}

void TChannelPage::DrawTempCursor(int32_t temperature) {
    pbGraph->DrawTempCursor(temperature, state_.GraphColors);
}

void TChannelPage::DrawPwmCursor(int32_t pwm) {
    pbGraph->DrawPwmCursor(pwm, state_.GraphColors);
}
