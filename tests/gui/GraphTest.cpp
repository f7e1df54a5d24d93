// The regulation curve graph, pixel by pixel: grid and tick marks, the curve's end points, the
// alarm mark, the NOT-XOR cursors that a second drawing removes, repaints; and setting the
// manual PWM with the mouse.
#include <QFrame>
#include <QMouseEvent>
#include <cmath>

#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "PaintBox.h"
#include "core/Params.h"
#include "pages/ChannelPage.h"
#include "pages/Readouts.h"
#include "widgets/CurveGraph.h"
#include "widgets/Floatedit.h"

namespace {

using TSetPwm = std::array<int32_t, 6>;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kGrid = 0xFFDDDDDD;
constexpr QRgb kRed = 0xFFFF0000;    // alarm mark and temperature cursor
constexpr QRgb kGray = 0xFF808080;   // the curve
constexpr QRgb kGreen = 0xFF008000;  // PWM cursor

// What NOT-XOR leaves on a pixel: the inverse of (pixel XOR pen).
QRgb NotXor(QRgb pixel, QRgb pen) {
    return 0xFF000000u | (~(pixel ^ pen) & 0x00FFFFFFu);
}

QRgb Pixel(TMainForm& form, int x, int y) {
    return form.ChannelPage().pbGraph->Canvas().pixel(x, y);
}

int CountColor(const QImage& image, const QRect& area, QRgb color) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == color ? 1 : 0;
    return count;
}

// Pixels of text in the number colour (black), smoothed edges included.
int CountDark(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return count;
}

// Channel 1's record and readings, then a full drawing. The cursors sit on column 228
// (95.0 degrees) and row 25 (PWM 242), away from what the tests look at.
void Draw(TMainForm& form, const TChannelParams& record, int32_t temperature = 950,
          int32_t pwm = 242) {
    form.State().Params->Active()->Channels[0] = record;
    form.State().Temperature[0] = temperature;
    form.State().Pwm[0] = pwm;
    form.ChannelPage().DrawGraph(0);
}

TChannelParams Curve(int32_t tMin, int32_t pwmMin, int32_t tMax, int32_t pwmMax) {
    TChannelParams record;
    record.T_min = tMin;
    record.PWM_min = pwmMin;
    record.T_max = tMax;
    record.PWM_max = pwmMax;
    return record;
}

// The device for the mouse tests: manual control on every channel with the PWM outputs 10, 20,
// ... 60, and forgets the start-up's calls.
TMainForm& OpenManual(TWindowRig& rig) {
    FakeDevice().Reset();
    for (int i = 0; i < 6; ++i)
        FakeDevice().records[i].pwm = 10 * (i + 1);
    TMainForm& form = rig.Open();
    form.ChannelPage().DrawGraph(form.State().SelectedChannel);
    FakeDevice().calls.clear();
    return form;
}

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               int x, int y) {
    const QPointF pos(x, y);
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Press(TMainForm& form, int y, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(form.ChannelPage().pbGraph, QEvent::MouseButtonPress, button, button, 100, y);
    SendMouse(form.ChannelPage().pbGraph, QEvent::MouseButtonRelease, button, Qt::NoButton, 100, y);
}

void Move(TMainForm& form, int y, Qt::MouseButtons buttons) {
    SendMouse(form.ChannelPage().pbGraph, QEvent::MouseMove, Qt::NoButton, buttons, 100, y);
}

// Whether the PWM cursor is drawn on `row`: erasing it changes that row and none beside it.
bool PwmCursorOnRow(TMainForm& form, int row) {
    const QImage before = form.ChannelPage().pbGraph->Canvas().copy();
    form.ChannelPage().DrawPwmCursor(form.ChannelPage().pbGraph->CursorPwm());
    const QImage erased = form.ChannelPage().pbGraph->Canvas().copy();
    form.ChannelPage().DrawPwmCursor(form.ChannelPage().pbGraph->CursorPwm());
    return erased.pixel(100, row) != before.pixel(100, row) &&
           erased.pixel(100, row - 1) == before.pixel(100, row - 1) &&
           erased.pixel(100, row + 1) == before.pixel(100, row + 1);
}

}  // namespace

class GraphTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FakeDevice().Reset(); }

    void gridCurveAndCursorPixels_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<uint>("color");
        // Grid lines stick out 3 pixels below and to the left; lines leave out their end point.
        QTest::newRow("tick below column 58") << 58 << 218 << uint(kGrid);
        QTest::newRow("under the tick") << 58 << 219 << uint(kWhite);
        QTest::newRow("vertical top, on row 15") << 58 << 15 << uint(kGrid);
        QTest::newRow("tick left of row 35") << 35 << 35 << uint(kGrid);
        QTest::newRow("left of the tick") << 34 << 35 << uint(kWhite);
        QTest::newRow("last column, row 35") << 238 << 35 << uint(kGrid);
        QTest::newRow("top right corner is left out") << 238 << 15 << uint(kWhite);
        QTest::newRow("row 15 ends at 237") << 237 << 15 << uint(kGrid);
        QTest::newRow("inside a cell") << 48 << 45 << uint(kWhite);
        QTest::newRow("background right of the plot") << 250 << 100 << uint(kWhite);
        // The curve: flat at row 175 to column 158, ramp to (198, 95), flat to column 237.
        QTest::newRow("curve start") << 38 << 175 << uint(kGray);
        QTest::newRow("curve at T_min") << 158 << 175 << uint(kGray);
        QTest::newRow("curve at T_max") << 198 << 95 << uint(kGray);
        QTest::newRow("curve before its end") << 237 << 95 << uint(kGray);
        QTest::newRow("curve end left out") << 238 << 95 << uint(kGrid);
        // Cursors on column 228 and row 25 in NOT-XOR.
        QTest::newRow("temperature cursor on white") << 228 << 50 << uint(kRed);
        QTest::newRow("temperature cursor on the grid") << 228 << 15 << uint(NotXor(kGrid, kRed));
        QTest::newRow("temperature cursor ends at 214") << 228 << 214 << uint(kRed);
        QTest::newRow("temperature cursor leaves out 215") << 228 << 215 << uint(kGrid);
        QTest::newRow("PWM cursor on white") << 100 << 25 << uint(kGreen);
        QTest::newRow("PWM cursor starts at 38") << 38 << 25 << uint(NotXor(kGrid, kGreen));
        QTest::newRow("PWM cursor leaves out 238") << 238 << 25 << uint(kGrid);
        QTest::newRow("cursors crossing") << 228 << 25 << uint(NotXor(kRed, kGreen));
    }

    void gridCurveAndCursorPixels() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(uint, color);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        Draw(form, Curve(600, 51, 800, 153));
        QCOMPARE(form.ChannelPage().pbGraph->Canvas().size(), QSize(262, 242));
        QCOMPARE(QString::number(Pixel(form, x, y), 16), QString::number(color, 16));
    }

    void axisNumbersAndUnits() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        Draw(form, Curve(600, 51, 800, 153));
        const QImage& image = form.ChannelPage().pbGraph->Canvas();
        // "0" under column 38 and left of row 215, "90" under column 218, the units.
        for (const QRect& text :
             {QRect(32, 223, 8, 10), QRect(15, 209, 8, 10), QRect(212, 223, 14, 10),
              QRect(232, 223, 12, 10), QRect(19, 9, 8, 10)})
            QVERIFY2(CountDark(image, text) > 0, qPrintable(QString::number(text.x())));
        // Nothing where the number 100 would stand.
        QCOMPARE(CountDark(image, QRect(15, 9, 3, 6)), 0);
    }

    void curveEndPoints_data() {
        QTest::addColumn<QList<int>>("record");  // T_min, PWM_min, T_max, PWM_max
        QTest::addColumn<QList<QPoint>>("onCurve");
        QTest::addColumn<QList<QPoint>>("offCurve");
        QTest::newRow("PWM 0 to 255")
            << QList<int>{200, 0, 600, 255}
            << QList<QPoint>{{38, 215}, {78, 215}, {118, 115}, {158, 15}, {237, 15}}
            << QList<QPoint>{{238, 15}, {119, 115}, {77, 214}};
        QTest::newRow("T_min equal to T_max: a vertical step")
            << QList<int>{500, 51, 500, 204}
            << QList<QPoint>{{38, 175}, {138, 175}, {138, 100}, {138, 56}, {138, 55}, {237, 55}}
            << QList<QPoint>{{139, 100}, {137, 100}, {238, 55}};
        QTest::newRow("beyond the scales: clipped")
            << QList<int>{-500, -100, 1500, 400} << QList<QPoint>{}
            << QList<QPoint>{{38, 100}, {100, 100}};
    }

    void curveEndPoints() {
        QFETCH(QList<int>, record);
        QFETCH(QList<QPoint>, onCurve);
        QFETCH(QList<QPoint>, offCurve);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        Draw(form, Curve(record[0], record[1], record[2], record[3]));
        for (const QPoint& p : onCurve)
            QVERIFY2(Pixel(form, p.x(), p.y()) == kGray,
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        for (const QPoint& p : offCurve)
            QVERIFY2(Pixel(form, p.x(), p.y()) != kGray,
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    }

    void alarmMarkOnlyWithTa_data() {
        QTest::addColumn<bool>("ta");
        QTest::newRow("Ta on") << true;
        QTest::newRow("Ta off") << false;
    }

    void alarmMarkOnlyWithTa() {
        QFETCH(bool, ta);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        TChannelParams record = Curve(600, 51, 800, 153);
        record.T_alarm = 450;  // column 128
        record.Ta = ta ? 1 : 0;
        Draw(form, record);
        for (int y = 215; y <= 219; ++y)
            QCOMPARE(Pixel(form, 128, y), ta ? kRed : (y == 215 ? kGrid : kWhite));
        QCOMPARE(Pixel(form, 128, 220), kWhite);
        QCOMPARE(Pixel(form, 128, 214), kWhite);
        QCOMPARE(CountColor(form.ChannelPage().pbGraph->Canvas(), QRect(0, 215, 262, 6), kRed),
                 ta ? 5 : 0);
    }

    void cursorDrawnTwiceRestoresThePicture() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        Draw(form, Curve(200, 0, 600, 255));
        const QImage picture = form.ChannelPage().pbGraph->Canvas().copy();
        for (int32_t temperature : {-50, 0, 253, 1000, 5000}) {
            form.ChannelPage().DrawTempCursor(temperature);
            QVERIFY(form.ChannelPage().pbGraph->Canvas() != picture || temperature == 5000);
            form.ChannelPage().DrawTempCursor(temperature);
            QCOMPARE(form.ChannelPage().pbGraph->Canvas(), picture);
        }
        for (int32_t pwm : {0, 1, 128, 255, 300}) {
            form.ChannelPage().DrawPwmCursor(pwm);
            QVERIFY(form.ChannelPage().pbGraph->Canvas() != picture || pwm == 300);
            form.ChannelPage().DrawPwmCursor(pwm);
            QCOMPARE(form.ChannelPage().pbGraph->Canvas(), picture);
        }
        // A reading of 0 or below puts the temperature cursor on column 38.
        form.ChannelPage().DrawTempCursor(-50);
        QCOMPARE(Pixel(form, 38, 100), NotXor(picture.pixel(38, 100), kRed));
        QCOMPARE(Pixel(form, 39, 100), picture.pixel(39, 100));
    }

    void refreshMovesTheCursors() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        Draw(form, Curve(200, 0, 600, 255), 300, 100);
        QCOMPARE(form.ChannelPage().pbGraph->CursorT(), 300);
        QCOMPARE(form.ChannelPage().pbGraph->CursorPwm(), 100);
        form.State().Temperature[0] = 455;
        form.State().Pwm[0] = 200;
        form.ChannelPage().UpdateChannelPage(0);
        QCOMPARE(form.ChannelPage().pbGraph->CursorT(), 455);
        QCOMPARE(form.ChannelPage().pbGraph->CursorPwm(), 200);
        const QImage moved = form.ChannelPage().pbGraph->Canvas().copy();
        form.ChannelPage().DrawGraphPicture(0);
        QCOMPARE(moved, form.ChannelPage().pbGraph->Canvas());
    }

    void repaintRedrawsWithFreshCursors() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsChannel);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Draw(form, Curve(200, 0, 600, 255), 300, 100);
        form.State().Temperature[0] = 700;
        form.ChannelPage().pbGraph->Canvas().fill(Qt::black);
        form.ChannelPage().pbGraph->repaint();
        QCOMPARE(form.ChannelPage().pbGraph->CursorT(), 700);
        const QImage painted = form.ChannelPage().pbGraph->Canvas().copy();
        Draw(form, Curve(200, 0, 600, 255), 700, 100);
        QCOMPARE(painted, form.ChannelPage().pbGraph->Canvas());
    }

    void pressSetsTheManualPwm_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("button");
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("pwm");
        QTest::newRow("row 115: 50 %, 128") << 115 << int(Qt::LeftButton) << 50.0 << 128;
        QTest::newRow("right button") << 115 << int(Qt::RightButton) << 50.0 << 128;
        QTest::newRow("middle button") << 65 << int(Qt::MiddleButton) << 75.0 << 191;
        QTest::newRow("row 15: 100 %") << 15 << int(Qt::LeftButton) << 100.0 << 255;
        QTest::newRow("row 215: 0 %") << 215 << int(Qt::LeftButton) << 0.0 << 0;
        QTest::newRow("row 214: 0.5 %") << 214 << int(Qt::LeftButton) << 0.5 << 1;
    }

    void pressSetsTheManualPwm() {
        QFETCH(int, row);
        QFETCH(int, button);
        QFETCH(double, percent);
        QFETCH(int, pwm);
        TWindowRig rig;
        TMainForm& form = OpenManual(rig);
        QVERIFY(!form.ChannelPage().fePx->isReadOnly());
        Press(form, row, static_cast<Qt::MouseButton>(button));
        // The field shows the PWM as stored: 50 % of the row is 128, which is 50.2 %.
        QVERIFY(std::abs(form.ChannelPage().fePx->Value() - percent) < 0.2);
        QCOMPARE(form.ChannelPage().fePx->Value(), PwmPercent(pwm));
        QCOMPARE(form.State().Pwm[0], pwm);
        QCOMPARE(FakeDevice().setPwm, (std::vector<TSetPwm>{{pwm, 20, 30, 40, 50, 60}}));
        QVERIFY(form.State().Changed[0]);
        QCOMPARE(form.ChannelPage().pbGraph->CursorPwm(), pwm);
        QVERIFY(PwmCursorOnRow(form, row));
        // The picture is the one a full drawing makes with the new reading.
        const QImage after = form.ChannelPage().pbGraph->Canvas().copy();
        form.ChannelPage().DrawGraphPicture(0);
        QCOMPARE(after, form.ChannelPage().pbGraph->Canvas());
    }

    void pressOutsideThePlotChangesNothing_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("row 14") << 14;
        QTest::newRow("row 216") << 216;
        QTest::newRow("row 0") << 0;
    }

    void pressOutsideThePlotChangesNothing() {
        QFETCH(int, row);
        TWindowRig rig;
        TMainForm& form = OpenManual(rig);
        const double before = form.ChannelPage().fePx->Value();
        Press(form, row);
        QCOMPARE(form.ChannelPage().fePx->Value(), before);
        QCOMPARE(form.State().Pwm[0], 10);
        QVERIFY(FakeDevice().setPwm.empty());
        QVERIFY(!form.State().Changed[0]);
    }

    void dragFollowsThePointerWhileTheLeftButtonIsHeld() {
        TWindowRig rig;
        TMainForm& form = OpenManual(rig);
        SendMouse(form.ChannelPage().pbGraph, QEvent::MouseButtonPress, Qt::LeftButton,
                  Qt::LeftButton, 100, 115);
        QCOMPARE(form.State().Pwm[0], 128);
        Move(form, 65, Qt::LeftButton);
        QCOMPARE(form.ChannelPage().fePx->Value(), PwmPercent(191));
        QCOMPARE(form.State().Pwm[0], 191);
        // Beyond the plot: 100 % above it, 0 % below it.
        Move(form, 5, Qt::LeftButton);
        QCOMPARE(form.State().Pwm[0], 255);
        Move(form, 300, Qt::LeftButton | Qt::RightButton);
        QCOMPARE(form.State().Pwm[0], 0);
        QVERIFY(PwmCursorOnRow(form, 215));
        // Without the left button a move changes nothing.
        const size_t sent = FakeDevice().setPwm.size();
        Move(form, 100, Qt::NoButton);
        Move(form, 100, Qt::RightButton);
        QCOMPARE(form.State().Pwm[0], 0);
        QCOMPARE(FakeDevice().setPwm.size(), sent);
        QCOMPARE(FakeDevice().setPwm.back(), (TSetPwm{0, 20, 30, 40, 50, 60}));
    }

    void automaticControlIgnoresTheMouseButTakesTheFocus() {
        FakeDevice().Reset();
        FakeDevice().records[0] = {2, 200, 0, 600, 255, 0, 0, 0};
        FakeDevice().pwm[0] = 77;
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsChannel);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        FakeDevice().calls.clear();
        QVERIFY(form.ChannelPage().fePx->isReadOnly());
        form.ChannelPage().fePx->setFocus(Qt::TabFocusReason);
        Press(form, 115);
        Move(form, 50, Qt::LeftButton);
        QCOMPARE(form.State().Pwm[0], 77);
        QVERIFY(FakeDevice().calls.empty());
        QVERIFY(!form.State().Changed[0]);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.ChannelPage().Panel1));
    }

    void pressLeavesTheFieldBeingEdited() {
        TWindowRig rig;
        TMainForm& form = OpenManual(rig);
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsChannel);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.ChannelPage().feTmax->setFocus(Qt::TabFocusReason);
        form.ChannelPage().feTmax->selectAll();
        QTest::keyClicks(form.ChannelPage().feTmax, QStringLiteral("33"));
        Press(form, 115);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.ChannelPage().Panel1));
        QCOMPARE(form.ChannelPage().feTmax->text(), QStringLiteral("33.0"));
        QCOMPARE(FakeDevice().setM.size(), size_t(1));
        QCOMPARE(FakeDevice().setM[0][4], 330);
        QCOMPARE(FakeDevice().setPwm.back(), (TSetPwm{128, 20, 30, 40, 50, 60}));
    }
};

KELVANE_GUI_TEST_MAIN(GraphTest)
#include "GraphTest.moc"
