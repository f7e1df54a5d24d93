// Every modal box the program shows goes through one small seam, so tests can answer message
// boxes and the colour dialog with scripted replies instead of blocking on them.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;

// Runs a modal dialog and returns its result: the standard button for a QMessageBox, the
// QDialog::DialogCode for other dialogs.
class TDialogs {
public:
    virtual ~TDialogs() = default;
    virtual int Exec(QDialog& dialog) = 0;
};

// The dialogs in use: a real modal run unless a test installed its own.
TDialogs& Dialogs();
// Installs `dialogs` (not owned; it must outlive its use), or the real ones for nullptr.
void SetDialogs(TDialogs* dialogs);

// The program's error box: the message of an error that ended a user action or the start-up.
void ShowErrorMessage(const QString& message);
// A confirmation box with the buttons Yes, No and Cancel; Escape and the close button give
// Cancel.
QMessageBox::StandardButton AskYesNoCancel(const QString& text);
// A warning box with the buttons Yes and No; Escape and the close button give No.
QMessageBox::StandardButton AskYesNo(const QString& text);
// An information box with one OK button.
void ShowInformation(const QString& title, const QString& text);
