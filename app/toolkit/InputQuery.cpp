// The text-input dialog used to name presets.
#include "InputQuery.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "Dialogs.h"
#include "LayoutHelpers.h"

namespace {

constexpr int kMaxTypedLength = 255;
constexpr int kDialogWidth = 260;

}  // namespace

TInputQueryDialog::TInputQueryDialog(const QString& title, const QString& prompt,
                                     const QString& value, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("InputQuery"));
    setWindowTitle(title);
    setFont(FormFont());
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    prompt_ = new QLabel(prompt, this);
    prompt_->setObjectName(QStringLiteral("Prompt"));
    prompt_->setWordWrap(true);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit"));
    edit_->setMaxLength(std::max<int>(kMaxTypedLength, static_cast<int>(value.size())));
    edit_->setText(value);
    edit_->selectAll();
    prompt_->setBuddy(edit_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    // Escape rejects any dialog; Cancel does the same.
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(edit_);
    layout->addLayout(buttons);

    setFixedWidth(kDialogWidth);
    adjustSize();
    setFixedHeight(sizeHint().height());
    edit_->setFocus();
}

bool InputQuery(const QString& title, const QString& prompt, QString& value) {
    TInputQueryDialog dialog(title, prompt, value, QApplication::activeWindow());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        dialog.move(area.center() - dialog.rect().center());
    }
    if (Dialogs().Exec(dialog) != QDialog::Accepted)
        return false;
    value = dialog.Edit()->text();
    return true;
}
