// The History page's file and housekeeping commands: "Export history..." writes the samples in
// memory as a CSV file chosen in a save dialog, "Clear history" empties the store after asking.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <string>

class QAction;
class QWidget;
class THistory;

class THistoryTools : public QObject {
    Q_OBJECT
public:
    // `history` is read (export) and emptied (clear) when the commands run; `names` gives the
    // channel names at that moment; `cleared` runs after the store was emptied (to redraw).
    THistoryTools(std::function<THistory*()> history,
                  std::function<std::array<std::string, 6>()> names, std::function<void()> cleared,
                  QWidget* dialogParent, QObject* parent);

    QAction* ExportAction() const { return export_; }
    QAction* ClearAction() const { return clear_; }

    // Asks for a file in a save dialog and writes the history there; false when cancelled or
    // the write failed (the error box said why).
    bool ExportWithDialog();
    // Writes the history to `fileName` atomically: the old file stays whole until the new one
    // is complete. Throws EFCreateError when the file cannot be written.
    void ExportTo(const QString& fileName) const;
    // Asks "Clear the history of all channels?"; on Yes empties the store. True when cleared.
    bool ClearWithQuestion();

private:
    std::function<THistory*()> history_;
    std::function<std::array<std::string, 6>()> names_;
    std::function<void()> cleared_;
    QWidget* dialogParent_;
    QAction* export_;
    QAction* clear_;
    QString lastFolder_;
};
