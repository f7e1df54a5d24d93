// The polling cycle with its connection state machine: each tick reads the controller and
// refreshes the page shown, or tries to connect while off-line; then the history takes a sample
// and the scope moves on. Also the page control's turns and the status panels.
#include <QLabel>
#include <QTabWidget>
#include <cmath>
#include <exception>

#include "MainForm.h"
#include "WatchTools.h"
#include "core/Commands.h"
#include "desktop/OfflineReason.h"  // desktop hook
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/HistoryPage.h"
#include "pages/Readouts.h"
#include "qv725/qv725.h"
#include "widgets/Jvsimscope.h"

void TMainForm::TimerTimer() {
    TJvSimScope* scope = Scope();
    if (scope != nullptr)
        scope->SetActive(false);
    // Whatever happens while the device is read, the sample, the scope positions and the next
    // tick still come; an unexpected error is reported after that.
    std::exception_ptr unexpected;
    try {
        if (state_.Online) {
            ReadChannelValues();
            switch (frame_.PageControl->currentIndex()) {
                case 0:
                    commonPage_->UpdateCommonPage();
                    break;
                case 1:
                    channelPage_->UpdateChannelPage(state_.SelectedChannel);
                    break;
                case 2:
                    historyPage_->RefreshHistoryRows();
                    break;
                default:
                    break;
            }
        } else {
            state_.Online = CmdOpenDevice();
            ShowOpenResult(frame_.StatusBar, state_.Online);  // desktop hook
            if (state_.Online) {
                SetStatusOnline(true);
                ReadChannelValues();
                commonPage_->UpdateCommonPage();
                channelPage_->ReadOrRestoreChannelParams();
                channelPage_->DrawGraph(state_.SelectedChannel);
                channelPage_->ShowChannelParams(state_.SelectedChannel);
                channelPage_->UpdateChannelPage(state_.SelectedChannel);
            }
        }
    } catch (const EHardwareException&) {
        GoOffline();
    } catch (...) {
        unexpected = std::current_exception();
    }
    AddHistorySample();
    UpdateScopeLines();
    if (watchTools_)
        watchTools_->CycleDone();
    // The scope is looked up again: it may have gone while a box was open.
    if (TJvSimScope* shown = Scope())
        shown->SetActive(true);
    if (unexpected)
        std::rethrow_exception(unexpected);
}

void TMainForm::GoOffline() {
    QV725_CloseDevice();
    state_.Online = false;
    SetStatusOnline(false);
}

void TMainForm::SetStatusOnline(bool online) {
    frame_.StatusPanels[0]->setText(online ? QStringLiteral("ON-Line")
                                           : QStringLiteral("OFF-Line"));
    commonPage_->ShowReadoutsStale(!online);
    channelPage_->ShowReadoutsStale(!online);
    channelPage_->EnableControllerControls(online);
}

void TMainForm::SetPollInterval(int interval) {
    if (TJvSimScope* scope = Scope())
        scope->SetInterval(interval);
}

void TMainForm::ReadChannelValues() {
    // A closed device answers every read with zeros; they are no readings.
    if (!state_.Online)
        return;
    // Read into temporaries: a failed read leaves zeros or a partial reply in its outputs, and
    // the readings, the history and the scope keep the last complete set instead.
    std::array<int32_t, kChannelCount> t{};
    std::array<int32_t, kChannelCount> v{};
    std::array<int32_t, kChannelCount> p{};
    CmdGetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]);
    CmdGetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
    CmdGetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
    state_.Temperature = t;
    state_.FanSpeed = v;
    state_.Pwm = p;
}

void TMainForm::UpdateScopeLines() {
    TJvSimScope* scope = Scope();
    if (scope == nullptr)
        return;
    const int count = std::min(scope->Lines().Count(), static_cast<int>(kChannelCount));
    for (int i = 0; i < count; ++i) {
        scope->Lines().GetItem(i)->Position =
            static_cast<int32_t>(std::trunc(TemperatureCelsius(state_.Temperature[i])));
    }
}

void TMainForm::AddHistorySample() {
    THistoryItem& item = state_.History->NewItem();
    for (int c = 0; c < kChannelCount; ++c)
        item.Values[c] = static_cast<float>(TemperatureCelsius(state_.Temperature[c]));
}

void TMainForm::PageControlChange() {
    switch (frame_.PageControl->currentIndex()) {
        case 0:
            commonPage_->UpdateCommonPage();
            break;
        case 1:
            channelPage_->UpdateChannelPage(state_.SelectedChannel);
            break;
        default:
            break;
    }
}

void TMainForm::SetActivePage(int index) {
    settingPage_ = true;
    frame_.PageControl->setCurrentIndex(index);
    settingPage_ = false;
}

QWidget* TMainForm::CurrentPage() const {
    return frame_.PageControl->currentWidget();
}

void TMainForm::ShowPresetName(const QString& name) {
    frame_.StatusPanels[1]->setText(name);
}
