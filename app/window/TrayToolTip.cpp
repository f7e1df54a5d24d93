// The tray icon's tooltip on XEmbed trays.
#include "TrayToolTip.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QSystemTrayIcon>
#include <QToolTip>

#include "widgets/Trayicon.h"

TTrayToolTip::TTrayToolTip(TTrayIcon* trayIcon, QObject* parent)
    : QObject(parent), trayIcon_(trayIcon) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

bool TTrayToolTip::eventFilter(QObject* watched, QEvent* event) {
    // Qt's own window for the icon in an XEmbed tray.
    if (event->type() != QEvent::ToolTip || !trayIcon_ || !watched->inherits("QSystemTrayIconSys"))
        return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), trayIcon_->SystemTrayIcon()->toolTip());
    return true;
}
