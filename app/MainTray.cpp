// The tray icon: minimising into the notification area stops polling, restoring polls at once.
#include <QAction>
#include <QMenu>

#include "Application.h"
#include "Main.h"
#include "desktop/TrayHost.h"  // desktop hook
#include "widgets/Jvsimscope.h"
#include "widgets/Trayicon.h"

void TMainForm::BuildTray() {
    TrayIcon = new TTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->SetIcon(QIcon(QStringLiteral(":/kelvane/tray.png")));
    TrayIcon->SetHint(QStringLiteral("Kelvane"));
    TrayIcon->SetPopupMenu(pmSystray);
    TrayIcon->SetRestoreOn(RestoreMessageFor(CurrentTrayHost()));  // desktop hook
    TrayIcon->SetPopupMenuOn(TTrayIconMessage::imRightClickUp);
    TrayIcon->SetMainWindow(this);
    TrayIcon->OnMinimize = [this](QObject*) { Guarded([this] { TrayIconMinimize(); }); };
    TrayIcon->OnRestore = [this](QObject*) { Guarded([this] { TrayIconRestore(); }); };
    TrayIcon->SetVisible(true);
    connect(pmLaunch, &QAction::triggered, this, [this] { Guarded([this] { pmLaunchClick(); }); });
}

void TMainForm::TrayIconMinimize() {
    if (Scope)
        Scope->SetActive(false);
}

void TMainForm::TrayIconRestore() {
    TimerTimer();
}

void TMainForm::pmLaunchClick() {
    TrayIcon->Restore();
}
