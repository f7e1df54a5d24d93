// A one-line edit that holds a floating-point Value: shows it formatted, takes typed text as a
// new value on Enter or when the field is left, keeps it inside MinValue..MaxValue, and reports
// every committed value through OnChanged.
#pragma once

#include <QLineEdit>
#include <QString>
#include <cstdint>
#include <functional>

#include "FloatText.h"
#include "WidgetEvents.h"

class TFloatEdit : public QLineEdit {
    Q_OBJECT

public:
    // Custom validity test, consulted only while MinMaxCheck is false; may set `valid` false.
    using TValidateValueEvent = std::function<void(QObject* sender, double value, bool& valid)>;
    // Typed text that is not a number; `handled` starts false.
    using TErrorEvent = std::function<void(QObject* sender, const QString& msg, bool& handled)>;

    // Format ffFixed, Digits 5, Precision 5, MinMaxCheck on, range -10 .. 10, Value 0, visible;
    // the text is formatted at once.
    explicit TFloatEdit(QWidget* parent = nullptr);

    TFloatFormat Format() const { return format_; }
    void SetFormat(TFloatFormat value);  // store, UpdateText
    uint8_t Digits() const { return digits_; }
    void SetDigits(uint8_t value);  // store, UpdateText
    uint8_t Precision() const { return precision_; }
    void SetPrec(uint8_t value);  // store, UpdateText
    bool MinMaxCheck() const { return minMaxCheck_; }
    void SetMinMaxCheck(bool value) { minMaxCheck_ = value; }  // no other effect
    double MinValue() const { return minValue_; }
    void SetMinValue(double value);  // store, CheckValue, UpdateText
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double value);  // store, CheckValue, UpdateText
    double Value() const { return value_; }
    // Only when `value` differs from Value (a NaN is no difference): SetValueAnyway(value).
    void SetValue(double value);
    // Value := value, CheckValue, OnChanged, UpdateText, repaint; then the whole text is
    // selected while the field has the focus, and nothing is selected while it has not, so an
    // unfocused field never shows a highlight.
    void SetValueAnyway(double value);
    bool ValueVisible() const { return valueVisible_; }
    void SetValueVisible(bool value);  // store, UpdateText

    // With MinMaxCheck: MinValue <= x <= MaxValue (NaN is invalid). Without: OnValidateValue
    // decides, valid when it is not assigned.
    bool IsValidValue(double x) const;
    // An invalid Value goes to OnOutOfBounds when assigned (Value stays); otherwise, with
    // MinMaxCheck, it is clamped to the bound on its side and OnChanged runs.
    void CheckValue();
    // Text := the formatted Value (empty while not ValueVisible); the user-modified state is
    // cleared.
    void UpdateText();
    // Commits typed text: unchanged text keeps Value, other text is parsed; text that is not a
    // number goes to OnError with "'<text>' is not a valid floating point value" and the field
    // keeps its value. Ends with SetValueAnyway in every case.
    void SetValueStr(const QString& text);
    // Value formatted with Format, Precision and Digits, whatever ValueVisible says.
    QString FormatValue(double value) const;

    TNotifyEvent OnChanged;
    TValidateValueEvent OnValidateValue;
    TNotifyEvent OnOutOfBounds;
    TErrorEvent OnError;
    TNotifyEvent OnEnterPress;
    TNotifyEvent OnExit;
    TNotifyEvent OnEnter;
    // Runs inside a catch block when a handler above fails during a commit that the toolkit
    // started (Enter, leaving the field): the rest of that commit is skipped, as after any
    // error, and the handler reports it. Without one the error goes on to the application.
    std::function<void()> OnHandlerError;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void MyOnEnter();
    void MyOnExit();
    // Runs `step` from one of the toolkit's event handlers; an error it raises goes to
    // OnHandlerError instead of unwinding through the toolkit.
    template <typename Step>
    void FromEvent(Step&& step);

    TFloatFormat format_ = TFloatFormat::ffFixed;
    uint8_t digits_ = 5;
    uint8_t precision_ = 5;
    bool minMaxCheck_ = true;
    double minValue_ = -10.0;
    double maxValue_ = 10.0;
    double value_ = 0.0;
    bool valueVisible_ = true;
};
