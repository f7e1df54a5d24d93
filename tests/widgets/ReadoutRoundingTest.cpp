// Read-out texts by integer rounding: the same text FormatReadout gives for every value below
// 999.5, next to each step of the text above all (ties round away from zero on the exact
// binary value), and no text for the values it leaves to FormatReadout.
#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <limits>

#include "ReadoutRounding.h"
#include "core/NumberFormat.h"

namespace {

QString Expected(double value) {
    return QString::fromStdString(FormatReadout(value));
}

// Whether the rounding gives FormatReadout's text for `value` and its neighbouring doubles.
bool SameAround(double value, QString* failure) {
    double probe = value;
    for (int i = 0; i < 2; ++i)
        probe = std::nextafter(probe, -std::numeric_limits<double>::infinity());
    for (int i = 0; i < 5; ++i) {
        QString text;
        if (!RoundedReadoutText(probe, text) || text != Expected(probe)) {
            *failure = QStringLiteral("%1: \"%2\", expected \"%3\"")
                           .arg(probe, 0, 'g', 17)
                           .arg(text, Expected(probe));
            return false;
        }
        probe = std::nextafter(probe, std::numeric_limits<double>::infinity());
    }
    return true;
}

}  // namespace

class ReadoutRoundingTest : public QObject {
    Q_OBJECT

private slots:
    // Every step between tenths below 100 and between units from 100, both signs.
    void sameTextAsFormatReadoutAtEveryStep() {
        QString failure;
        for (int k = 0; k < 2000; ++k) {
            const double step = (2 * k + 1) / 20.0;  // 0.05, 0.15, ... 99.95
            QVERIFY2(SameAround(step, &failure), qPrintable(failure));
            QVERIFY2(SameAround(-step, &failure), qPrintable(failure));
            QVERIFY2(SameAround(k / 10.0, &failure), qPrintable(failure));
            QVERIFY2(SameAround(-k / 10.0, &failure), qPrintable(failure));
        }
        for (int k = 100; k < 999; ++k) {
            QVERIFY2(SameAround(k + 0.5, &failure), qPrintable(failure));
            QVERIFY2(SameAround(-(k + 0.5), &failure), qPrintable(failure));
            QVERIFY2(SameAround(k, &failure), qPrintable(failure));
        }
    }

    void sameTextAsFormatReadoutForAnyValue() {
        QRandomGenerator random(999);
        for (int i = 0; i < 30000; ++i) {
            // Spread over the magnitudes: tiny, around one, tens, hundreds.
            const double magnitude = std::pow(10.0, random.generateDouble() * 9.0 - 6.0);
            double value = random.bounded(2) == 0 ? magnitude : -magnitude;
            if (i % 3 == 0)
                value = static_cast<float>(value);  // a temperature as the history keeps it
            if (!(std::fabs(value) < 999.5))
                continue;
            QString text;
            QVERIFY(RoundedReadoutText(value, text));
            QCOMPARE(text, Expected(value));
        }
    }

    void zerosAndTheSmallest() {
        const double values[] = {0.0,
                                 -0.0,
                                 std::numeric_limits<double>::denorm_min(),
                                 -std::numeric_limits<double>::denorm_min(),
                                 std::numeric_limits<double>::min(),
                                 1e-300,
                                 -0.04999,
                                 0.05,
                                 -0.05,
                                 99.95,
                                 99.94999999999999,
                                 999.4999999999999,
                                 -999.49};
        for (double value : values) {
            QString text;
            QVERIFY(RoundedReadoutText(value, text));
            QCOMPARE(text, Expected(value));
        }
    }

    void leavesOtherValuesAlone() {
        const double values[] = {999.5,
                                 -999.5,
                                 1000.0,
                                 1e300,
                                 std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN()};
        for (double value : values) {
            QString text = QStringLiteral("kept");
            QVERIFY(!RoundedReadoutText(value, text));
            QCOMPARE(text, QStringLiteral("kept"));
        }
    }
};

QTEST_GUILESS_MAIN(ReadoutRoundingTest)
#include "ReadoutRoundingTest.moc"
