// The window frame: fixed size, bevel, page control, status bar with its three panels, main
// menu, the actions of ActionList1 and the popup menus.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include "ActionList.h"
#include "LayoutHelpers.h"
#include "Main.h"

namespace {

// Client area below the menu bar, and the status bar at its bottom.
constexpr int kClientWidth = 452;
constexpr int kClientHeight = 416;
constexpr int kStatusBarHeight = 21;

QWidget* MakePage(QTabWidget* pages, const QString& name, const QString& caption,
                  const QString& hint) {
    auto* page = new QWidget;
    page->setObjectName(name);
    SetHint(page, hint);
    pages->addTab(page, caption);
    return page;
}

QLabel* MakeStatusPanel(QStatusBar* bar, const QString& name, int width) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(2);
    if (width > 0) {
        panel->setFixedWidth(width);
        bar->addPermanentWidget(panel, 0);
    } else {
        panel->setMinimumWidth(1);
        bar->addPermanentWidget(panel, 1);
    }
    return panel;
}

}  // namespace

void TMainForm::BuildFrame() {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Kelvane"));
    setWindowIcon(QIcon(QStringLiteral(":/kelvane/icon.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(FormFont());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
    setCentralWidget(client);

    Bevel1 = new QFrame(client);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(0, 0, kClientWidth, 2);

    PageControl = new QTabWidget(client);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setGeometry(5, 5, 442, 388);
    PageControl->setUsesScrollButtons(false);
    tsCommon = MakePage(PageControl, QStringLiteral("tsCommon"), QStringLiteral("Common"),
                        QStringLiteral("Common|Displays common parameters"));
    tsChannel = MakePage(PageControl, QStringLiteral("tsChannel"), QStringLiteral("Channel"),
                         QStringLiteral("Channel|Changes channel settings"));
    tsHistory = MakePage(PageControl, QStringLiteral("tsHistory"), QStringLiteral("History"),
                         QStringLiteral("History|Shows history grahps"));
    tsPresets = MakePage(PageControl, QStringLiteral("tsPresets"), QStringLiteral("Presets"),
                         QStringLiteral("Presets|Manages presets"));
    // The tab row reports pointer moves so that its hint follows the tab under the pointer.
    PageControl->tabBar()->setMouseTracking(true);
    PageControl->tabBar()->installEventFilter(this);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setFixedHeight(kStatusBarHeight);
    setStatusBar(StatusBar);
    StatusPanels[0] = MakeStatusPanel(StatusBar, QStringLiteral("StatusPanel0"), 64);
    StatusPanels[1] = MakeStatusPanel(StatusBar, QStringLiteral("StatusPanel1"), 100);
    StatusPanels[2] = MakeStatusPanel(StatusBar, QStringLiteral("StatusPanel2"), 0);
}

void TMainForm::BuildActions() {
    ActionList1 = new TActionList(this);
    auto make = [this](const char* name, const char* category, const QString& caption,
                       const QString& hint) {
        auto* action = new TAction(QString::fromLatin1(name), QString::fromLatin1(category),
                                   caption, hint, this);
        ActionList1->Add(action);
        addAction(action);  // shortcuts work anywhere in the window
        return action;
    };
    acPresetsAdd = make("acPresetsAdd", "Presets", QStringLiteral("Add"),
                        QStringLiteral("Add preset|Adds new preset"));
    acPresetsAdd->setShortcut(QKeySequence(Qt::Key_Insert));
    acPresetsDelete = make("acPresetsDelete", "Presets", QStringLiteral("Delete"),
                           QStringLiteral("Delete preset|Deletes selected preset"));
    acPresetsDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    acPresetsActive = make("acPresetsActive", "Presets", QStringLiteral("Active"),
                           QStringLiteral("Active preset|Makes selected preset active"));
    // The first shortcut is the one menus show: "Enter". Return, the main keyboard's Enter key,
    // works alike.
    acPresetsActive->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    acPresetsEdit = make("acPresetsEdit", "Presets", QStringLiteral("Edit"),
                         QStringLiteral("Edit preset|Edits selected preset"));
    acPresetsEdit->setShortcut(QKeySequence(Qt::Key_F2));
    acHistorySettings = make("acHistorySettings", "Histrory", QStringLiteral("Settings"),
                             QStringLiteral("Settings channel|Settings channel"));
    acExit = make("acExit", "File", QStringLiteral("E&xit"),
                  QStringLiteral("Exit|Quits the application"));
    acExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    acAbout = make("acAbout", "File", QStringLiteral("About"),
                   QStringLiteral("About|About Kelvane software"));
    acAbout->setShortcut(QKeySequence(Qt::Key_F1));
    acHistoryColorChange =
        make("acHistoryColorChange", "Histrory", QStringLiteral("Color Change..."),
             QStringLiteral("Color Change...|Color Change"));
    acHistoryColorChange->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
}

void TMainForm::BuildMenus() {
    auto* mainMenu = new QMenuBar(this);
    mainMenu->setObjectName(QStringLiteral("MainMenu"));
    setMenuBar(mainMenu);
    mnFile = mainMenu->addMenu(QStringLiteral("&File"));
    mnFile->setObjectName(QStringLiteral("mnFile"));
    mnFile->addAction(acExit);
    mnHelp = mainMenu->addMenu(QStringLiteral("&Help"));
    mnHelp->setObjectName(QStringLiteral("mnHelp"));
    mnHelp->addAction(acAbout);

    pmSystray = new QMenu(this);
    pmSystray->setObjectName(QStringLiteral("pmSystray"));
    pmLaunch = pmSystray->addAction(QStringLiteral("Launch Kelvane™"));
    pmLaunch->setObjectName(QStringLiteral("pmLaunch"));
    SetHint(pmLaunch, QStringLiteral("Launch Kelvane™|Launch Kelvane™"));
    pmSystray->setDefaultAction(pmLaunch);
    pmSystray->addSeparator();
    miPresets = pmSystray->addMenu(QStringLiteral("Presets"));
    miPresets->setObjectName(QStringLiteral("miPresets"));
    SetHint(miPresets, QStringLiteral("Presets|Presets list"));
    SetHint(miPresets->menuAction(), QStringLiteral("Presets|Presets list"));
    pmSystray->addSeparator();
    pmSystray->addAction(acExit);

    pmHistory = new QMenu(this);
    pmHistory->setObjectName(QStringLiteral("pmHistory"));
    ColorChange1 = MakeActionItem(acHistoryColorChange, QStringLiteral("ColorChange1"),
                                  QStringLiteral("Change color..."),
                                  QStringLiteral("Change color|Changes graph color for selected "
                                                 "channel"),
                                  pmHistory);
    Property1 = MakeActionItem(
        acHistorySettings, QStringLiteral("Property1"), QStringLiteral("Channel settings"),
        QStringLiteral("Channel settings|Changes channel settings"), pmHistory);
    pmHistory->addAction(ColorChange1);
    pmHistory->addAction(Property1);
    pmHistory->setDefaultAction(ColorChange1);

    pmPresets = new QMenu(this);
    pmPresets->setObjectName(QStringLiteral("pmPresets"));
    pmPresets->addAction(acPresetsAdd);
    pmPresets->addAction(acPresetsEdit);
    pmPresets->addAction(acPresetsActive);
    pmPresets->addSeparator();
    pmPresets->addAction(acPresetsDelete);

    for (QMenu* menu : {mnFile, mnHelp, pmSystray, miPresets, pmHistory, pmPresets})
        menu->setFont(FormFont());
}

void TMainForm::FixWindowSize() {
    const int menuHeight = menuBar()->sizeHint().height();
    setFixedSize(kClientWidth, menuHeight + kClientHeight);
}
