// The tray icon: hint rule, which mouse action restores or opens the menu, the weak menu
// reference, minimising into the tray with and without a tray.
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "Trayicon.h"

namespace {

using M = TTrayIconMessage;
using R = QSystemTrayIcon::ActivationReason;

QIcon SomeIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::blue);
    return QIcon(pixmap);
}

// A tray icon with a main window and a menu, counting restores and menu pop-ups.
struct Rig {
    QWidget window;
    QMenu menu;
    TTrayIcon tray;
    bool trayAvailable = true;
    int restores = 0;
    int minimizes = 0;
    int menus = 0;
    Rig() {
        tray.SetIcon(SomeIcon());
        tray.SetTrayAvailableProbe([this] { return trayAvailable; });
        tray.SetMainWindow(&window);
        tray.SetPopupMenu(&menu);
        tray.OnRestore = [this](QObject* sender) {
            QCOMPARE(sender, &tray);
            ++restores;
        };
        tray.OnMinimize = [this](QObject* sender) {
            QCOMPARE(sender, &tray);
            ++minimizes;
        };
        menu.addAction(QStringLiteral("Launch"));
        QObject::connect(&menu, &QMenu::aboutToShow, [this] { ++menus; });
    }
    void Activate(R reason) {
        tray.HandleActivation(reason);
        menu.hide();
    }
};

}  // namespace

class TrayIconTest : public QObject {
    Q_OBJECT

private slots:
    void defaults();
    void hintRule();
    void visibleShowsIcon();
    void dispatch_data();
    void dispatch();
    void clickStepRunsBeforeMouseUp();
    void popupMenuClearedWhenMenuDestroyed();
    void minimiseIntoTray();
    void minimiseWithoutTrayStaysOnTaskBar();
    void trayGoneWhileHiddenShowsWindow();
    void minimiseWithHiddenIconStaysOnTaskBar();
    void restoreFiresAfterShowing();
    void doubleClickRestoresOnce();
    void showingByOtherCodeCountsAsRestore();
    void mainWindowDestroyedFirst();
    void endSessionRemovesIcon();
};

void TrayIconTest::defaults() {
    TTrayIcon tray;
    QVERIFY(!tray.Visible());
    QVERIFY(tray.Hint().isEmpty());
    QVERIFY(tray.PopupMenu() == nullptr);
    QVERIFY(tray.Hide());
    QCOMPARE(tray.RestoreOn(), M::imDoubleClick);
    QCOMPARE(tray.PopupMenuOn(), M::imNone);
    QVERIFY(!tray.SystemTrayIcon()->isVisible());
    // No menu: showing it does nothing.
    tray.ShowMenu();
    tray.SetPopupMenuOn(M::imRightClickUp);
    tray.HandleActivation(R::Context);
}

void TrayIconTest::hintRule() {
    TTrayIcon tray;
    tray.SetHint(QStringLiteral("Kelvane"));
    QCOMPARE(tray.Hint(), QStringLiteral("Kelvane"));
    QCOMPARE(tray.SystemTrayIcon()->toolTip(), QStringLiteral("Kelvane"));
    const QString longest(63, QLatin1Char('x'));
    tray.SetHint(longest);
    QCOMPARE(tray.SystemTrayIcon()->toolTip(), longest);
    tray.SetHint(QString(64, QLatin1Char('y')));
    tray.SetHint(QString(200, QLatin1Char('z')));
    QCOMPARE(tray.Hint(), longest);
    QCOMPARE(tray.SystemTrayIcon()->toolTip(), longest);
    tray.SetHint(QString());
    QCOMPARE(tray.SystemTrayIcon()->toolTip(), QString());
}

void TrayIconTest::visibleShowsIcon() {
    TTrayIcon tray;
    tray.SetIcon(SomeIcon());
    tray.SetVisible(true);
    QVERIFY(tray.Visible());
    QVERIFY(tray.Hide());
    QVERIFY(tray.SystemTrayIcon()->isVisible());
    QVERIFY(tray.SystemTrayIcon()->contextMenu() == nullptr);
    tray.SetVisible(false);
    QVERIFY(!tray.Visible());
    QVERIFY(!tray.Hide());
    QVERIFY(!tray.SystemTrayIcon()->isVisible());
}

void TrayIconTest::dispatch_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("withOnClick");
    QTest::addColumn<bool>("acts");
    struct Row {
        const char* name;
        M mode;
        R reason;
        bool onClick;
        bool acts;
    };
    const Row rows[] = {
        {"double click: double click", M::imDoubleClick, R::DoubleClick, false, true},
        {"double click: left click", M::imDoubleClick, R::Trigger, false, false},
        {"double click: right click", M::imDoubleClick, R::Context, false, false},
        {"left double: double click", M::imLeftDoubleClick, R::DoubleClick, false, true},
        {"left double: left click", M::imLeftDoubleClick, R::Trigger, false, false},
        {"right double: double click (left)", M::imRightDoubleClick, R::DoubleClick, false, false},
        {"click: left click without OnClick", M::imClick, R::Trigger, false, false},
        {"click: left click with OnClick", M::imClick, R::Trigger, true, true},
        {"click: right click with OnClick", M::imClick, R::Context, true, false},
        {"left up: left click", M::imLeftClickUp, R::Trigger, false, true},
        {"left up: right click", M::imLeftClickUp, R::Context, false, false},
        {"left up: middle click", M::imLeftClickUp, R::MiddleClick, false, false},
        {"right up: right click", M::imRightClickUp, R::Context, false, true},
        {"right up: left click", M::imRightClickUp, R::Trigger, true, false},
        {"right up: double click", M::imRightClickUp, R::DoubleClick, false, false},
        {"down: left click", M::imMouseDown, R::Trigger, false, true},
        {"down: right click", M::imMouseDown, R::Context, false, true},
        {"down: middle click", M::imMouseDown, R::MiddleClick, false, true},
        {"down: double click", M::imMouseDown, R::DoubleClick, false, false},
        {"up: middle click", M::imMouseUp, R::MiddleClick, false, true},
        {"up: right click", M::imMouseUp, R::Context, false, true},
        {"none: left click", M::imNone, R::Trigger, true, false},
        {"none: right click", M::imNone, R::Context, false, false},
        {"none: double click", M::imNone, R::DoubleClick, false, false},
        {"none: middle click", M::imNone, R::MiddleClick, false, false},
        {"any: unknown", M::imDoubleClick, R::Unknown, false, false},
    };
    for (const Row& row : rows) {
        QTest::newRow(row.name) << int(row.mode) << int(row.reason) << row.onClick << row.acts;
    }
}

void TrayIconTest::dispatch() {
    QFETCH(int, mode);
    QFETCH(int, reason);
    QFETCH(bool, withOnClick);
    QFETCH(bool, acts);
    // The same table holds for restoring and for opening the menu.
    for (bool menuMode : {false, true}) {
        Rig rig;
        rig.tray.SetVisible(true);
        rig.tray.SetRestoreOn(menuMode ? M::imNone : static_cast<M>(mode));
        rig.tray.SetPopupMenuOn(menuMode ? static_cast<M>(mode) : M::imNone);
        int clicks = 0;
        if (withOnClick) {
            rig.tray.OnClick = [&](QObject*) { ++clicks; };
        }
        rig.Activate(static_cast<R>(reason));
        QCOMPARE(rig.restores, !menuMode && acts ? 1 : 0);
        QCOMPARE(rig.menus, menuMode && acts ? 1 : 0);
        QCOMPARE(clicks, withOnClick && static_cast<R>(reason) == R::Trigger ? 1 : 0);
    }
}

void TrayIconTest::clickStepRunsBeforeMouseUp() {
    Rig rig;
    QStringList order;
    rig.tray.OnMouseDown = [&](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers,
                               const QPoint&) { order << QStringLiteral("down %1").arg(button); };
    rig.tray.OnMouseUp = [&](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers,
                             const QPoint&) { order << QStringLiteral("up %1").arg(button); };
    rig.tray.OnClick = [&](QObject*) { order << QStringLiteral("click"); };
    rig.tray.OnDblClick = [&](QObject*) { order << QStringLiteral("double"); };
    rig.Activate(R::Trigger);
    rig.Activate(R::Context);
    rig.Activate(R::DoubleClick);
    QCOMPARE(order, (QStringList{"down 1", "click", "up 1", "down 2", "up 2", "double"}));
}

void TrayIconTest::popupMenuClearedWhenMenuDestroyed() {
    TTrayIcon tray;
    auto menu = std::make_unique<QMenu>();
    tray.SetPopupMenu(menu.get());
    QCOMPARE(tray.PopupMenu(), menu.get());
    menu.reset();
    QVERIFY(tray.PopupMenu() == nullptr);
    tray.SetPopupMenuOn(M::imRightClickUp);
    tray.HandleActivation(R::Context);  // nothing to show, nothing breaks
}

void TrayIconTest::minimiseIntoTray() {
    Rig rig;
    rig.tray.SetVisible(true);
    rig.window.show();
    rig.window.showMinimized();
    QTRY_COMPARE(rig.minimizes, 1);
    QVERIFY(!rig.window.isVisible());
    QCOMPARE(rig.restores, 0);
    rig.tray.Restore();
    QVERIFY(rig.window.isVisible());
    QVERIFY(!(rig.window.windowState() & Qt::WindowMinimized));
    QCOMPARE(rig.restores, 1);
    QCOMPARE(rig.minimizes, 1);
    // Minimise again: into the tray again.
    rig.window.showMinimized();
    QTRY_COMPARE(rig.minimizes, 2);
    QVERIFY(!rig.window.isVisible());
}

void TrayIconTest::trayGoneWhileHiddenShowsWindow() {
    Rig rig;
    rig.tray.SetTrayCheckInterval(20);
    rig.tray.SetVisible(true);
    rig.window.show();
    rig.window.showMinimized();
    QTRY_COMPARE(rig.minimizes, 1);
    QVERIFY(rig.tray.InTray());
    // While the tray is there the window stays in it.
    QTest::qWait(100);
    QVERIFY(!rig.window.isVisible());
    QCOMPARE(rig.restores, 0);
    // The tray host ends: the window would have no way back, so it comes back by itself.
    rig.trayAvailable = false;
    QTRY_VERIFY(rig.window.isVisible());
    QCOMPARE(rig.restores, 1);
    QVERIFY(!rig.tray.InTray());
    QVERIFY(!(rig.window.windowState() & Qt::WindowMinimized));
    // Shown, the tray is not looked for.
    rig.trayAvailable = true;
    QTest::qWait(100);
    QCOMPARE(rig.restores, 1);
}

void TrayIconTest::minimiseWithoutTrayStaysOnTaskBar() {
    Rig rig;
    rig.trayAvailable = false;
    rig.tray.SetVisible(true);
    rig.window.show();
    rig.window.showMinimized();
    QCoreApplication::processEvents();
    QCOMPARE(rig.minimizes, 0);
    QVERIFY(rig.window.isVisible());
    QVERIFY(rig.window.windowState() & Qt::WindowMinimized);
    // Also a direct call never hides the window with no way back.
    rig.tray.Minimize();
    QCOMPARE(rig.minimizes, 0);
    QVERIFY(rig.window.isVisible());
    // Restoring from the task bar is the window's own business: no tray restore.
    rig.window.showNormal();
    QCOMPARE(rig.restores, 0);
}

void TrayIconTest::minimiseWithHiddenIconStaysOnTaskBar() {
    Rig rig;
    rig.window.show();
    rig.window.showMinimized();
    QCoreApplication::processEvents();
    QCOMPARE(rig.minimizes, 0);
    QVERIFY(rig.window.isVisible());
}

void TrayIconTest::restoreFiresAfterShowing() {
    Rig rig;
    rig.tray.SetVisible(true);
    rig.window.show();
    rig.window.showMinimized();
    QTRY_COMPARE(rig.minimizes, 1);
    bool visibleAtRestore = false;
    bool minimizedAtRestore = true;
    rig.tray.OnRestore = [&](QObject*) {
        visibleAtRestore = rig.window.isVisible();
        minimizedAtRestore = rig.window.windowState() & Qt::WindowMinimized;
    };
    rig.tray.Restore();
    QVERIFY(visibleAtRestore);
    QVERIFY(!minimizedAtRestore);
}

void TrayIconTest::doubleClickRestoresOnce() {
    // The main window's settings: double click restores, right button opens the menu.
    Rig rig;
    rig.tray.SetVisible(true);
    rig.tray.SetPopupMenuOn(M::imRightClickUp);
    rig.window.show();
    rig.window.showMinimized();
    QTRY_VERIFY(!rig.window.isVisible());
    rig.Activate(R::Trigger);  // a single left click does nothing
    QVERIFY(!rig.window.isVisible());
    QCOMPARE(rig.menus, 0);
    rig.Activate(R::Context);
    QCOMPARE(rig.menus, 1);
    QCOMPARE(rig.restores, 0);
    rig.Activate(R::DoubleClick);
    QVERIFY(rig.window.isVisible());
    QCOMPARE(rig.restores, 1);
}

void TrayIconTest::showingByOtherCodeCountsAsRestore() {
    Rig rig;
    rig.tray.SetVisible(true);
    rig.window.show();
    rig.window.showMinimized();
    QTRY_COMPARE(rig.minimizes, 1);
    rig.window.showNormal();
    QCOMPARE(rig.restores, 1);
    QVERIFY(rig.window.isVisible());
    QVERIFY(!(rig.window.windowState() & Qt::WindowMinimized));
    // Back in the normal state: the next minimise goes into the tray again.
    QCoreApplication::processEvents();
    rig.window.showMinimized();
    QTRY_COMPARE(rig.minimizes, 2);
    QCoreApplication::processEvents();
    QCOMPARE(rig.minimizes, 2);
    QCOMPARE(rig.restores, 1);
}

void TrayIconTest::mainWindowDestroyedFirst() {
    TTrayIcon tray;
    tray.SetIcon(SomeIcon());
    tray.SetVisible(true);
    tray.SetTrayAvailableProbe([] { return true; });
    int restores = 0;
    tray.OnRestore = [&](QObject*) { ++restores; };
    {
        QWidget window;
        tray.SetMainWindow(&window);
    }
    QVERIFY(tray.MainWindow() == nullptr);
    tray.Restore();
    tray.Minimize();
    QCOMPARE(restores, 1);
}

void TrayIconTest::endSessionRemovesIcon() {
    TTrayIcon tray;
    tray.SetIcon(SomeIcon());
    tray.SetVisible(true);
    QVERIFY(tray.SystemTrayIcon()->isVisible());
    tray.EndSession();
    QVERIFY(!tray.SystemTrayIcon()->isVisible());
}

QTEST_MAIN(TrayIconTest)
#include "TrayIconTest.moc"
