// The glue between the main window and the watching pieces: what they read of the window's
// state, where their menu items go and when they run.
#include "WatchTools.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include "ActionList.h"
#include "AlarmNotifier.h"
#include "Application.h"
#include "HistoryTools.h"
#include "LayoutHelpers.h"
#include "MainForm.h"
#include "RecordingControl.h"
#include "UnsavedMarks.h"
#include "core/LocalTime.h"
#include "core/Params.h"
#include "core/WatchSettings.h"
#include "pages/ChannelPage.h"
#include "pages/HistoryPage.h"
#include "widgets/Jvsimscope.h"
#include "widgets/Trayicon.h"

TWatchTools::TWatchTools(TMainForm& form, const TIniFile& ini) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("WatchTools"));
    TTrayIcon* trayIcon = form.Frame().TrayIcon;
    Notifier = new TAlarmNotifier(trayIcon, this);
    HistoryTools = new THistoryTools(
        [this] { return form_.State().History.get(); }, [this] { return ChannelNames(); },
        [this] { form_.HistoryPage().RefreshHistoryRows(); }, &form, this);
    Recording = new TRecordingControl([this] { return ChannelNames(); }, &form, this);
    Marks = new TUnsavedMarks(
        form.ChannelPage().cbCh, [this] { return form_.State().Changed; }, this);

    acWatchInTray = new QAction(QStringLiteral("Watch in tray"), this);
    acWatchInTray->setObjectName(QStringLiteral("acWatchInTray"));
    acWatchInTray->setCheckable(true);
    SetHint(acWatchInTray, QStringLiteral("Watch in tray|Keeps polling while the window is hidden "
                                          "in the tray: needed for alarms while hidden"));

    const TWatchSettings settings = ReadWatchSettings(ini);
    Notifier->SetEnabled(settings.AlarmNotifications);
    acWatchInTray->setChecked(settings.WatchInTray);
    connect(acWatchInTray, &QAction::toggled, this,
            [this](bool on) { Guarded([this, on] { WatchInTrayToggled(on); }); });
    connect(Notifier->Action(), &QAction::toggled, this,
            [this] { Guarded([this] { form_.WriteSettingsNow(); }); });
    AddMenuItems();
}

void TWatchTools::AddMenuItems() {
    const TMainFrame& frame = form_.Frame();
    QAction* exit = frame.acExit;
    QMenu* file = frame.mnFile;
    file->insertAction(exit, HistoryTools->ExportAction());
    file->insertAction(exit, Recording->Action());
    file->insertSeparator(exit);
    file->insertAction(exit, Notifier->Action());
    file->insertAction(exit, acWatchInTray);
    file->insertSeparator(exit);

    QMenu* tray = frame.pmSystray;
    tray->insertAction(exit, acWatchInTray);
    tray->insertAction(exit, Notifier->Action());
    tray->insertSeparator(exit);

    QMenu* history = frame.pmHistory;
    history->addSeparator();
    history->addAction(HistoryTools->ExportAction());
    history->addAction(HistoryTools->ClearAction());
}

void TWatchTools::WatchInTrayToggled(bool on) {
    // Hidden in the tray right now: polling follows the item at once.
    TJvSimScope* scope = form_.HistoryPage().Scope;
    if (form_.Frame().TrayIcon != nullptr && form_.isHidden() && scope != nullptr)
        scope->SetActive(on);
    form_.WriteSettingsNow();
}

bool TWatchTools::KeepPolling() const {
    return acWatchInTray->isChecked();
}

void TWatchTools::SaveSettings(TIniFile& ini) const {
    TWatchSettings settings;
    settings.AlarmNotifications = Notifier->Enabled();
    settings.WatchInTray = acWatchInTray->isChecked();
    WriteWatchSettings(ini, settings);
}

std::array<std::string, 6> TWatchTools::ChannelNames() const {
    std::array<std::string, 6> names;
    for (size_t i = 0; i < names.size(); ++i)
        names[i] = form_.State().ChannelName[i].toStdString();
    return names;
}

void TWatchTools::CycleDone() noexcept {
    try {
        const TMainState& state = form_.State();
        TAlarmCycle alarms;
        alarms.Online = state.Online;
        alarms.Temperature = state.Temperature;
        alarms.FanSpeed = state.FanSpeed;
        alarms.Pwm = state.Pwm;
        if (state.Params != nullptr && state.Params->Active() != nullptr) {
            for (size_t c = 0; c < 6; ++c)
                alarms.Params[c] = state.Params->Active()->Channels[c];
        }
        const std::array<std::string, 6> names = ChannelNames();
        Notifier->Cycle(alarms, names);

        TRecordedCycle row;
        row.TimeMs = NowMilliseconds();
        row.Online = state.Online;
        row.Temperature = state.Temperature;
        row.FanSpeed = state.FanSpeed;
        row.Pwm = state.Pwm;
        Recording->Cycle(row);
    } catch (...) {
        // Watching must never end a polling cycle; the next cycle tries again.
    }
}
