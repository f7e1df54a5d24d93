// Starting, feeding and stopping the recording log.
#include "RecordingControl.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

#include "Application.h"
#include "Dialogs.h"
#include "LayoutHelpers.h"

TRecordingControl::TRecordingControl(std::function<std::array<std::string, 6>()> names,
                                     QWidget* dialogParent, QObject* parent)
    : QObject(parent),
      names_(std::move(names)),
      dialogParent_(dialogParent),
      action_(new QAction(QStringLiteral("Record to file..."), this)) {
    action_->setObjectName(QStringLiteral("acRecordToFile"));
    action_->setCheckable(true);
    SetHint(action_, QStringLiteral("Record to file|Appends every polling cycle's temperatures, "
                                    "fan speeds and PWM to a CSV file"));
    connect(action_, &QAction::triggered, this, [this] { Guarded([this] { Toggle(); }); });
}

void TRecordingControl::Toggle() {
    if (log_.Active()) {
        Stop();
        return;
    }
    QFileDialog dialog(dialogParent_, QStringLiteral("Record to file"));
    dialog.setObjectName(QStringLiteral("RecordToFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_);
    dialog.selectFile(QStringLiteral("kelvane-recording.csv"));
    if (Dialogs().Exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString fileName = dialog.selectedFiles().constFirst();
        lastFolder_ = QFileInfo(fileName).absolutePath();
        Start(fileName);
    }
    SyncAction();
}

bool TRecordingControl::Start(const QString& fileName) {
    const bool started = log_.Start(fileName.toStdString(), names_());
    SyncAction();
    if (!started)
        ShowErrorMessage(QString::fromStdString(log_.Error()));
    return started;
}

void TRecordingControl::Stop() {
    log_.Stop();
    SyncAction();
}

void TRecordingControl::Cycle(const TRecordedCycle& cycle) {
    if (!log_.Active() || log_.Append(cycle))
        return;
    SyncAction();
    const QString message = QString::fromStdString(log_.Error()) +
                            QStringLiteral("\nRecording stopped; polling goes on.");
    emit Failed(message);
    QTimer::singleShot(0, this, [message] { ShowErrorMessage(message); });
}

void TRecordingControl::SyncAction() {
    action_->setChecked(log_.Active());
}
