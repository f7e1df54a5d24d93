// The program's icon in the desktop's notification area (system tray): tooltip, popup menu,
// minimising the main window into the tray and restoring it from there.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>

#include "WidgetEvents.h"

class QWidget;

// Mouse action on the icon that restores the program or opens the menu.
enum class TTrayIconMessage {
    imClick,             // left button released, while an OnClick handler is assigned
    imDoubleClick,       // double click
    imMouseDown,         // any button pressed
    imMouseUp,           // any button released
    imLeftClickUp,       // left button released
    imLeftDoubleClick,   // left double click
    imRightClickUp,      // right button released
    imRightDoubleClick,  // right double click
    imNone,              // never
};

class TTrayIcon : public QObject {
    Q_OBJECT

public:
    // Button, keyboard modifiers at the time of the event, cursor position.
    using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                           Qt::KeyboardModifiers shift, const QPoint& pos)>;

    // Invisible, empty hint, no menu, RestoreOn imDoubleClick, PopupMenuOn imNone, the
    // application's icon.
    explicit TTrayIcon(QObject* parent = nullptr);
    ~TTrayIcon() override;

    // Puts the icon into the notification area or takes it out. Qt reports no failure of either,
    // so neither raises.
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    // The tooltip, at most 63 characters: a hint equal to the current one or of 64 characters or
    // more is ignored.
    QString Hint() const { return hint_; }
    void SetHint(const QString& value);

    // The menu shown from the icon; cleared by itself when the menu is destroyed. The icon never
    // hands it to Qt as a context menu: ShowMenu shows it when PopupMenuOn says so.
    QMenu* PopupMenu() const { return popupMenu_.data(); }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // True while the icon is in the notification area (set on showing, cleared on hiding).
    bool Hide() const { return hide_; }
    void SetHide(bool value) { hide_ = value; }

    TTrayIconMessage RestoreOn() const { return restoreOn_; }
    void SetRestoreOn(TTrayIconMessage value) { restoreOn_ = value; }
    TTrayIconMessage PopupMenuOn() const { return popupMenuOn_; }
    void SetPopupMenuOn(TTrayIconMessage value) { popupMenuOn_ = value; }

    QIcon Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);
    // Shows the application's window icon.
    void SetDefaultIcon();
    // Hands the current icon and hint to the notification area.
    void Update();

    // The window that minimises into the tray. Its minimise goes into the tray (Minimize, run
    // from the event loop right after the minimise) while the icon is visible and the desktop
    // has a tray; without a tray it stays minimised on the task bar as usual. Held weakly.
    void SetMainWindow(QWidget* window);
    QWidget* MainWindow() const { return mainWindow_.data(); }

    // Hides the main window and its task-bar entry, then OnMinimize. Does nothing while the icon
    // is not visible or there is no tray: a window is never hidden with no way back. While the
    // window is in the tray, the tray is looked for every TrayCheckInterval milliseconds; when
    // it has gone (its host ended), the window is restored.
    void Minimize();
    // True while the main window is hidden in the tray.
    bool InTray() const { return inTray_; }
    int TrayCheckInterval() const;
    void SetTrayCheckInterval(int milliseconds);
    // Shows the main window normally, raises and activates it, then OnRestore.
    void Restore();
    // Pops the menu up at the cursor; nothing when there is no menu.
    void ShowMenu();
    // Removes the icon when the desktop session ends.
    void EndSession();

    // One activation of the icon as Qt reports it, mapped onto the mouse rules: Trigger is a
    // left click, Context a right click, MiddleClick a middle click (each a press and a
    // release), DoubleClick a left double click.
    void HandleActivation(QSystemTrayIcon::ActivationReason reason);

    // Whether the desktop has a notification area; QSystemTrayIcon's answer unless replaced.
    void SetTrayAvailableProbe(std::function<bool()> probe) { trayAvailable_ = std::move(probe); }
    bool TrayAvailable() const { return trayAvailable_ ? trayAvailable_() : false; }

    // The Qt icon underneath (for its geometry or messages).
    QSystemTrayIcon* SystemTrayIcon() const { return trayIcon_; }

    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Restores and/or shows the menu when the mode of each is `message`.
    void ActOn(TTrayIconMessage message);
    void DoClick();
    void DoDblClick();
    void DoMouseDown(Qt::MouseButton button);
    void DoMouseUp(Qt::MouseButton button);
    void ButtonUp(Qt::MouseButton button);
    void CheckTrayStillThere();

    QSystemTrayIcon* trayIcon_;
    QTimer* trayCheck_;
    QPointer<QMenu> popupMenu_;
    QPointer<QWidget> mainWindow_;
    std::function<bool()> trayAvailable_;
    QIcon icon_;
    QString hint_;
    bool visible_ = false;
    bool hide_ = true;
    bool inTray_ = false;
    bool minimizePending_ = false;
    TTrayIconMessage restoreOn_ = TTrayIconMessage::imDoubleClick;
    TTrayIconMessage popupMenuOn_ = TTrayIconMessage::imNone;
};
