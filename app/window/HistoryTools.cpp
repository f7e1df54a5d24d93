// History export and clearing.
#include "HistoryTools.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

#include "Application.h"
#include "Dialogs.h"
#include "LayoutHelpers.h"
#include "core/AtomicFile.h"
#include "core/Exceptions.h"
#include "core/History.h"
#include "core/HistoryCsv.h"

THistoryTools::THistoryTools(std::function<THistory*()> history,
                             std::function<std::array<std::string, 6>()> names,
                             std::function<void()> cleared, QWidget* dialogParent, QObject* parent)
    : QObject(parent),
      history_(std::move(history)),
      names_(std::move(names)),
      cleared_(std::move(cleared)),
      dialogParent_(dialogParent),
      export_(new QAction(QStringLiteral("Export history..."), this)),
      clear_(new QAction(QStringLiteral("Clear history"), this)) {
    export_->setObjectName(QStringLiteral("acHistoryExport"));
    SetHint(export_, QStringLiteral("Export history|Writes the temperatures in memory to a CSV "
                                    "file"));
    clear_->setObjectName(QStringLiteral("acHistoryClear"));
    SetHint(clear_, QStringLiteral("Clear history|Empties the history and its statistics"));
    connect(export_, &QAction::triggered, this,
            [this] { Guarded([this] { ExportWithDialog(); }); });
    connect(clear_, &QAction::triggered, this,
            [this] { Guarded([this] { ClearWithQuestion(); }); });
}

bool THistoryTools::ExportWithDialog() {
    QFileDialog dialog(dialogParent_, QStringLiteral("Export history"));
    dialog.setObjectName(QStringLiteral("ExportHistoryDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_);
    dialog.selectFile(QStringLiteral("kelvane-history.csv"));
    if (Dialogs().Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString fileName = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(fileName).absolutePath();
    try {
        ExportTo(fileName);
    } catch (const std::exception& error) {
        ShowErrorMessage(QString::fromUtf8(error.what()));
        return false;
    }
    return true;
}

void THistoryTools::ExportTo(const QString& fileName) const {
    const THistory* history = history_();
    const std::string text =
        history != nullptr ? HistoryToCsv(*history, names_()) : HistoryToCsv(THistory(), names_());
    const std::string target = QFile::encodeName(fileName).toStdString();
    if (!ReplaceFileWhole(target, text))
        throw EFCreateError(target);
}

bool THistoryTools::ClearWithQuestion() {
    if (AskYesNo(QStringLiteral("Clear the history of all channels?\nThe samples and their "
                                "statistics are lost.")) != QMessageBox::Yes)
        return false;
    if (THistory* history = history_())
        history->Clear();
    if (cleared_)
        cleared_();
    return true;
}
