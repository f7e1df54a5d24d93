// Marks the channels whose parameters changed since they were last saved to the controller's
// EEPROM: an orange dot beside their entries in the channel list where a channel is chosen.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>

class QComboBox;

class TUnsavedMarks : public QObject {
    Q_OBJECT
public:
    // `changed` reads the channels' Changed flags; the marks follow them whenever the event loop
    // is about to wait, so every handler that sets or clears a flag is covered.
    TUnsavedMarks(QComboBox* channelList, std::function<std::array<bool, 6>()> changed,
                  QObject* parent);

    // Puts the marks in line with the flags now.
    void Refresh();
    bool Marked(int channel) const;
    static QIcon MarkIcon();

private:
    QPointer<QComboBox> channelList_;
    std::function<std::array<bool, 6>()> changed_;
    std::array<bool, 6> shown_{};
    QIcon mark_;
    QIcon blank_;
};
