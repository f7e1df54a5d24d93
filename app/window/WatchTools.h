// Watching the machine from the main window: alarm notifications with the tray's alarm mark,
// "Watch in tray", history export and clearing, the recording log and the unsaved-change marks.
// The window owns one TWatchTools; it puts its items into the window's menus itself and needs
// only three calls from the window: CycleDone at the end of every polling cycle, KeepPolling
// when the window goes into the tray, and SaveSettings when the window saves its settings.
#pragma once

#include <QObject>
#include <array>
#include <string>

class QAction;
class TAlarmNotifier;
class THistoryTools;
class TIniFile;
class TMainForm;
class TRecordingControl;
class TUnsavedMarks;

class TWatchTools : public QObject {
    Q_OBJECT
public:
    // Builds the pieces over the window's tray icon, history and channel list, adds the menu
    // items and reads its settings from `ini` (the window's settings object).
    TWatchTools(TMainForm& form, const TIniFile& ini);

    // The end of a polling cycle: alarm episodes and the recording's row. Never throws; a
    // recording that fails stops itself.
    void CycleDone() noexcept;
    // Whether polling goes on while the window is hidden in the tray ("Watch in tray").
    bool KeepPolling() const;
    // Stores the settings that differ from their defaults (or were stored before).
    void SaveSettings(TIniFile& ini) const;

    // The channel names as UTF-8.
    std::array<std::string, 6> ChannelNames() const;

    TAlarmNotifier* Notifier = nullptr;
    THistoryTools* HistoryTools = nullptr;
    TRecordingControl* Recording = nullptr;
    TUnsavedMarks* Marks = nullptr;
    QAction* acWatchInTray = nullptr;

private:
    void AddMenuItems();
    void WatchInTrayToggled(bool on);

    TMainForm& form_;
};
