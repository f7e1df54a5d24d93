// The read-out text of a moving value: the same text ReadoutText gives for every value, next to
// each step of the text too, coming from either side and jumping about.
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ReadoutSpan.h"
#include "ReadoutText.h"

namespace {

// The values a few steps of the double either side of `value`, upwards.
QList<double> Around(double value) {
    double low = value;
    for (int i = 0; i < 4; ++i)
        low = std::nextafter(low, -std::numeric_limits<double>::infinity());
    QList<double> values;
    for (int i = 0; i < 9; ++i) {
        values.append(low);
        low = std::nextafter(low, std::numeric_limits<double>::infinity());
    }
    return values;
}

// Where the text steps, and numbers with a text of their own form.
const double kSteps[] = {25.35,  25.25, 0.05, -0.05, 0.0,    99.95,  100.5, 999.5,
                         -25.35, 9.95,  1.25, 12.25, -12.25, 1005.0, 1e5,   0.15};

}  // namespace

class ReadoutSpanTest : public QObject {
    Q_OBJECT

private slots:
    void sameTextAsReadoutTextRisingAndFalling() {
        for (double step : kSteps) {
            for (bool rising : {true, false}) {
                TReadoutSpan span;
                // Start well inside the text below (or above), then walk across the step.
                QList<double> values = {step - 0.03};
                values += Around(step);
                values.append(step + 0.03);
                if (!rising)
                    std::reverse(values.begin(), values.end());
                for (double value : values)
                    QCOMPARE(span.Text(value), ReadoutText(value));
            }
        }
    }

    // A value settling on a step from both sides, as an average does.
    void sameTextAsReadoutTextSettlingOnAStep() {
        for (double step : kSteps) {
            TReadoutSpan span;
            const QList<double> near = Around(step);
            for (int i = 0; i < 4; ++i) {
                QCOMPARE(span.Text(near[i]), ReadoutText(near[i]));
                QCOMPARE(span.Text(near[8 - i]), ReadoutText(near[8 - i]));
            }
            QCOMPARE(span.Text(near[4]), ReadoutText(near[4]));
        }
    }

    void sameTextAsReadoutTextForAWanderingValue() {
        QRandomGenerator random(2026);
        TReadoutSpan span;
        double value = 24.0;
        for (int i = 0; i < 20000; ++i) {
            value += (random.generateDouble() - 0.5) * 0.02;
            QCOMPARE(span.Text(value), ReadoutText(value));
        }
        for (int i = 0; i < 2000; ++i) {
            value = (random.generateDouble() - 0.5) * 3000.0;
            QCOMPARE(span.Text(value), ReadoutText(value));
        }
    }

    void notANumberAndInfinities() {
        TReadoutSpan span;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        for (double value : {25.3, nan, nan, 25.3, inf, -inf, inf, 0.0})
            QCOMPARE(span.Text(value), ReadoutText(value));
    }
};

QTEST_GUILESS_MAIN(ReadoutSpanTest)
#include "ReadoutSpanTest.moc"
