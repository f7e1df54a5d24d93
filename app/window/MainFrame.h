// The window frame's controls: the page control with its four pages, the status bar, the main
// menu, the actions of ActionList1, the popup menus and the tray icon. The window builds them
// once; TMainForm::Frame hands them out read-only.
#pragma once

#include <QtGlobal>
#include <array>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QTabWidget;
class QWidget;
class TAction;
class TActionList;
class TTrayIcon;

struct TMainFrame {
    QFrame* Bevel1 = nullptr;
    QTabWidget* PageControl = nullptr;
    // The pages, in the order of their tabs (the page classes themselves).
    QWidget* tsCommon = nullptr;
    QWidget* tsChannel = nullptr;
    QWidget* tsHistory = nullptr;
    QWidget* tsPresets = nullptr;
    QStatusBar* StatusBar = nullptr;
    // On-line state, active preset, hint.
    std::array<QLabel*, 3> StatusPanels{};
    QMenu* mnFile = nullptr;
    QMenu* mnHelp = nullptr;
    TActionList* ActionList1 = nullptr;
    TAction* acPresetsAdd = nullptr;
    TAction* acPresetsDelete = nullptr;
    TAction* acPresetsActive = nullptr;
    TAction* acPresetsEdit = nullptr;
    TAction* acHistorySettings = nullptr;
    TAction* acExit = nullptr;
    TAction* acAbout = nullptr;
    TAction* acHistoryColorChange = nullptr;
    QMenu* pmSystray = nullptr;
    QAction* pmLaunch = nullptr;
    QMenu* miPresets = nullptr;
    QMenu* pmHistory = nullptr;
    QAction* ColorChange1 = nullptr;
    QAction* Property1 = nullptr;
    QMenu* pmPresets = nullptr;
    TTrayIcon* TrayIcon = nullptr;
};
