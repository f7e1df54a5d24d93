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
#include "Main.h"
#include "RecordingControl.h"
#include "TrayToolTip.h"
#include "UnsavedMarks.h"
#include "core/LocalTime.h"
#include "core/Params.h"
#include "core/WatchSettings.h"
#include "widgets/Jvsimscope.h"
#include "widgets/Trayicon.h"

TWatchTools::TWatchTools(TMainForm& form) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("WatchTools"));
    Notifier = new TAlarmNotifier(form.TrayIcon, this);
    new TTrayToolTip(form.TrayIcon, this);
    HistoryTools =
        new THistoryTools([this] { return form_.History.get(); }, [this] { return ChannelNames(); },
                          [this] { form_.RefreshHistoryRows(); }, &form, this);
    Recording = new TRecordingControl([this] { return ChannelNames(); }, &form, this);
    Marks = new TUnsavedMarks(
        form.cbCh, [this] { return form_.Changed; }, this);

    acWatchInTray = new QAction(QStringLiteral("Watch in tray"), this);
    acWatchInTray->setObjectName(QStringLiteral("acWatchInTray"));
    acWatchInTray->setCheckable(true);
    SetHint(acWatchInTray, QStringLiteral("Watch in tray|Keeps polling while the window is hidden "
                                          "in the tray: needed for alarms while hidden"));

    if (form.IniFile) {
        const TWatchSettings settings = ReadWatchSettings(*form.IniFile);
        Notifier->SetEnabled(settings.AlarmNotifications);
        acWatchInTray->setChecked(settings.WatchInTray);
    }
    connect(acWatchInTray, &QAction::toggled, this,
            [this](bool on) { Guarded([this, on] { WatchInTrayToggled(on); }); });
    connect(Notifier->Action(), &QAction::toggled, this,
            [this] { Guarded([this] { form_.WriteSettingsNow(); }); });
    AddMenuItems();
}

void TWatchTools::AddMenuItems() {
    QMenu* file = form_.mnFile;
    file->insertAction(form_.acExit, HistoryTools->ExportAction());
    file->insertAction(form_.acExit, Recording->Action());
    file->insertSeparator(form_.acExit);
    file->insertAction(form_.acExit, Notifier->Action());
    file->insertAction(form_.acExit, acWatchInTray);
    file->insertSeparator(form_.acExit);

    QMenu* tray = form_.pmSystray;
    tray->insertAction(form_.acExit, acWatchInTray);
    tray->insertAction(form_.acExit, Notifier->Action());
    tray->insertSeparator(form_.acExit);

    QMenu* history = form_.pmHistory;
    history->addSeparator();
    history->addAction(HistoryTools->ExportAction());
    history->addAction(HistoryTools->ClearAction());
}

void TWatchTools::WatchInTrayToggled(bool on) {
    // Hidden in the tray right now: polling follows the item at once.
    if (form_.TrayIcon != nullptr && form_.isHidden() && form_.Scope)
        form_.Scope->SetActive(on);
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
        names[i] = form_.ChannelName[i].toStdString();
    return names;
}

void TWatchTools::CycleDone() noexcept {
    try {
        TAlarmCycle alarms;
        alarms.Online = form_.Online;
        alarms.Temperature = form_.Temperature;
        alarms.FanSpeed = form_.FanSpeed;
        alarms.Pwm = form_.Pwm;
        if (form_.Params != nullptr && form_.Params->Active() != nullptr) {
            for (size_t c = 0; c < 6; ++c)
                alarms.Params[c] = form_.Params->Active()->Channels[c];
        }
        const std::array<std::string, 6> names = ChannelNames();
        Notifier->Cycle(alarms, names);

        TRecordedCycle row;
        row.TimeMs = NowMilliseconds();
        row.Online = form_.Online;
        row.Temperature = form_.Temperature;
        row.FanSpeed = form_.FanSpeed;
        row.Pwm = form_.Pwm;
        Recording->Cycle(row);
    } catch (...) {
        // Watching must never end a polling cycle; the next cycle tries again.
    }
}
