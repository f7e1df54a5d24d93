// Lets the tray icon's tooltip through. The window shows hints in its status bar and swallows
// every other tooltip of the application; on desktops where the tray icon is a window of the
// program itself (XEmbed trays) that also swallowed the icon's tooltip, which names the
// channels in alarm.
#pragma once

#include <QObject>
#include <QPointer>

class TTrayIcon;

class TTrayToolTip : public QObject {
    Q_OBJECT
public:
    // Filters the application's events from now on; filters installed later run first, so this
    // comes before the window's own tooltip filter.
    TTrayToolTip(TTrayIcon* trayIcon, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TTrayIcon> trayIcon_;
};
