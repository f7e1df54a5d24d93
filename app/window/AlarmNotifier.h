// Alarm notifications through the tray icon: one desktop message per alarm episode, a red mark
// on the icon while any alarm is active and a tooltip that lists the channels in alarm.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <string>

#include "core/AlarmTracker.h"

class QAction;
class TTrayIcon;

class TAlarmNotifier : public QObject {
    Q_OBJECT
public:
    // Marks and messages go to `trayIcon`; its icon and hint now are what it shows without
    // alarms.
    TAlarmNotifier(TTrayIcon* trayIcon, QObject* parent);

    // The checkable menu item "Alarm notifications": when off, no messages are shown (the mark
    // and the tooltip still follow the alarms).
    QAction* Action() const { return action_; }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // One polling cycle: moves the episodes on, shows one message for the episodes that began
    // and updates the mark and the tooltip. `names` are the channel names (UTF-8).
    void Cycle(const TAlarmCycle& cycle, const std::array<std::string, 6>& names);

    const TAlarmTracker& Tracker() const { return tracker_; }
    // The icon with the red mark (for tests and screenshots).
    QIcon MarkedIcon() const { return markedIcon_; }
    bool Marked() const { return marked_; }

signals:
    // A message went to the tray (also sent when the desktop has no tray to show it).
    void Notified(const QString& title, const QString& text);

private:
    void ShowMark(bool marked, const QString& tooltip);

    QPointer<TTrayIcon> trayIcon_;
    QAction* action_;
    TAlarmTracker tracker_;
    QIcon plainIcon_;
    QIcon markedIcon_;
    QString plainHint_;
    bool marked_ = false;
};
