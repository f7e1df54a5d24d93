// The notification-area icon: its activation rules, the menu, and minimising the main window
// into the tray and back.
#include "Trayicon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>
#include <QWindowStateChangeEvent>

TTrayIcon::TTrayIcon(QObject* parent)
    : QObject(parent),
      trayIcon_(new QSystemTrayIcon(this)),
      trayCheck_(new QTimer(this)),
      trayAvailable_(&QSystemTrayIcon::isSystemTrayAvailable) {
    connect(trayIcon_, &QSystemTrayIcon::activated, this, &TTrayIcon::HandleActivation);
    // Qt tells nothing when the tray host goes away; while the window sits in the tray, a look
    // every two seconds finds out (no cost while the window is shown).
    trayCheck_->setInterval(2000);
    connect(trayCheck_, &QTimer::timeout, this, &TTrayIcon::CheckTrayStillThere);
    // The icon leaves the notification area as the program ends, also at the end of the
    // desktop session, which closes the main window and quits the application.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, &TTrayIcon::EndSession);
    }
    SetDefaultIcon();
}

TTrayIcon::~TTrayIcon() {
    if (QWidget* window = mainWindow_) {
        window->removeEventFilter(this);
    }
    trayIcon_->hide();
}

void TTrayIcon::SetVisible(bool value) {
    visible_ = value;
    // QSystemTrayIcon reports no failure of showing or hiding the icon, so the two "Cannot ...
    // System Shell Notification Icon" errors have nothing to be raised from.
    trayIcon_->setVisible(value);
    hide_ = value;
}

void TTrayIcon::SetHint(const QString& value) {
    if (value == hint_ || value.size() >= 64) {
        return;
    }
    hint_ = value;
    Update();
}

void TTrayIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    Update();
}

void TTrayIcon::SetDefaultIcon() {
    icon_ = QApplication::windowIcon();
    Update();
}

void TTrayIcon::Update() {
    trayIcon_->setIcon(icon_);
    trayIcon_->setToolTip(hint_);
}

void TTrayIcon::SetMainWindow(QWidget* window) {
    if (QWidget* old = mainWindow_) {
        old->removeEventFilter(this);
    }
    mainWindow_ = window;
    inTray_ = false;
    if (window != nullptr) {
        window->installEventFilter(this);
    }
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    QWidget* window = mainWindow_;
    if (window != nullptr && watched == window && event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool wasMinimized = (change->oldState() & Qt::WindowMinimized) != 0;
        const bool isMinimized = (window->windowState() & Qt::WindowMinimized) != 0;
        // Platforms echo state changes, also for a window that is hidden in the tray; only a
        // visible window goes into the tray.
        if (isMinimized && !wasMinimized) {
            if (window->isVisible() && !inTray_ && !minimizePending_) {
                // Hide once the minimise has run its course: code that minimises the window with
                // showMinimized() makes it visible again right after this event.
                minimizePending_ = true;
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        minimizePending_ = false;
                        QWidget* current = mainWindow_;
                        if (current != nullptr && !inTray_ && current->isVisible() &&
                            (current->windowState() & Qt::WindowMinimized) != 0) {
                            Minimize();
                        }
                    },
                    Qt::QueuedConnection);
            }
        }
    } else if (window != nullptr && watched == window && event->type() == QEvent::Show &&
               !event->spontaneous() && inTray_) {
        // Shown again by the program other than through Restore (which leaves the tray first):
        // still a restore, so whatever OnMinimize stopped starts again. The platform's own
        // (spontaneous) show events are echoes and do not count.
        Restore();
    }
    // The window's own handling of the event goes on in every case.
    return false;
}

void TTrayIcon::Minimize() {
    if (!visible_ || !TrayAvailable()) {
        return;
    }
    inTray_ = true;
    trayCheck_->start();
    if (QWidget* window = mainWindow_) {
        // A window that was never shown (a start in the tray) is only kept hidden: marked
        // minimised before its first mapping, a window manager may take the mark for the
        // window's own and minimise it again right after Restore shows it.
        if (window->isVisible() && (window->windowState() & Qt::WindowMinimized) == 0) {
            window->setWindowState(window->windowState() | Qt::WindowMinimized);
        }
        window->hide();
    }
    if (OnMinimize) {
        OnMinimize(this);
    }
}

void TTrayIcon::Restore() {
    inTray_ = false;
    trayCheck_->stop();
    if (QWidget* window = mainWindow_) {
        window->showNormal();
        window->raise();
        window->activateWindow();
    }
    if (OnRestore) {
        OnRestore(this);
    }
}

int TTrayIcon::TrayCheckInterval() const {
    return trayCheck_->interval();
}

void TTrayIcon::SetTrayCheckInterval(int milliseconds) {
    trayCheck_->setInterval(milliseconds);
}

void TTrayIcon::CheckTrayStillThere() {
    if (!inTray_) {
        trayCheck_->stop();
        return;
    }
    // The window would be stranded: hidden, with no icon to bring it back.
    if (!TrayAvailable()) {
        Restore();
    }
}

void TTrayIcon::ShowMenu() {
    QMenu* menu = popupMenu_;
    if (menu == nullptr) {
        return;
    }
    const QPoint pos = QCursor::pos();
    if (QWidget* active = QApplication::activeWindow()) {
        active->activateWindow();
    }
    menu->popup(pos);
}

void TTrayIcon::EndSession() {
    trayIcon_->hide();
}

void TTrayIcon::ActOn(TTrayIconMessage message) {
    if (message == TTrayIconMessage::imNone) {
        return;
    }
    if (restoreOn_ == message) {
        Restore();
    }
    if (popupMenuOn_ == message) {
        ShowMenu();
    }
}

void TTrayIcon::DoClick() {
    ActOn(TTrayIconMessage::imClick);
    if (OnClick) {
        OnClick(this);
    }
}

void TTrayIcon::DoDblClick() {
    ActOn(TTrayIconMessage::imDoubleClick);
    if (OnDblClick) {
        OnDblClick(this);
    }
}

void TTrayIcon::DoMouseDown(Qt::MouseButton button) {
    ActOn(TTrayIconMessage::imMouseDown);
    if (OnMouseDown) {
        OnMouseDown(this, button, QGuiApplication::queryKeyboardModifiers(), QCursor::pos());
    }
}

void TTrayIcon::DoMouseUp(Qt::MouseButton button) {
    ActOn(TTrayIconMessage::imMouseUp);
    if (OnMouseUp) {
        OnMouseUp(this, button, QGuiApplication::queryKeyboardModifiers(), QCursor::pos());
    }
}

void TTrayIcon::ButtonUp(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            if (OnClick) {
                DoClick();
            }
            DoMouseUp(button);
            ActOn(TTrayIconMessage::imLeftClickUp);
            break;
        case Qt::RightButton:
            DoMouseUp(button);
            ActOn(TTrayIconMessage::imRightClickUp);
            break;
        default:
            DoMouseUp(button);
            break;
    }
}

void TTrayIcon::HandleActivation(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            DoMouseDown(Qt::LeftButton);
            ButtonUp(Qt::LeftButton);
            break;
        case QSystemTrayIcon::Context:
            DoMouseDown(Qt::RightButton);
            ButtonUp(Qt::RightButton);
            break;
        case QSystemTrayIcon::MiddleClick:
            DoMouseDown(Qt::MiddleButton);
            ButtonUp(Qt::MiddleButton);
            break;
        case QSystemTrayIcon::DoubleClick:
            // Qt reports double clicks of the left button only.
            DoDblClick();
            ActOn(TTrayIconMessage::imLeftDoubleClick);
            break;
        case QSystemTrayIcon::Unknown:
            break;
    }
}
