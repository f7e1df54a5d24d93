// The numeric field: commits on Enter and on leaving, clamping, bad text, notification order,
// the user-modified state and the text of the program's fields.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "Floatedit.h"

namespace {

// A field set up like the Channel page's: ffFixed, range check on, its initial value applied
// before OnChanged is attached.
struct FieldSetup {
    uint8_t digits;
    uint8_t precision;
    double minValue;
    double maxValue;
    double value;
};
constexpr FieldSetup kTemperature{1, 4, -0.01, 100, 0};  // feTmin, feTmax, feTa
constexpr FieldSetup kPercent{0, 3, -0.1, 100, 0};       // fePmin, fePmax, fePx
constexpr FieldSetup kSpeed{0, 4, -0.1, 9999, 0};        // feVa

void Configure(TFloatEdit& field, const FieldSetup& setup) {
    field.SetDigits(setup.digits);
    field.SetPrec(setup.precision);
    field.SetMinValue(setup.minValue);
    field.SetMaxValue(setup.maxValue);
    field.SetValue(setup.value);
}

// Records every OnChanged with the value and the user-modified state it saw.
struct ChangeLog {
    QList<double> values;
    QList<bool> modified;
    void Attach(TFloatEdit& field) {
        field.OnChanged = [this, &field](QObject* sender) {
            QCOMPARE(sender, &field);
            values << field.Value();
            modified << field.isModified();
        };
    }
};

void TypeText(TFloatEdit& field, const QString& text) {
    field.selectAll();
    QTest::keyClicks(&field, text);
}

// A shown, active window with the field and a second control to move the focus to.
struct FocusRig {
    QWidget window;
    TFloatEdit* field;
    QLineEdit* other;
    FocusRig() {
        auto* layout = new QVBoxLayout(&window);
        field = new TFloatEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
    }
};

}  // namespace

class FloatEditTest : public QObject {
    Q_OBJECT

private slots:
    void defaults();
    void typedValueAboveRangeIsClampedWithTwoNotifications();
    void typedValueBelowRangeIsClampedOnLeaving();
    void badTextRestoresValueSilently();
    void enterWithoutChangeNotifiesOnce();
    void setValueOnlyOnChange();
    void nanNeverCountsAsChange();
    void loweringMaxValueClampsOnce();
    void invisibleValueKeepsNumber();
    void modifiedStateFollowsTypingAndProgramText();
    void onErrorReceivesMessage();
    void onErrorHandledDecidesWhichValueStays();
    void outOfBoundsHandlerReplacesClamping();
    void validatorOnlyWithoutMinMaxCheck();
    void enterOrderAndEvents();
    void focusInSelectsAllThenOnEnter();
    void focusOutCommitsThenOnExit();
    void transientFocusLossDoesNotCommit();
    void enterIsNotTakenByShortcutOrDefaultButton();
    void selectionOnlyWhileFocused();
    void handlerErrorEndsTheCommit();
    void programFieldsText_data();
    void programFieldsText();
    void otherFormats_data();
    void otherFormats();
    void decimalCommaTypedOrPasted_data();
    void decimalCommaTypedOrPasted();
};

void FloatEditTest::defaults() {
    TFloatEdit field;
    QCOMPARE(field.Format(), TFloatFormat::ffFixed);
    QCOMPARE(field.Digits(), uint8_t{5});
    QCOMPARE(field.Precision(), uint8_t{5});
    QVERIFY(field.MinMaxCheck());
    QCOMPARE(field.MinValue(), -10.0);
    QCOMPARE(field.MaxValue(), 10.0);
    QCOMPARE(field.Value(), 0.0);
    QVERIFY(field.ValueVisible());
    QCOMPARE(field.text(), QStringLiteral("0.00000"));
    QVERIFY(!field.isModified());
}

void FloatEditTest::typedValueAboveRangeIsClampedWithTwoNotifications() {
    TFloatEdit field;  // feTmax
    Configure(field, kTemperature);
    ChangeLog log;
    log.Attach(field);
    TypeText(field, QStringLiteral("150"));
    QTest::keyClick(&field, Qt::Key_Return);
    QCOMPARE(field.Value(), 100.0);
    QCOMPARE(field.text(), QStringLiteral("100.0"));
    QCOMPARE(log.values, (QList<double>{100.0, 100.0}));
    // Both notifications still see the user's modification; the rewrite clears it afterwards.
    QCOMPARE(log.modified, (QList<bool>{true, true}));
    QVERIFY(!field.isModified());
    // The field has no focus: the committed text is not highlighted.
    QVERIFY(!field.hasSelectedText());
}

void FloatEditTest::typedValueBelowRangeIsClampedOnLeaving() {
    FocusRig rig;  // fePmin
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    Configure(*rig.field, kPercent);
    ChangeLog log;
    log.Attach(*rig.field);
    rig.field->setFocus();
    TypeText(*rig.field, QStringLiteral("-5"));
    rig.other->setFocus();
    QCOMPARE(rig.field->Value(), -0.1);
    QCOMPARE(log.values.size(), 2);
    QCOMPARE(rig.field->text(), QStringLiteral("0"));
}

void FloatEditTest::badTextRestoresValueSilently() {
    TFloatEdit field;  // feTa
    Configure(field, kTemperature);
    field.SetValue(35.25);
    ChangeLog log;
    log.Attach(field);
    TypeText(field, QStringLiteral("abc"));
    QTest::keyClick(&field, Qt::Key_Return);
    QCOMPARE(field.text(), QStringLiteral("35.3"));
    QCOMPARE(field.Value(), 35.25);
    QCOMPARE(log.values, QList<double>{35.25});
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void FloatEditTest::enterWithoutChangeNotifiesOnce() {
    TFloatEdit field;
    Configure(field, kTemperature);
    field.SetValue(45.26);
    ChangeLog log;
    log.Attach(field);
    QTest::keyClick(&field, Qt::Key_Return);
    // The shown text "45.3" is not re-parsed: the value keeps its full precision.
    QCOMPARE(field.Value(), 45.26);
    QCOMPARE(log.values, QList<double>{45.26});
    QCOMPARE(log.modified, QList<bool>{false});
}

void FloatEditTest::setValueOnlyOnChange() {
    TFloatEdit field;
    Configure(field, kPercent);
    field.SetValue(40);
    ChangeLog log;
    log.Attach(field);
    field.SetValue(40);
    QCOMPARE(log.values.size(), 0);
    field.SetValue(41);
    QCOMPARE(log.values, QList<double>{41});
    QCOMPARE(field.text(), QStringLiteral("41"));
    field.SetValue(250);
    QCOMPARE(log.values, (QList<double>{41, 100, 100}));
    field.SetValue(-7);
    QCOMPARE(log.values, (QList<double>{41, 100, 100, -0.1, -0.1}));
}

void FloatEditTest::nanNeverCountsAsChange() {
    TFloatEdit field;
    ChangeLog log;
    log.Attach(field);
    field.SetValue(std::numeric_limits<double>::quiet_NaN());
    QCOMPARE(log.values.size(), 0);
    QCOMPARE(field.Value(), 0.0);
    // A field without range check can be forced to NaN; it must still take a number again.
    field.SetMinMaxCheck(false);
    field.SetValueAnyway(std::numeric_limits<double>::quiet_NaN());
    QVERIFY(std::isnan(field.Value()));
    field.SetValue(3);
    QCOMPARE(field.Value(), 3.0);
}

void FloatEditTest::loweringMaxValueClampsOnce() {
    TFloatEdit field;
    Configure(field, kTemperature);
    field.SetValue(80);
    ChangeLog log;
    log.Attach(field);
    field.SetMaxValue(60);
    QCOMPARE(field.Value(), 60.0);
    QCOMPARE(log.values, QList<double>{60});
    QCOMPARE(field.text(), QStringLiteral("60.0"));
    field.SetMinValue(10);  // still valid: nothing
    QCOMPARE(log.values.size(), 1);
    field.SetMinValue(70);  // below the new minimum (and not above the maximum): to MinValue
    QCOMPARE(field.Value(), 70.0);
    QCOMPARE(log.values.size(), 2);
}

void FloatEditTest::invisibleValueKeepsNumber() {
    FocusRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    Configure(*rig.field, kTemperature);
    rig.field->SetValue(42.5);
    rig.field->SetValueVisible(false);
    QCOMPARE(rig.field->text(), QString());
    QCOMPARE(rig.field->Value(), 42.5);
    ChangeLog log;
    log.Attach(*rig.field);
    rig.field->setFocus();
    rig.other->setFocus();
    QCOMPARE(rig.field->Value(), 42.5);
    QCOMPARE(rig.field->text(), QString());
    QCOMPARE(log.values, QList<double>{42.5});
    rig.field->SetValueVisible(true);
    QCOMPARE(rig.field->text(), QStringLiteral("42.5"));
}

void FloatEditTest::modifiedStateFollowsTypingAndProgramText() {
    TFloatEdit field;
    Configure(field, kPercent);
    QVERIFY(!field.isModified());
    QTest::keyClicks(&field, QStringLiteral("5"));
    QVERIFY(field.isModified());
    field.UpdateText();
    QVERIFY(!field.isModified());
    // The program marks the field as modified by the user (the curve graph does), then sets it.
    field.setModified(true);
    ChangeLog log;
    log.Attach(field);
    field.SetValue(50);
    QCOMPARE(log.modified, QList<bool>{true});
    QVERIFY(!field.isModified());
    // Any setter that rewrites the text clears it.
    for (auto rewrite :
         {+[](TFloatEdit& f) { f.SetDigits(2); }, +[](TFloatEdit& f) { f.SetPrec(6); },
          +[](TFloatEdit& f) { f.SetMaxValue(90); },
          +[](TFloatEdit& f) { f.SetFormat(TFloatFormat::ffFixed); }}) {
        field.setModified(true);
        rewrite(field);
        QVERIFY(!field.isModified());
    }
}

void FloatEditTest::onErrorReceivesMessage() {
    TFloatEdit field;
    Configure(field, kTemperature);
    field.SetValue(20);
    QStringList messages;
    field.OnError = [&](QObject* sender, const QString& msg, bool& handled) {
        QCOMPARE(sender, &field);
        QCOMPARE(handled, false);
        messages << msg;
    };
    for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("12,5.0"), QStringLiteral(""),
                               QStringLiteral("1e999"), QStringLiteral("%1 %s")}) {
        field.SetValueStr(bad);
        QCOMPARE(field.Value(), 20.0);
    }
    QCOMPARE(messages,
             (QStringList{QStringLiteral("'abc' is not a valid floating point value"),
                          QStringLiteral("'12,5.0' is not a valid floating point value"),
                          QStringLiteral("'' is not a valid floating point value"),
                          QStringLiteral("'1e999' is not a valid floating point value"),
                          QStringLiteral("'%1 %s' is not a valid floating point value")}));
    // Text that parses: blanks, sign, exponent.
    field.SetValueStr(QStringLiteral("  +2.5E1 "));
    QCOMPARE(field.Value(), 25.0);
    QCOMPARE(messages.size(), 5);
}

void FloatEditTest::onErrorHandledDecidesWhichValueStays() {
    // A handler that changes the value: unhandled, the field takes the value as it is after the
    // handler; handled, the value from before the handler is committed again.
    for (bool markHandled : {false, true}) {
        TFloatEdit field;
        Configure(field, kTemperature);
        field.SetValue(20);
        field.OnError = [&](QObject*, const QString&, bool& handled) {
            field.SetValue(30);
            handled = markHandled;
        };
        field.SetValueStr(QStringLiteral("x"));
        QCOMPARE(field.Value(), markHandled ? 20.0 : 30.0);
    }
}

void FloatEditTest::outOfBoundsHandlerReplacesClamping() {
    TFloatEdit field;
    Configure(field, kTemperature);
    ChangeLog log;
    log.Attach(field);
    int outOfBounds = 0;
    field.OnOutOfBounds = [&](QObject* sender) {
        QCOMPARE(sender, &field);
        ++outOfBounds;
    };
    field.SetValueStr(QStringLiteral("150"));
    QCOMPARE(field.Value(), 150.0);
    QCOMPARE(outOfBounds, 1);
    QCOMPARE(log.values, QList<double>{150});
}

void FloatEditTest::validatorOnlyWithoutMinMaxCheck() {
    TFloatEdit field;  // range -10 .. 10
    int asked = 0;
    field.OnValidateValue = [&](QObject* sender, double value, bool& valid) {
        QCOMPARE(sender, &field);
        QCOMPARE(valid, true);
        ++asked;
        valid = value != 5;
    };
    QVERIFY(field.IsValidValue(5));
    QVERIFY(field.IsValidValue(-10));
    QVERIFY(!field.IsValidValue(13));
    QVERIFY(!field.IsValidValue(std::numeric_limits<double>::quiet_NaN()));
    QCOMPARE(asked, 0);
    field.SetMinMaxCheck(false);
    QVERIFY(field.IsValidValue(13));
    QVERIFY(!field.IsValidValue(5));
    QCOMPARE(asked, 2);
    // Invalid without range check and without OnOutOfBounds: the value stays.
    ChangeLog log;
    log.Attach(field);
    field.SetValue(5);
    QCOMPARE(field.Value(), 5.0);
    QCOMPARE(log.values, QList<double>{5});
}

void FloatEditTest::enterOrderAndEvents() {
    TFloatEdit field;
    Configure(field, kSpeed);
    QStringList order;
    field.OnChanged = [&](QObject*) { order << QStringLiteral("changed %1").arg(field.Value()); };
    field.OnEnterPress = [&](QObject* sender) {
        QCOMPARE(sender, &field);
        order << QStringLiteral("enter ") + field.text();
    };
    TypeText(field, QStringLiteral("1234.9"));
    QTest::keyClick(&field, Qt::Key_Enter);  // the keypad's Enter commits too
    QCOMPARE(order, (QStringList{QStringLiteral("changed 1234.9"), QStringLiteral("enter 1235")}));
    // Other keys are plain editing keys.
    order.clear();
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClick(&field, Qt::Key_Escape);
    QCOMPARE(order, QStringList{});
}

void FloatEditTest::focusInSelectsAllThenOnEnter() {
    FocusRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    Configure(*rig.field, kTemperature);
    rig.field->SetValue(12.5);
    rig.other->setFocus();
    rig.field->deselect();
    QString selectedAtEnter;
    rig.field->OnEnter = [&](QObject* sender) {
        QCOMPARE(sender, rig.field);
        selectedAtEnter = rig.field->selectedText();
    };
    rig.field->setFocus(Qt::MouseFocusReason);
    QCOMPARE(selectedAtEnter, QStringLiteral("12.5"));
}

void FloatEditTest::focusOutCommitsThenOnExit() {
    FocusRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    Configure(*rig.field, kTemperature);
    QStringList order;
    rig.field->OnChanged = [&](QObject*) { order << QStringLiteral("changed"); };
    rig.field->OnExit = [&](QObject* sender) {
        QCOMPARE(sender, rig.field);
        order << QStringLiteral("exit ") + rig.field->text();
    };
    rig.field->setFocus();
    TypeText(*rig.field, QStringLiteral("45.26"));
    rig.other->setFocus();
    QCOMPARE(rig.field->Value(), 45.26);
    QCOMPARE(order, (QStringList{QStringLiteral("changed"), QStringLiteral("exit 45.3")}));
    QVERIFY(!rig.field->isModified());
    // Tabbing through without typing commits the unchanged value once more.
    order.clear();
    rig.field->setFocus();
    rig.other->setFocus();
    QCOMPARE(order, (QStringList{QStringLiteral("changed"), QStringLiteral("exit 45.3")}));
}

void FloatEditTest::transientFocusLossDoesNotCommit() {
    TFloatEdit field;
    Configure(field, kTemperature);
    int changed = 0;
    field.OnChanged = [&](QObject*) { ++changed; };
    TypeText(field, QStringLiteral("77"));
    // A context menu or a switch to another application takes the focus only for a while.
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(&field, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(&field, &in);
    }
    QCOMPARE(changed, 0);
    QCOMPARE(field.text(), QStringLiteral("77"));
    QVERIFY(field.isModified());
}

void FloatEditTest::enterIsNotTakenByShortcutOrDefaultButton() {
    // A window action bound to Enter (the Presets page has one) must leave Enter to the field.
    QMainWindow window;
    auto* central = new QWidget(&window);
    auto* layout = new QVBoxLayout(central);
    auto* field = new TFloatEdit(central);
    layout->addWidget(field);
    window.setCentralWidget(central);
    auto* action = new QAction(&window);
    action->setShortcut(QKeySequence(Qt::Key_Return));
    window.addAction(action);
    int triggered = 0;
    connect(action, &QAction::triggered, [&] { ++triggered; });
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    Configure(*field, kTemperature);
    int entered = 0;
    field->OnEnterPress = [&](QObject*) { ++entered; };
    field->setFocus();
    TypeText(*field, QStringLiteral("33"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(entered, 1);
    QCOMPARE(field->Value(), 33.0);
    QCOMPARE(triggered, 0);

    // In a dialog, Enter in the field does not also press the default button.
    QDialog dialog;
    auto* dialogLayout = new QVBoxLayout(&dialog);
    auto* dialogField = new TFloatEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    dialogLayout->addWidget(dialogField);
    dialogLayout->addWidget(ok);
    int clicked = 0;
    connect(ok, &QPushButton::clicked, [&] { ++clicked; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialogField->setFocus();
    TypeText(*dialogField, QStringLiteral("4"));
    QTest::keyClick(dialogField, Qt::Key_Return);
    QCOMPARE(dialogField->Value(), 4.0);
    QCOMPARE(clicked, 0);
    QVERIFY(dialog.isVisible());
}

void FloatEditTest::selectionOnlyWhileFocused() {
    FocusRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    Configure(*rig.field, kTemperature);
    // Set by the program while another control has the focus: nothing highlighted.
    rig.other->setFocus();
    rig.field->SetValue(12.5);
    QVERIFY(!rig.field->hasSelectedText());
    // Entering selects the whole text; a commit while focused keeps it all selected.
    rig.field->setFocus(Qt::TabFocusReason);
    QCOMPARE(rig.field->selectedText(), QStringLiteral("12.5"));
    TypeText(*rig.field, QStringLiteral("150"));
    QTest::keyClick(rig.field, Qt::Key_Return);
    QCOMPARE(rig.field->selectedText(), QStringLiteral("100.0"));
    // Leaving commits and leaves no highlight behind.
    rig.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(rig.field->text(), QStringLiteral("100.0"));
    QVERIFY(!rig.field->hasSelectedText());
}

void FloatEditTest::handlerErrorEndsTheCommit() {
    FocusRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    Configure(*rig.field, kTemperature);
    int changed = 0;
    bool fail = true;
    rig.field->OnChanged = [&](QObject*) {
        ++changed;
        if (fail)
            throw std::runtime_error("device busy.");
    };
    QStringList reported;
    rig.field->OnHandlerError = [&] {
        try {
            throw;
        } catch (const std::exception& error) {
            reported << QString::fromUtf8(error.what());
        }
    };
    int entered = 0;
    rig.field->OnEnterPress = [&](QObject*) { ++entered; };
    rig.field->setFocus();
    // A clamped value notifies twice; the first failure ends the commit, so once here.
    TypeText(*rig.field, QStringLiteral("150"));
    QTest::keyClick(rig.field, Qt::Key_Return);
    QCOMPARE(changed, 1);
    QCOMPARE(reported, QStringList{QStringLiteral("device busy.")});
    QCOMPARE(entered, 0);
    QCOMPARE(rig.field->Value(), 100.0);
    // Leaving the field commits again and fails again, reported once more.
    rig.other->setFocus();
    QCOMPARE(changed, 2);
    QCOMPARE(reported.size(), 2);
    // The field goes on working once the handler succeeds.
    fail = false;
    rig.field->setFocus();
    TypeText(*rig.field, QStringLiteral("20"));
    QTest::keyClick(rig.field, Qt::Key_Return);
    QCOMPARE(rig.field->Value(), 20.0);
    QCOMPARE(rig.field->text(), QStringLiteral("20.0"));
    QCOMPARE(entered, 1);
    QCOMPARE(reported.size(), 2);
}

void FloatEditTest::programFieldsText_data() {
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("precision");
    QTest::addColumn<double>("maxValue");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    // Temperatures: one decimal, four significant digits.
    QTest::newRow("35.25 -> 35.3") << 1 << 4 << 100.0 << 35.25 << "35.3";
    QTest::newRow("45.26 -> 45.3") << 1 << 4 << 100.0 << 45.26 << "45.3";
    QTest::newRow("100 -> 100.0") << 1 << 4 << 100.0 << 100.0 << "100.0";
    QTest::newRow("0.05 -> 0.1") << 1 << 4 << 100.0 << 0.05 << "0.1";
    QTest::newRow("-0.01 -> 0.0") << 1 << 4 << 100.0 << -0.01 << "0.0";
    QTest::newRow("99.96 -> 100.0") << 1 << 4 << 100.0 << 99.96 << "100.0";
    // Percentages: no decimals, three significant digits.
    QTest::newRow("100 -> 100") << 0 << 3 << 100.0 << 100.0 << "100";
    QTest::newRow("7.5 -> 8") << 0 << 3 << 100.0 << 7.5 << "8";
    QTest::newRow("49.8 -> 50") << 0 << 3 << 100.0 << 49.8 << "50";
    QTest::newRow("0.1 -> 0") << 0 << 3 << 100.0 << 0.1 << "0";
    QTest::newRow("-0.1 -> 0") << 0 << 3 << 100.0 << -0.1 << "0";
    QTest::newRow("50.5 -> 51") << 0 << 3 << 100.0 << 50.5 << "51";
    // Fan speed: no decimals, four significant digits.
    QTest::newRow("9999 -> 9999") << 0 << 4 << 9999.0 << 9999.0 << "9999";
    QTest::newRow("1234.9 -> 1235") << 0 << 4 << 9999.0 << 1234.9 << "1235";
    QTest::newRow("999.5 -> 1000") << 0 << 4 << 9999.0 << 999.5 << "1000";
}

void FloatEditTest::programFieldsText() {
    QFETCH(int, digits);
    QFETCH(int, precision);
    QFETCH(double, maxValue);
    QFETCH(double, value);
    QFETCH(QString, text);
    TFloatEdit field;
    Configure(field, FieldSetup{static_cast<uint8_t>(digits), static_cast<uint8_t>(precision), -0.1,
                                maxValue, 0});
    field.SetValue(value);
    QCOMPARE(field.Value(), value);
    QCOMPARE(field.text(), text);
}

void FloatEditTest::otherFormats_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("number groups thousands")
        << int(TFloatFormat::ffNumber) << 1234567.25 << "1,234,567.0";
    QTest::newRow("number, small") << int(TFloatFormat::ffNumber) << -12.0 << "-12.0";
    QTest::newRow("currency as number") << int(TFloatFormat::ffCurrency) << 1234.0 << "1,234.0";
    QTest::newRow("general") << int(TFloatFormat::ffGeneral) << 35.25 << "35.25";
    QTest::newRow("general, large") << int(TFloatFormat::ffGeneral) << 1.5e20 << "1.5e+20";
    QTest::newRow("exponent") << int(TFloatFormat::ffExponent) << 35.25 << "3.525000e+01";
}

void FloatEditTest::otherFormats() {
    QFETCH(int, format);
    QFETCH(double, value);
    QFETCH(QString, text);
    TFloatEdit field;
    field.SetMinMaxCheck(false);
    field.SetPrec(7);
    field.SetDigits(1);
    field.SetValue(value);
    field.SetFormat(static_cast<TFloatFormat>(format));
    QCOMPARE(field.text(), text);
}

void FloatEditTest::decimalCommaTypedOrPasted_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("typed 45,5") << "45,5" << false << 45.5 << "45.5";
    QTest::newRow("pasted 45,5") << "45,5" << true << 45.5 << "45.5";
    QTest::newRow("typed -0,5 clamps") << "-0,5" << false << -0.01 << "0.0";
    QTest::newRow("comma with exponent") << " 4,55e1 " << false << 45.5 << "45.5";
    QTest::newRow("point still works") << "45.26" << false << 45.26 << "45.3";
    QTest::newRow("point and comma stay invalid") << "1,234.5" << false << 20.0 << "20.0";
    QTest::newRow("two commas stay invalid") << "1,2,3" << true << 20.0 << "20.0";
}

void FloatEditTest::decimalCommaTypedOrPasted() {
    QFETCH(QString, typed);
    QFETCH(bool, paste);
    QFETCH(double, value);
    QFETCH(QString, text);
    TFloatEdit field;  // feTmax
    Configure(field, kTemperature);
    field.SetValue(20.0);
    ChangeLog log;
    log.Attach(field);
    if (paste) {
        QGuiApplication::clipboard()->setText(typed);
        field.selectAll();
        field.paste();
        QCOMPARE(field.text(), typed);
    } else {
        TypeText(field, typed);
    }
    QTest::keyClick(&field, Qt::Key_Return);
    QCOMPARE(field.Value(), value);
    QCOMPARE(field.text(), text);
    QVERIFY(!log.values.isEmpty());
}

QTEST_MAIN(FloatEditTest)
#include "FloatEditTest.moc"
