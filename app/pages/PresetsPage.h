// The Presets page: the preset list lvPresets with the active preset in bold and its four
// buttons, the preset actions' enable rules and handlers, and making a preset active, which
// sends its six channel records to the controller. Every change of the presets is written to the
// settings file at once.
#pragma once

#include <QWidget>

class QPushButton;
class QTreeView;
class TAction;
class TPageHost;
class TVirtualListModel;
struct TMainState;

// The window's preset actions, which the page's buttons run.
struct TPresetsActions {
    TAction* acPresetsAdd = nullptr;
    TAction* acPresetsEdit = nullptr;
    TAction* acPresetsActive = nullptr;
    TAction* acPresetsDelete = nullptr;
};

class TPresetsPage : public QWidget {
    Q_OBJECT
public:
    // The page "tsPresets" with its controls; the actions get their handlers and enable rules.
    TPresetsPage(TPageHost& host, const TPresetsActions& actions, QWidget* parent = nullptr);

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

    // --- controls ---
    QTreeView* lvPresets = nullptr;
    TVirtualListModel* PresetsModel = nullptr;
    QPushButton* bAdd = nullptr;
    QPushButton* bEdit = nullptr;
    QPushButton* bActive = nullptr;
    QPushButton* bDelete = nullptr;

private:
    void Build();
    void ConnectHandlers();

    TPageHost& host_;
    TMainState& state_;
    TPresetsActions actions_;
};
