// The text-input dialog: a title, a word-wrapped prompt, one field filled with a text and all
// selected, and the buttons OK (the default) and Cancel (also Escape).
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class TInputQueryDialog : public QDialog {
    Q_OBJECT
public:
    // The field takes at most 255 characters when typing; a longer `value` is shown whole, so
    // OK without typing never cuts it.
    TInputQueryDialog(const QString& title, const QString& prompt, const QString& value,
                      QWidget* parent = nullptr);

    QLabel* Prompt() const { return prompt_; }
    QLineEdit* Edit() const { return edit_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QLabel* prompt_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Runs the dialog through the program's dialog seam, centred on the screen. On OK returns true
// and puts the field's text into `value`; on Cancel returns false and leaves `value` alone.
bool InputQuery(const QString& title, const QString& prompt, QString& value);
