// The read-out texts of temperatures and fan voltages agree with the program's number
// formatter for every reading the controller can send, whichever way they are worked out.
#include <QTest>

#include "pages/Readouts.h"
#include "core/NumberFormat.h"

class ReadoutTextTest : public QObject {
    Q_OBJECT

private slots:
    void everyTemperatureReadingAsTheFormatterWritesIt() {
        for (int32_t tenths = -32768; tenths <= 32767; ++tenths) {
            const QString expected =
                QString::fromStdString(FormatReadout(TemperatureCelsius(tenths)));
            if (TemperatureText(tenths) != expected)
                QFAIL(qPrintable(QStringLiteral("%1 tenths: %2, not %3")
                                     .arg(tenths)
                                     .arg(TemperatureText(tenths), expected)));
        }
    }

    void everyFanVoltageAsTheFormatterWritesIt() {
        for (int32_t pwm = 0; pwm <= 255; ++pwm) {
            for (int pass = 0; pass < 2; ++pass)  // worked out, then remembered
                QCOMPARE(VoltageText(pwm), QString::fromStdString(FormatReadout(
                                               static_cast<double>(pwm * 12) / 255.0)));
        }
    }
};

QTEST_MAIN(ReadoutTextTest)
#include "ReadoutTextTest.moc"
