// The Channel page: one channel's read-outs, its regulation parameters (sent to the controller
// as they are edited), the manual PWM, the regulation curve graph and the EEPROM buttons.
#pragma once

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TCurveGraph;
class TFloatEdit;
class TPageHost;
struct TMainState;

class TChannelPage : public QWidget {
    Q_OBJECT
public:
    // The page "tsChannel" with its controls; the handlers are connected.
    explicit TChannelPage(TPageHost& host, QWidget* parent = nullptr);

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
    // The read-outs edTx, edVx and edV in grey while their values are stale.
    void ShowReadoutsStale(bool stale);
    // Commits the text typed into the page's focused field.
    void CommitTypedField();
    void TakeChannelParams(int channel);
    void WriteChannelParams(int channel);
    void UpdateChannelPage(int channel);
    // Entry `channel` of cbCh := its number and ChannelName[channel] (the number alone for a
    // blank name); the selected entry stays.
    void ShowChannelName(int channel);
    // The text of entry `index` of cbCh, "" beyond it.
    QString ChannelListText(int index) const;
    void cbChChange();
    void feTmaxChanged(QObject* sender);
    void cbAutoClick();
    void fePxChanged();
    void btSaveClick();
    void btRecallClick();

    // --- regulation curve graph ---
    void DrawGraph(int channel);
    // DrawGraph's picture without asking the graph to repaint (used while it paints).
    void DrawGraphPicture(int channel);
    void DrawTempCursor(int32_t temperature);
    void DrawPwmCursor(int32_t pwm);
    // Mouse on the graph: the focus goes to Panel1, then, with manual PWM, the row sets fePx.
    void pbGraphMouseDown(Qt::MouseButton button, int x, int y);
    void pbGraphMouseMove(Qt::MouseButtons buttons, int x, int y);
    // fePx := the percent of graph row y, marked as the user's, when the PWM is set by hand.
    void SetManualPwmFromGraph(int y);

    // --- controls ---
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
    TCurveGraph* pbGraph = nullptr;
    QPushButton* btSave = nullptr;
    QPushButton* btRecall = nullptr;

private:
    // Every control at its pixel position, with names, hints and the tab order
    // (ChannelPageLayout.cpp).
    void Build();
    void ConnectHandlers();

    TPageHost& host_;
    TMainState& state_;
};
