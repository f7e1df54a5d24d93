// Stored colours to Qt colours and back, system colours through the palette.
#include <QPalette>
#include <QTest>

#include "ColorConvert.h"

class ColorConvertTest : public QObject {
    Q_OBJECT

private slots:
    void plainColours();
    void systemColoursUsePalette();
    void specialValues();
};

void ColorConvertTest::plainColours() {
    // Red sits in the low byte of a stored colour.
    QCOMPARE(ToQColor(clRed), QColor(255, 0, 0));
    QCOMPARE(ToQColor(0x00408000u), QColor(0, 128, 64));
    QCOMPARE(ToQColor(0x00DDDDDDu), QColor(221, 221, 221));
    for (TColor c : {clBlack, clMaroon, clNavy, clSkyBlue, clCream, TColor{0x00123456u}}) {
        QCOMPARE(FromQColor(ToQColor(c)), c);
    }
    QCOMPARE(FromQColor(QColor(1, 2, 3, 40)), RGBColor(1, 2, 3));
}

void ColorConvertTest::systemColoursUsePalette() {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Button, QColor(10, 20, 30));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(250, 251, 252));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(1, 1, 1));
    QCOMPARE(ToQColor(clBtnFace, palette), QColor(10, 20, 30));
    QCOMPARE(ToQColor(clWindow, palette), QColor(250, 251, 252));
    QCOMPARE(ToQColor(clWindowText, palette), QColor(1, 1, 1));
    QCOMPARE(ToQColor(clScrollBar, palette), QColor(10, 20, 30));
    QCOMPARE(ToQColor(0x800000FFu, palette), QColor(Qt::black));  // no such system colour
}

void ColorConvertTest::specialValues() {
    QCOMPARE(ToQColor(clNone).alpha(), 0);
    QVERIFY(!ToQColor(clDefault).isValid());
    QCOMPARE(FromQColor(QColor()), clNone);
    QCOMPARE(ToQColor(0x02FF8000u), QColor(0, 128, 255));
}

QTEST_MAIN(ColorConvertTest)
#include "ColorConvertTest.moc"
