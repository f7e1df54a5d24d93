// The real modal run of the program's boxes and the helpers that build them.
#include "Dialogs.h"

#include <QDialog>

namespace {

class TRealDialogs final : public TDialogs {
public:
    int Exec(QDialog& dialog) override { return dialog.exec(); }
};

TRealDialogs realDialogs;
TDialogs* current = &realDialogs;

// The title of the program's own boxes; the program sets no application title, so its name
// stands there.
const QString kProgramTitle = QStringLiteral("Kelvane");

}  // namespace

TDialogs& Dialogs() {
    return *current;
}

void SetDialogs(TDialogs* dialogs) {
    current = dialogs != nullptr ? dialogs : &realDialogs;
}

void ShowErrorMessage(const QString& message) {
    QMessageBox box(QMessageBox::Critical, kProgramTitle, message, QMessageBox::Ok);
    Dialogs().Exec(box);
}

QMessageBox::StandardButton AskYesNoCancel(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    const int result = Dialogs().Exec(box);
    switch (result) {
        case QMessageBox::Yes:
        case QMessageBox::No:
            return static_cast<QMessageBox::StandardButton>(result);
        default:
            return QMessageBox::Cancel;
    }
}

QMessageBox::StandardButton AskYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return Dialogs().Exec(box) == QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::No;
}

void ShowInformation(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    Dialogs().Exec(box);
}
