// The numeric edit field: value, range check, commit on Enter and on leaving, formatted text.
#include "Floatedit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <cmath>

#include "core/NumberFormat.h"

namespace {

bool IsEnterKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Focus that only leaves for a moment (a context menu, another application's window) is not the
// user leaving the field; the field neither commits nor selects then.
bool IsTransientFocusChange(Qt::FocusReason reason) {
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

}  // namespace

TFloatEdit::TFloatEdit(QWidget* parent) : QLineEdit(parent) {
    UpdateText();
}

QString TFloatEdit::FormatValue(double value) const {
    return QString::fromStdString(FormatFloatText(value, format_, precision_, digits_));
}

void TFloatEdit::SetFormat(TFloatFormat value) {
    format_ = value;
    UpdateText();
}

void TFloatEdit::SetDigits(uint8_t value) {
    digits_ = value;
    UpdateText();
}

void TFloatEdit::SetPrec(uint8_t value) {
    precision_ = value;
    UpdateText();
}

void TFloatEdit::SetValueVisible(bool value) {
    valueVisible_ = value;
    UpdateText();
}

void TFloatEdit::SetMinValue(double value) {
    minValue_ = value;
    CheckValue();
    UpdateText();
}

void TFloatEdit::SetMaxValue(double value) {
    maxValue_ = value;
    CheckValue();
    UpdateText();
}

void TFloatEdit::SetValue(double value) {
    // A NaN never counts as a change. A Value that is NaN itself (possible without MinMaxCheck)
    // still takes any number, so such a field cannot get stuck.
    const bool differs =
        value < value_ || value > value_ || (std::isnan(value_) && !std::isnan(value));
    if (differs) {
        SetValueAnyway(value);
    }
}

void TFloatEdit::SetValueAnyway(double value) {
    value_ = value;
    CheckValue();
    // Handlers run before the text is rewritten, so they still see the user-modified state.
    if (OnChanged) {
        OnChanged(this);
    }
    UpdateText();
    update();
    if (hasFocus()) {
        selectAll();
    } else {
        deselect();
    }
}

bool TFloatEdit::IsValidValue(double x) const {
    if (minMaxCheck_) {
        return minValue_ <= x && x <= maxValue_;
    }
    bool valid = true;
    if (OnValidateValue) {
        OnValidateValue(const_cast<TFloatEdit*>(this), x, valid);
    }
    return valid;
}

void TFloatEdit::CheckValue() {
    if (IsValidValue(value_)) {
        return;
    }
    if (OnOutOfBounds) {
        OnOutOfBounds(this);
    } else if (minMaxCheck_) {
        value_ = value_ > maxValue_ ? maxValue_ : minValue_;
        if (OnChanged) {
            OnChanged(this);
        }
    }
}

void TFloatEdit::UpdateText() {
    setText(valueVisible_ ? FormatValue(value_) : QString());
    // setText already clears it; the program's own text is never the user's modification.
    setModified(false);
    update();
}

void TFloatEdit::SetValueStr(const QString& text) {
    double v = value_;
    if (text != FormatValue(value_)) {
        double parsed = 0.0;
        if (ParseFloatText(text.toStdString(), format_, parsed)) {
            v = parsed;
        } else {
            const QString msg = QStringLiteral("'") + text +
                                QStringLiteral("' is not a valid floating point value");
            bool handled = false;
            if (OnError) {
                OnError(this, msg, handled);
            }
            if (!handled) {
                v = value_;
            }
        }
    }
    SetValueAnyway(v);
}

bool TFloatEdit::event(QEvent* event) {
    // Enter belongs to the field: a window shortcut or action bound to Enter must not take it
    // away before the field has committed its text.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if (IsEnterKey(key) && mods == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

template <typename Step>
void TFloatEdit::FromEvent(Step&& step) {
    try {
        step();
    } catch (...) {
        if (!OnHandlerError) {
            throw;
        }
        OnHandlerError();
    }
}

void TFloatEdit::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    if (IsEnterKey(event)) {
        FromEvent([this] {
            SetValueStr(text());
            if (OnEnterPress) {
                OnEnterPress(this);
            }
        });
        // Handled here: it must not also press a dialog's default button.
        event->accept();
    }
}

void TFloatEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!IsTransientFocusChange(event->reason())) {
        FromEvent([this] { MyOnEnter(); });
    }
}

void TFloatEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!IsTransientFocusChange(event->reason())) {
        FromEvent([this] { MyOnExit(); });
    }
}

void TFloatEdit::MyOnEnter() {
    selectAll();
    if (OnEnter) {
        OnEnter(this);
    }
}

void TFloatEdit::MyOnExit() {
    SetValueStr(text());
    UpdateText();
    if (OnExit) {
        OnExit(this);
    }
}
