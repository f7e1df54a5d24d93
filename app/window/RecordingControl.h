// "Record to file...": a checkable command that starts a recording log in a file chosen in a
// save dialog and stops it again. The polling cycle hands it every cycle; a write that fails
// stops the recording with one message and never the polling.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <string>

#include "core/RecordingLog.h"

class QAction;
class QWidget;

class TRecordingControl : public QObject {
    Q_OBJECT
public:
    // `names` gives the channel names for the header when a recording starts.
    TRecordingControl(std::function<std::array<std::string, 6>()> names, QWidget* dialogParent,
                      QObject* parent);

    // Checked while recording; triggering it starts (through the save dialog) or stops.
    QAction* Action() const { return action_; }
    bool Recording() const { return log_.Active(); }
    QString FileName() const { return QString::fromStdString(log_.FileName()); }

    // Starts recording into `fileName` (header row first); false with an error box when the file
    // cannot be written.
    bool Start(const QString& fileName);
    void Stop();
    // One polling cycle's row. A failure stops the recording; its message is shown once the
    // cycle is over (a box inside the cycle would hold the polling up while it is open).
    void Cycle(const TRecordedCycle& cycle);

signals:
    // The recording stopped because a row could not be written; `message` says why.
    void Failed(const QString& message);

private:
    void Toggle();
    void SyncAction();

    std::function<std::array<std::string, 6>()> names_;
    QWidget* dialogParent_;
    QAction* action_;
    TRecordingLog log_;
    QString lastFolder_;
};
