// The main window TMainForm: its controls, its state and the declarations of its handlers. The
// handlers live in one file per page or concern (Main*.cpp).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Settings.h"

class QAction;
class QActionGroup;
class QColorDialog;
class QComboBox;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTreeView;
class QWidget;
class TAction;
class TActionList;
class TFloatEdit;
class THistory;
class THistoryColorDelegate;
class TIniFile;
class TJvSimScope;
class TPaintBox;
class TParams;
class TTrayIcon;
class TVirtualListModel;
class TWatchTools;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Builds the controls, then runs the construction steps (settings file `settingsFileName`
    // read whole, presets, history, scope widget, colours) and then FormCreate. An error of the
    // construction steps leaves the constructor, and nothing has been written; an error inside
    // FormCreate is shown in the error box and the rest of FormCreate is skipped.
    explicit TMainForm(const std::string& settingsFileName, QWidget* parent = nullptr);
    // Runs FormDestroy (presets and colours stored, settings file written).
    ~TMainForm() override;

    // The settings file of the running program (beside it, or in the user's configuration).
    static std::string DefaultSettingsFile();

    // --- start-up and shutdown (Main.cpp) ---
    void FormCreate();
    // Asks "Save new parameters to EEPROM?" when a channel was changed; false keeps the window
    // open. Off-line nothing can be saved: it says so for the changed channels and asks whether
    // to exit anyway.
    bool FormCloseQuery();
    // "OFF-Line: new parameters of channels 2 and 5 cannot be saved to EEPROM." and the question.
    static QString UnsavedChannelsText(const std::array<bool, kChannelCount>& changed);
    void FormClose();
    void FormDestroy();
    // Closes the window through the usual close path but without the EEPROM question (which
    // only a person can answer): used for SIGINT, SIGTERM and the end of the desktop session.
    void CloseWithoutQuestion();
    void LoadSettings();
    void SaveSettings();
    // Writes the settings file at once with everything the exit would write now (SaveSettings,
    // the presets, the colours), atomically; runs after every change of the presets, so that a
    // crash loses none of them. A failure is shown in the error box and the program goes on.
    void WriteSettingsNow();

    // --- hints (MainHints.cpp) ---
    // Third status panel := the long part of `hint` (after the first "|", else the whole text).
    void ApplicationHint(const QString& hint);
    // The page control's hint := the hint of the tab under (x, y), "" off the tabs.
    void PageControlMouseMove(int x, int y);
    // The hint that applies to a widget: its own, else its nearest ancestor's.
    static QString HintOf(const QWidget* widget);
    // The current hint for the pointer at `globalPos` (widget, menu item or nothing).
    QString HintAt(const QPoint& globalPos) const;
    // Runs when the event loop is about to wait: recomputes the enable rules and the hint.
    void ApplicationIdle();

    // --- polling cycle and Common page (MainCommon.cpp) ---
    void TimerTimer();
    void ReadChannelValues();
    void UpdateCommonPage();
    void ShowTemperature(QLineEdit* box, int channel);
    void ShowFanSpeed(QLineEdit* box, int channel);
    void ShowFanVoltage(QLineEdit* box, int channel);
    void UpdateScopeLines();
    void AddHistorySample();
    void edN1Change(QObject* sender);
    void btCh1Click(QObject* sender);
    void PageControlChange();
    // Turns to page `index` as the program does: PageControlChange does not run.
    void SetActivePage(int index);
    // First status panel := "ON-Line" or "OFF-Line"; off-line the read-outs turn grey (they keep
    // their last readings) and the controls that send to the controller are disabled.
    void SetStatusOnline(bool online);
    void ShowReadoutsStale(bool stale);
    // The poll period in units of 10 ms (the scope widget's interval; 100 by default). Tests set
    // 0 to stop the clock and drive TimerTimer themselves.
    void SetPollInterval(int interval);

    // --- Channel page (MainChannel.cpp) ---
    void SelectChannel(int channel);
    // The controller's parameters into the active preset (only a complete answer, only on-line).
    void ReadChannelParams(int channel);
    // Reconnection: the first time in a run the six sets are read into the active preset as at
    // start-up; after that the preset stays as stored and each channel whose controller holds
    // other parameters is sent the preset's record again (RestoreChannelParams).
    void ReadOrRestoreChannelParams();
    void RestoreChannelParams(int channel);
    void ShowChannelParams(int channel);
    // The six parameter fields from the values stored in the active preset.
    void ShowStoredFields(int channel);
    // fePx from Pwm[channel].
    void ShowManualPwm(int channel);
    // Enables or disables the controls that send to the controller (the parameter fields and
    // check boxes, the manual PWM, Save and Recall); disabling drops text not yet committed.
    void EnableControllerControls(bool enabled);
    // Commits the text typed into the Channel page's focused field.
    void CommitTypedField();
    void TakeChannelParams(int channel);
    void WriteChannelParams(int channel);
    void UpdateChannelPage(int channel);
    void cbChChange();
    void feTmaxChanged(QObject* sender);
    void cbAutoClick();
    void fePxChanged();
    void btSaveClick();
    void btRecallClick();

    // --- regulation curve graph (MainGraph.cpp) ---
    void DrawGraph(int channel);
    // DrawGraph's picture without asking the paint box to repaint (used while it paints).
    void DrawGraphPicture(int channel);
    void DrawTempCursor(int32_t temperature);
    void DrawPwmCursor(int32_t pwm);
    // Mouse on the graph: the focus goes to Panel1, then, with manual PWM, the row sets fePx.
    void pbGraphMouseDown(Qt::MouseButton button, int x, int y);
    void pbGraphMouseMove(Qt::MouseButtons buttons, int x, int y);
    // fePx := the percent of graph row y, marked as the user's, when the PWM is set by hand.
    void SetManualPwmFromGraph(int y);

    // --- History page (MainHistory.cpp) ---
    bool acHistoryColorChangeUpdate() const;
    void acHistoryColorChangeExecute();
    bool acHistorySettingsUpdate() const;
    void acHistorySettingsExecute();
    // Redraws rows 0 to 5 of lvHistory.
    void RefreshHistoryRows();
    // The text of entry `index` of the channel list (the History page's channel names).
    QString ChannelListText(int index) const;
    // The row of lvHistory that is selected, or -1.
    int SelectedHistoryRow() const;

    // --- Presets page and the tray's presets submenu (MainPresets.cpp) ---
    bool acPresetsAddUpdate() const;
    void acPresetsAddExecute();
    bool acPresetsDeleteUpdate() const;
    void acPresetsDeleteExecute();
    bool acPresetsActiveUpdate() const;
    void acPresetsActiveExecute();
    bool acPresetsEditUpdate() const;
    void acPresetsEditExecute();
    // Runs acPresetsActive as if chosen (so only while it is enabled).
    void lvPresetsDblClick();
    // Makes preset `index` active and sends its six records; `fromTray` selects the tray's
    // refresh rules instead of the page's.
    void ActivatePreset(int index, bool fromTray);
    // The row of lvPresets that is selected, or -1.
    int SelectedPresetRow() const;
    void pmSystrayPopup();
    // A preset item of the tray's "Presets" submenu: activates the preset named by its tag.
    void miPresetsItemClick(QObject* sender);

    // --- tray icon (MainTray.cpp) ---
    void TrayIconMinimize();
    void TrayIconRestore();
    void pmLaunchClick();

    // --- About box (Main.cpp) ---
    void acAboutExecute();

    // --- state shared by the pages ---
    std::unique_ptr<TIniFile> IniFile;
    std::unique_ptr<TParams> Params;
    std::unique_ptr<THistory> History;
    TGraphColors GraphColors;
    bool Online = false;
    bool Updating = false;
    int32_t SelectedChannel = 0;
    std::array<int32_t, kChannelCount> Temperature{};
    std::array<int32_t, kChannelCount> FanSpeed{};
    std::array<int32_t, kChannelCount> Pwm{};
    std::array<bool, kChannelCount> Changed{};
    // The six parameter sets have been read from the controller into the active preset in this
    // run (so a reconnection restores the preset instead of reading it again).
    bool ControllerParamsKnown = false;
    std::array<QString, kChannelCount> ChannelName;
    int32_t CursorT = 0;
    int32_t CursorPwm = 0;

    // --- frame ---
    QFrame* Bevel1 = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* tsCommon = nullptr;
    QWidget* tsChannel = nullptr;
    QWidget* tsHistory = nullptr;
    QWidget* tsPresets = nullptr;
    QStatusBar* StatusBar = nullptr;
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
    // Alarm notifications, watching in the tray, history export, recording (WatchTools.h).
    TWatchTools* WatchTools = nullptr;

    // --- Common page ---
    QFrame* Panel2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lVersion = nullptr;
    std::array<QLineEdit*, kChannelCount> edN{};     // edN1 ... edN6
    std::array<QLineEdit*, kChannelCount> edT{};     // edT1 ... edT6
    std::array<QLineEdit*, kChannelCount> edVxC{};   // edVx1 ... edVx6
    std::array<QLineEdit*, kChannelCount> edVC{};    // edV1 ... edV6
    std::array<QPushButton*, kChannelCount> btCh{};  // btCh1 ... btCh6

    // --- Channel page ---
    QComboBox* cbCh = nullptr;
    QLineEdit* edTx = nullptr;
    QLineEdit* edVx = nullptr;
    QLineEdit* edV = nullptr;
    TFloatEdit* fePx = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TFloatEdit* feTmin = nullptr;
    TFloatEdit* fePmin = nullptr;
    TFloatEdit* feTmax = nullptr;
    TFloatEdit* fePmax = nullptr;
    TFloatEdit* feTa = nullptr;
    TFloatEdit* feVa = nullptr;
    QCheckBox* cbAuto = nullptr;
    QCheckBox* cbBoost = nullptr;
    QCheckBox* cbTa = nullptr;
    QCheckBox* cbVa = nullptr;
    QFrame* Panel1 = nullptr;
    TPaintBox* pbGraph = nullptr;
    QPushButton* btSave = nullptr;
    QPushButton* btRecall = nullptr;

    // --- History page ---
    QFrame* pScope = nullptr;
    QPointer<TJvSimScope> Scope;
    QTreeView* lvHistory = nullptr;
    TVirtualListModel* HistoryModel = nullptr;
    THistoryColorDelegate* HistoryColors = nullptr;
    QPointer<QColorDialog> ColorDialog;  // created on first use

    // --- Presets page ---
    QTreeView* lvPresets = nullptr;
    TVirtualListModel* PresetsModel = nullptr;
    QPushButton* bAdd = nullptr;
    QPushButton* bEdit = nullptr;
    QPushButton* bActive = nullptr;
    QPushButton* bDelete = nullptr;

signals:
    // The window closed (the close query allowed it and FormClose ran): the program ends.
    void FormClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout (MainLayout*.cpp): every control at its pixel position, with names, tags, hints.
    void BuildFrame();
    void BuildActions();
    void BuildMenus();
    void BuildCommonPage();
    void BuildChannelPage();
    void BuildHistoryPage();
    void BuildPresetsPage();
    void BuildTray();
    // The window keeps its client area of 452 x 416 below the menu bar and cannot be resized.
    void FixWindowSize();
    void ConnectHandlers();
    // Construction steps 1 to 5.
    void Construct(const std::string& settingsFileName);
    // Reads the six trace colours; an unreadable one keeps its default and is reported.
    std::array<uint32_t, kChannelCount> ReadTraceColors() const;
    // Stores the trace, scope and graph colours in the settings object.
    void StoreColors();
    // Writes the settings object to its file; a failure is shown in the error box. Nothing is
    // written when the file was refused at start-up.
    void FlushSettings();

    void GoOffline();
    void ConnectHints();
    // lvHistory's double click and Enter key; true when the event was used.
    bool HistoryListEvent(QObject* watched, QEvent* event);
    void ConnectChannelHandlers();
    void ConnectGraphHandlers();
    void ConnectHistoryHandlers();
    void ConnectPresetsHandlers();

    bool closeWithoutQuestion_ = false;
    bool formClosed_ = false;
    bool settingPage_ = false;
    QString lastHint_;
    bool formDestroyed_ = false;
    // The settings file was too large to be read: this run uses the defaults and never writes
    // the file, so what it holds is kept.
    bool settingsRefused_ = false;
    // The radio group of the tray's preset items, rebuilt with them.
    QPointer<QActionGroup> presetsGroup_;
};
