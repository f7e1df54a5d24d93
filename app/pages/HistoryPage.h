// The History page: the scope of the six temperatures (the polling cycle's clock too) and the
// statistics list lvHistory with each row's trace colour; changing a trace colour and jumping
// to a channel's settings.
#pragma once

#include <QPointer>
#include <QWidget>

#include "HistoryRowTexts.h"

class QColorDialog;
class QFrame;
class QTreeView;
class TAction;
class THistoryColorDelegate;
class TJvSimScope;
class TPageHost;
class TVirtualListModel;
struct TMainState;

class THistoryPage : public QWidget {
    Q_OBJECT
public:
    // The page "tsHistory" with its controls. The actions are the window's; the page gives them
    // their handlers and enable rules.
    THistoryPage(TPageHost& host, TAction* colorChange, TAction* settings,
                 QWidget* parent = nullptr);

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
    // Closes and deletes the colour dialog, if it was ever opened.
    void DeleteColorDialog();

    // --- controls ---
    QFrame* pScope = nullptr;
    // Made by the window at construction (its colours come from the settings file) and placed
    // in pScope by FormCreate.
    QPointer<TJvSimScope> Scope;
    QTreeView* lvHistory = nullptr;
    TVirtualListModel* HistoryModel = nullptr;
    THistoryColorDelegate* HistoryColors = nullptr;
    QPointer<QColorDialog> ColorDialog;  // created on first use

protected:
    // lvHistory's double click and Enter key.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void ConnectHandlers();

    TPageHost& host_;
    TMainState& state_;
    TAction* acHistoryColorChange;
    TAction* acHistorySettings;
    // The statistics columns' texts, worked out once per change of the history.
    THistoryRowTexts rowTexts_;
};
