// The window frame: fixed size, bevel, page control with the four pages, status bar with its
// three panels, main menu, the actions of ActionList1, the popup menus, and the connections of
// the frame's controls and actions.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

#include "ActionList.h"
#include "Application.h"
#include "LayoutHelpers.h"
#include "MainForm.h"
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/HistoryPage.h"
#include "pages/PresetsPage.h"

namespace {

// Client area below the menu bar, and the status bar at its bottom.
constexpr int kClientWidth = 452;
constexpr int kClientHeight = 416;
constexpr int kStatusBarHeight = 21;

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

    frame_.Bevel1 = new QFrame(client);
    frame_.Bevel1->setObjectName(QStringLiteral("Bevel1"));
    frame_.Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    frame_.Bevel1->setGeometry(0, 0, kClientWidth, 2);

    frame_.PageControl = new QTabWidget(client);
    frame_.PageControl->setObjectName(QStringLiteral("PageControl"));
    frame_.PageControl->setGeometry(5, 5, 442, 388);
    frame_.PageControl->setUsesScrollButtons(false);
    commonPage_ = new TCommonPage(*this, frame_.PageControl);
    frame_.PageControl->addTab(commonPage_, QStringLiteral("Common"));
    channelPage_ = new TChannelPage(*this, frame_.PageControl);
    frame_.PageControl->addTab(channelPage_, QStringLiteral("Channel"));
    historyPage_ = new THistoryPage(*this, frame_.acHistoryColorChange, frame_.acHistorySettings,
                                    frame_.PageControl);
    frame_.PageControl->addTab(historyPage_, QStringLiteral("History"));
    presetsPage_ = new TPresetsPage(*this,
                                    TPresetsActions{frame_.acPresetsAdd, frame_.acPresetsEdit,
                                                    frame_.acPresetsActive, frame_.acPresetsDelete},
                                    frame_.PageControl);
    frame_.PageControl->addTab(presetsPage_, QStringLiteral("Presets"));
    frame_.tsCommon = commonPage_;
    frame_.tsChannel = channelPage_;
    frame_.tsHistory = historyPage_;
    frame_.tsPresets = presetsPage_;
    // The tab row reports pointer moves so that its hint follows the tab under the pointer.
    frame_.PageControl->tabBar()->setMouseTracking(true);
    frame_.PageControl->tabBar()->installEventFilter(this);

    frame_.StatusBar = new QStatusBar(this);
    frame_.StatusBar->setObjectName(QStringLiteral("StatusBar"));
    frame_.StatusBar->setSizeGripEnabled(false);
    frame_.StatusBar->setFixedHeight(kStatusBarHeight);
    setStatusBar(frame_.StatusBar);
    frame_.StatusPanels[0] = MakeStatusPanel(frame_.StatusBar, QStringLiteral("StatusPanel0"), 64);
    frame_.StatusPanels[1] = MakeStatusPanel(frame_.StatusBar, QStringLiteral("StatusPanel1"), 100);
    frame_.StatusPanels[2] = MakeStatusPanel(frame_.StatusBar, QStringLiteral("StatusPanel2"), 0);
}

void TMainForm::BuildActions() {
    frame_.ActionList1 = new TActionList(this);
    auto make = [this](const char* name, const char* category, const QString& caption,
                       const QString& hint) {
        auto* action = new TAction(QString::fromLatin1(name), QString::fromLatin1(category),
                                   caption, hint, this);
        frame_.ActionList1->Add(action);
        addAction(action);  // shortcuts work anywhere in the window
        return action;
    };
    frame_.acPresetsAdd = make("acPresetsAdd", "Presets", QStringLiteral("Add"),
                               QStringLiteral("Add preset|Adds new preset"));
    frame_.acPresetsAdd->setShortcut(QKeySequence(Qt::Key_Insert));
    frame_.acPresetsDelete = make("acPresetsDelete", "Presets", QStringLiteral("Delete"),
                                  QStringLiteral("Delete preset|Deletes selected preset"));
    frame_.acPresetsDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    frame_.acPresetsActive = make("acPresetsActive", "Presets", QStringLiteral("Active"),
                                  QStringLiteral("Active preset|Makes selected preset active"));
    // The first shortcut is the one menus show: "Enter". Return, the main keyboard's Enter key,
    // works alike.
    frame_.acPresetsActive->setShortcuts(
        {QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    frame_.acPresetsEdit = make("acPresetsEdit", "Presets", QStringLiteral("Edit"),
                                QStringLiteral("Edit preset|Edits selected preset"));
    frame_.acPresetsEdit->setShortcut(QKeySequence(Qt::Key_F2));
    frame_.acHistorySettings = make("acHistorySettings", "Histrory", QStringLiteral("Settings"),
                                    QStringLiteral("Settings channel|Settings channel"));
    frame_.acExit = make("acExit", "File", QStringLiteral("E&xit"),
                         QStringLiteral("Exit|Quits the application"));
    frame_.acExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    frame_.acAbout = make("acAbout", "File", QStringLiteral("About"),
                          QStringLiteral("About|About Kelvane software"));
    frame_.acAbout->setShortcut(QKeySequence(Qt::Key_F1));
    frame_.acHistoryColorChange =
        make("acHistoryColorChange", "Histrory", QStringLiteral("Color Change..."),
             QStringLiteral("Color Change...|Color Change"));
    frame_.acHistoryColorChange->setShortcuts(
        {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
}

void TMainForm::BuildMenus() {
    auto* mainMenu = new QMenuBar(this);
    mainMenu->setObjectName(QStringLiteral("MainMenu"));
    setMenuBar(mainMenu);
    frame_.mnFile = mainMenu->addMenu(QStringLiteral("&File"));
    frame_.mnFile->setObjectName(QStringLiteral("mnFile"));
    frame_.mnFile->addAction(frame_.acExit);
    frame_.mnHelp = mainMenu->addMenu(QStringLiteral("&Help"));
    frame_.mnHelp->setObjectName(QStringLiteral("mnHelp"));
    frame_.mnHelp->addAction(frame_.acAbout);

    frame_.pmSystray = new QMenu(this);
    frame_.pmSystray->setObjectName(QStringLiteral("pmSystray"));
    frame_.pmLaunch = frame_.pmSystray->addAction(QStringLiteral("Launch Kelvane™"));
    frame_.pmLaunch->setObjectName(QStringLiteral("pmLaunch"));
    SetHint(frame_.pmLaunch, QStringLiteral("Launch Kelvane™|Launch Kelvane™"));
    frame_.pmSystray->setDefaultAction(frame_.pmLaunch);
    frame_.pmSystray->addSeparator();
    frame_.miPresets = frame_.pmSystray->addMenu(QStringLiteral("Presets"));
    frame_.miPresets->setObjectName(QStringLiteral("miPresets"));
    SetHint(frame_.miPresets, QStringLiteral("Presets|Presets list"));
    SetHint(frame_.miPresets->menuAction(), QStringLiteral("Presets|Presets list"));
    frame_.pmSystray->addSeparator();
    frame_.pmSystray->addAction(frame_.acExit);

    frame_.pmHistory = new QMenu(this);
    frame_.pmHistory->setObjectName(QStringLiteral("pmHistory"));
    frame_.ColorChange1 =
        MakeActionItem(frame_.acHistoryColorChange, QStringLiteral("ColorChange1"),
                       QStringLiteral("Change color..."),
                       QStringLiteral("Change color|Changes graph color for selected "
                                      "channel"),
                       frame_.pmHistory);
    frame_.Property1 = MakeActionItem(
        frame_.acHistorySettings, QStringLiteral("Property1"), QStringLiteral("Channel settings"),
        QStringLiteral("Channel settings|Changes channel settings"), frame_.pmHistory);
    frame_.pmHistory->addAction(frame_.ColorChange1);
    frame_.pmHistory->addAction(frame_.Property1);
    frame_.pmHistory->setDefaultAction(frame_.ColorChange1);

    frame_.pmPresets = new QMenu(this);
    frame_.pmPresets->setObjectName(QStringLiteral("pmPresets"));
    frame_.pmPresets->addAction(frame_.acPresetsAdd);
    frame_.pmPresets->addAction(frame_.acPresetsEdit);
    frame_.pmPresets->addAction(frame_.acPresetsActive);
    frame_.pmPresets->addSeparator();
    frame_.pmPresets->addAction(frame_.acPresetsDelete);

    for (QMenu* menu : {frame_.mnFile, frame_.mnHelp, frame_.pmSystray, frame_.miPresets,
                        frame_.pmHistory, frame_.pmPresets})
        menu->setFont(FormFont());
}

void TMainForm::ConnectHandlers() {
    // Only a page change by the user runs PageControlChange, not one made by the program.
    connect(frame_.PageControl, &QTabWidget::currentChanged, this, [this] {
        if (!settingPage_)
            Guarded([this] { PageControlChange(); });
    });
    frame_.acExit->OnExecute = [this] { close(); };
    frame_.acAbout->OnExecute = [this] { acAboutExecute(); };
    // The lists' popup menus, with the enable rules of their items brought up to date.
    QTreeView* lvHistory = historyPage_->lvHistory;
    connect(lvHistory, &QWidget::customContextMenuRequested, this,
            [this, lvHistory](const QPoint& pos) {
                frame_.ActionList1->UpdateAll();
                frame_.pmHistory->popup(lvHistory->viewport()->mapToGlobal(pos));
            });
    QTreeView* lvPresets = presetsPage_->lvPresets;
    connect(lvPresets, &QWidget::customContextMenuRequested, this,
            [this, lvPresets](const QPoint& pos) {
                frame_.ActionList1->UpdateAll();
                frame_.pmPresets->popup(lvPresets->viewport()->mapToGlobal(pos));
            });
    connect(frame_.pmSystray, &QMenu::aboutToShow, this,
            [this] { Guarded([this] { pmSystrayPopup(); }); });
    ConnectHints();
}

void TMainForm::FixWindowSize() {
    const int menuHeight = menuBar()->sizeHint().height();
    setFixedSize(kClientWidth, menuHeight + kClientHeight);
}
