// The Common page: the banner with the version label and one row per channel (name,
// temperature, fan speed, fan voltage and the "..." button that opens the channel's settings),
// with the alarm colours of the read-outs.
#pragma once

#include <QWidget>
#include <array>

#include "core/Settings.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TPageHost;
struct TMainState;

class TCommonPage : public QWidget {
    Q_OBJECT
public:
    // The page "tsCommon" with its controls; the handlers are connected.
    explicit TCommonPage(TPageHost& host, QWidget* parent = nullptr);

    // The eighteen read-outs from the last readings, painted in one pass.
    void UpdateCommonPage();
    void ShowTemperature(QLineEdit* box, int channel);
    void ShowFanSpeed(QLineEdit* box, int channel);
    void ShowFanVoltage(QLineEdit* box, int channel);
    // The read-outs in grey while their values are stale.
    void ShowReadoutsStale(bool stale);
    // The name boxes from ChannelName (their handlers run).
    void ShowChannelNames();
    void edN1Change(QObject* sender);
    void btCh1Click(QObject* sender);

    // --- controls ---
    QFrame* Panel2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lVersion = nullptr;
    std::array<QLineEdit*, kChannelCount> edN{};     // edN1 ... edN6
    std::array<QLineEdit*, kChannelCount> edT{};     // edT1 ... edT6
    std::array<QLineEdit*, kChannelCount> edVxC{};   // edVx1 ... edVx6
    std::array<QLineEdit*, kChannelCount> edVC{};    // edV1 ... edV6
    std::array<QPushButton*, kChannelCount> btCh{};  // btCh1 ... btCh6

private:
    void Build();
    void ConnectHandlers();

    TPageHost& host_;
    TMainState& state_;
};
