// Scripted boxes and the window rig of the window tests.
#include "GuiTestSupport.h"

#include <QFile>

int TScriptedDialogs::Exec(QDialog& dialog) {
    TShownDialog record;
    record.className = QString::fromLatin1(dialog.metaObject()->className());
    record.title = dialog.windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        record.text = box->text();
        record.icon = box->icon();
        record.buttons = box->standardButtons();
    }
    shown.push_back(record);
    if (answers_.empty()) {
        ++unanswered;
        return qobject_cast<QMessageBox*>(&dialog) != nullptr ? int(QMessageBox::Cancel)
                                                              : int(QDialog::Rejected);
    }
    TAnswer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer(dialog);
}

TWindowRig::TWindowRig() = default;

TWindowRig::~TWindowRig() {
    Close();
}

std::string TWindowRig::IniPath() const {
    return dir_.filePath(QStringLiteral("kelvane.ini")).toStdString();
}

void TWindowRig::WriteIni(const QByteArray& text) const {
    QFile file(QString::fromStdString(IniPath()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray TWindowRig::ReadIni() const {
    QFile file(QString::fromStdString(IniPath()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TWindowRig::IniExists() const {
    return QFile::exists(QString::fromStdString(IniPath()));
}

TMainForm& TWindowRig::Open() {
    form_ = std::make_unique<TMainForm>(IniPath());
    form_->SetPollInterval(0);
    return *form_;
}

void TWindowRig::Close() {
    // The program always closes its window (FormClose) before destroying it (FormDestroy).
    if (form_ != nullptr)
        form_->CloseWithoutQuestion();
    form_.reset();
}
