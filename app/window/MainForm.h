// The main window TMainForm: the frame (page control, status bar, menus, actions, tray icon),
// the polling cycle, the start-up and shutdown with the settings file, and the state the pages
// share. Each page is a class of its own (pages/); they reach the window through TPageHost.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "MainFrame.h"
#include "pages/MainState.h"
#include "pages/PageHost.h"

class QActionGroup;
class TChannelPage;
class TCommonPage;
class THistoryPage;
class TIniFile;
class TJvSimScope;
class TPresetsPage;
class TWatchTools;

class TMainForm : public QMainWindow, public TPageHost {
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

    // --- the parts of the window ---
    const TMainFrame& Frame() const { return frame_; }
    TMainState& State() override { return state_; }
    const TMainState& State() const override { return state_; }
    TCommonPage& CommonPage() { return *commonPage_; }
    const TCommonPage& CommonPage() const { return *commonPage_; }
    TChannelPage& ChannelPage() override { return *channelPage_; }
    const TChannelPage& ChannelPage() const { return *channelPage_; }
    THistoryPage& HistoryPage() { return *historyPage_; }
    const THistoryPage& HistoryPage() const { return *historyPage_; }
    TPresetsPage& PresetsPage() { return *presetsPage_; }
    // Alarm notifications, watching in the tray, history export, recording (WatchTools.h).
    TWatchTools* WatchTools() const { return watchTools_; }
    const TPresetsPage& PresetsPage() const { return *presetsPage_; }

    // --- start-up and shutdown (MainForm.cpp) ---
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
    void WriteSettingsNow() override;
    void acAboutExecute();

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

    // --- polling cycle and the page control (MainPolling.cpp) ---
    void TimerTimer();
    void ReadChannelValues() override;
    void UpdateScopeLines();
    void AddHistorySample();
    void PageControlChange() override;
    // Turns to page `index` as the program does: PageControlChange does not run.
    void SetActivePage(int index) override;
    QWidget* CurrentPage() const override;
    // First status panel := "ON-Line" or "OFF-Line"; off-line the read-outs turn grey (they keep
    // their last readings) and the controls that send to the controller are disabled.
    void SetStatusOnline(bool online);
    // Second status panel := the active preset's name.
    void ShowPresetName(const QString& name) override;
    // The poll period in units of 10 ms (the scope widget's interval; 100 by default). Tests set
    // 0 to stop the clock and drive TimerTimer themselves.
    void SetPollInterval(int interval);

    // --- tray icon and its presets submenu (MainTray.cpp) ---
    void TrayIconMinimize();
    void TrayIconRestore();
    void pmLaunchClick();
    void pmSystrayPopup();
    // A preset item of the tray's "Presets" submenu: activates the preset named by its tag.
    void miPresetsItemClick(QObject* sender);

signals:
    // The window closed (the close query allowed it and FormClose ran): the program ends.
    void FormClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The frame (MainFrame.cpp): every control at its pixel position, with names, tags, hints.
    void BuildActions();
    void BuildFrame();
    void BuildMenus();
    void BuildTray();
    // The window keeps its client area of 452 x 416 below the menu bar and cannot be resized.
    void FixWindowSize();
    void ConnectHandlers();
    void ConnectHints();
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
    // The History page's scope, the polling cycle's clock (null once destroyed).
    TJvSimScope* Scope() const;

    TMainFrame frame_;
    TMainState state_;
    std::unique_ptr<TIniFile> iniFile_;
    TCommonPage* commonPage_ = nullptr;
    TChannelPage* channelPage_ = nullptr;
    THistoryPage* historyPage_ = nullptr;
    TPresetsPage* presetsPage_ = nullptr;
    TWatchTools* watchTools_ = nullptr;

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
