// The polling cycle with its connection state machine, and the Common page: readings, alarm
// colours, channel names and the buttons that open a channel's settings.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <cmath>
#include <exception>

#include "LayoutHelpers.h"
#include "Main.h"
#include "ReadoutRepaint.h"
#include "Readouts.h"
#include "core/Commands.h"
#include "core/History.h"
#include "core/Params.h"
#include "desktop/OfflineReason.h"  // desktop hook
#include "qv725/qv725.h"
#include "widgets/Jvsimscope.h"

namespace {

// PWM at or below which a fan counts as standing: its speed shows 0 and raises no alarm.
constexpr int32_t kStallPwm = 40;

const TChannelParams& ActiveRecord(const TParams& params, int channel) {
    static const TChannelParams none{};
    const TParamsItem* active = params.Active();
    return active != nullptr ? active->Channels[channel] : none;
}

}  // namespace

void TMainForm::TimerTimer() {
    if (Scope)
        Scope->SetActive(false);
    // Whatever happens while the device is read, the sample, the scope positions and the next
    // tick still come; an unexpected error is reported after that.
    std::exception_ptr unexpected;
    try {
        if (Online) {
            ReadChannelValues();
            switch (PageControl->currentIndex()) {
                case 0:
                    UpdateCommonPage();
                    break;
                case 1:
                    UpdateChannelPage(SelectedChannel);
                    break;
                case 2:
                    RefreshHistoryRows();
                    break;
                default:
                    break;
            }
        } else {
            Online = CmdOpenDevice();
            ShowOpenResult(StatusBar, Online);  // desktop hook
            if (Online) {
                SetStatusOnline(true);
                ReadChannelValues();
                UpdateCommonPage();
                ReadOrRestoreChannelParams();
                DrawGraph(SelectedChannel);
                ShowChannelParams(SelectedChannel);
                UpdateChannelPage(SelectedChannel);
            }
        }
    } catch (const EHardwareException&) {
        GoOffline();
    } catch (...) {
        unexpected = std::current_exception();
    }
    AddHistorySample();
    UpdateScopeLines();
    if (Scope)
        Scope->SetActive(true);
    if (unexpected)
        std::rethrow_exception(unexpected);
}

void TMainForm::GoOffline() {
    QV725_CloseDevice();
    Online = false;
    SetStatusOnline(false);
}

void TMainForm::SetStatusOnline(bool online) {
    StatusPanels[0]->setText(online ? QStringLiteral("ON-Line") : QStringLiteral("OFF-Line"));
    ShowReadoutsStale(!online);
    EnableControllerControls(online);
}

void TMainForm::ShowReadoutsStale(bool stale) {
    for (int i = 0; i < kChannelCount; ++i) {
        SetReadoutStale(edT[i], stale);
        SetReadoutStale(edVxC[i], stale);
        SetReadoutStale(edVC[i], stale);
    }
    for (QLineEdit* box : {edTx, edVx, edV})
        SetReadoutStale(box, stale);
}

void TMainForm::SetPollInterval(int interval) {
    if (Scope)
        Scope->SetInterval(interval);
}

void TMainForm::ReadChannelValues() {
    // A closed device answers every read with zeros; they are no readings.
    if (!Online)
        return;
    // Read into temporaries: a failed read leaves zeros or a partial reply in its outputs, and
    // the readings, the history and the scope keep the last complete set instead.
    std::array<int32_t, kChannelCount> t{};
    std::array<int32_t, kChannelCount> v{};
    std::array<int32_t, kChannelCount> p{};
    CmdGetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]);
    CmdGetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
    CmdGetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
    Temperature = t;
    FanSpeed = v;
    Pwm = p;
}

void TMainForm::UpdateCommonPage() {
    // Every box is shown within this call; the changed ones are painted in one pass.
    const TReadoutBatch repaint;
    for (int i = 0; i < kChannelCount; ++i) {
        ShowTemperature(edT[i], i);
        ShowFanSpeed(edVxC[i], i);
        ShowFanVoltage(edVC[i], i);
    }
}

void TMainForm::ShowTemperature(QLineEdit* box, int channel) {
    const TChannelParams& params = ActiveRecord(*Params, channel);
    const bool alarm = params.Ta != 0 && params.T_alarm < Temperature[channel];
    ShowReadout(box, alarm ? clRed : clBtnFace, TemperatureText(Temperature[channel]));
}

void TMainForm::ShowFanSpeed(QLineEdit* box, int channel) {
    const TChannelParams& params = ActiveRecord(*Params, channel);
    const bool running = Pwm[channel] > kStallPwm;
    const bool alarm = params.Va != 0 && params.V_alarm > FanSpeed[channel] && running;
    ShowReadout(box, alarm ? clRed : clBtnFace,
                running ? QString::number(FanSpeed[channel]) : QStringLiteral("0"));
}

void TMainForm::ShowFanVoltage(QLineEdit* box, int channel) {
    const TChannelParams& params = ActiveRecord(*Params, channel);
    const bool alarm =
        params.Va != 0 && params.V_alarm > FanSpeed[channel] && Pwm[channel] > kStallPwm;
    ShowReadout(box, alarm ? clRed : clBtnFace, VoltageText(Pwm[channel]));
}

void TMainForm::UpdateScopeLines() {
    if (!Scope)
        return;
    const int count = std::min(Scope->Lines().Count(), static_cast<int>(kChannelCount));
    for (int i = 0; i < count; ++i) {
        Scope->Lines().GetItem(i)->Position =
            static_cast<int32_t>(std::trunc(TemperatureCelsius(Temperature[i])));
    }
}

void TMainForm::AddHistorySample() {
    THistoryItem& item = History->NewItem();
    for (int c = 0; c < kChannelCount; ++c)
        item.Values[c] = static_cast<float>(TemperatureCelsius(Temperature[c]));
}

void TMainForm::edN1Change(QObject* sender) {
    const int tag = TagOf(sender);
    auto* box = qobject_cast<QLineEdit*>(sender);
    if (box == nullptr || tag < 0 || tag >= kChannelCount)
        return;
    ChannelName[tag] = box->text();
    const int selected = cbCh->currentIndex();
    const QString number = QString::number(tag + 1);
    cbCh->setItemText(tag, ChannelName[tag].trimmed().isEmpty()
                               ? number
                               : number + QStringLiteral(": ") + ChannelName[tag]);
    cbCh->setCurrentIndex(selected);
}

void TMainForm::btCh1Click(QObject* sender) {
    const int tag = TagOf(sender);
    if (tag < 0 || tag >= kChannelCount)
        return;
    SelectedChannel = tag;
    SelectChannel(tag);
    cbCh->setCurrentIndex(tag);
    SetActivePage(1);
}

void TMainForm::PageControlChange() {
    switch (PageControl->currentIndex()) {
        case 0:
            UpdateCommonPage();
            break;
        case 1:
            UpdateChannelPage(SelectedChannel);
            break;
        default:
            break;
    }
}

void TMainForm::SetActivePage(int index) {
    settingPage_ = true;
    PageControl->setCurrentIndex(index);
    settingPage_ = false;
}
