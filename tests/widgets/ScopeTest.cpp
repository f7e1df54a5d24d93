// Pixels, timer and lines of the scope display, ticked by hand.
#include <QProperty>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <climits>
#include <memory>

#include "ColorConvert.h"
#include "Jvsimscope.h"
#include "core/Exceptions.h"

namespace {

QRgb Rgb(TColor c) {
    return ToQColor(c).rgb();
}

// A scope with a parent (so UpdateDisplay works), set up as the History page does.
struct Rig {
    QWidget host;
    TJvSimScope* scope;
    Rig(int width, int height, int baseLine = 0, int gridSize = 12) {
        scope = new TJvSimScope(&host);
        scope->SetBounds(0, 0, width, height);
        scope->SetBaseLine(baseLine);
        scope->SetGridSize(gridSize);
    }
    QRgb At(int x, int y) const { return scope->Picture().pixel(x, y); }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            scope->UpdateScope();
        }
    }
    int CountColor(QRgb color) const {
        int n = 0;
        const QImage& p = scope->Picture();
        for (int y = 0; y < p.height(); ++y) {
            for (int x = 0; x < p.width(); ++x) {
                n += p.pixel(x, y) == color ? 1 : 0;
            }
        }
        return n;
    }
    // The rows of column x in the given colour.
    QList<int> RowsInColumn(int x, QRgb color) const {
        QList<int> rows;
        for (int y = 0; y < scope->Picture().height(); ++y) {
            if (At(x, y) == color) {
                rows << y;
            }
        }
        return rows;
    }
};

// The empty picture with the base line below the picture: grid columns every G pixels from the
// right edge (column W-1), grid rows at H - k*G, background elsewhere.
QImage EmptyGridPicture(int w, int h, int g) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool grid = (w - 1 - x) % g == 0 || (h - y) % g == 0;
            img.setPixel(x, y, grid ? Rgb(clGreen) : Rgb(clBlack));
        }
    }
    return img;
}

}  // namespace

class ScopeTest : public QObject {
    Q_OBJECT

private slots:
    void defaults();
    void clearWithBaseLineZero();
    void clearWithBaseLineInside();
    void baseYRoundsHalfToEven_data();
    void baseYRoundsHalfToEven();
    void tickScrollsTwoColumnsAndErasesStrip();
    void verticalGridEveryHalfGridTicks();
    void gridSizeOneNeverDrawsVerticalLines();
    void traceRows_data();
    void traceRows();
    void traceAtPositionZeroIsInvisible();
    void colourChangeAffectsLaterSegmentsOnly();
    void backgroundChangeDoesNotClear();
    void resizeStartsFreshPicture();
    void resizeWhileHiddenStartsFreshPictureBeforeNextTick();
    void farAwayRowsAreClippedNotOverflowed();
    void gridSizeRules();
    void updateDisplayNeedsParent();
    void timerFollowsActiveAndInterval();
    void sameValueDoesNotRestartTimer();
    void timerTicksDriveOnUpdate();
    void onUpdateLagsByOneTickAndNeverReenters();
    void exceptionFromOnUpdateLeavesWidgetUsable();
    void emptyWidgetStillRaisesOnUpdate();
    void linesCollection();
    void setLinesCopiesAndClears();
    void hiddenTicksCatchUpToTheSamePicture();
};

void ScopeTest::defaults() {
    TJvSimScope scope;
    QCOMPARE(scope.width(), 208);
    QCOMPARE(scope.height(), 120);
    QCOMPARE(scope.Color(), clBlack);
    QCOMPARE(scope.GridColor(), clGreen);
    QCOMPARE(scope.BaseColor(), clRed);
    QCOMPARE(scope.BaseLine(), 50);
    QCOMPARE(scope.GridSize(), 16);
    QCOMPARE(scope.Interval(), 50);
    QCOMPARE(scope.Active(), false);
    QCOMPARE(scope.Lines().Count(), 0);
    QCOMPARE(scope.TickCount(), 1);
    QCOMPARE(scope.BaseY(), 60);
    QVERIFY(scope.Ready());
    QVERIFY(scope.testAttribute(Qt::WA_OpaquePaintEvent));
    auto* timer = scope.findChild<QTimer*>();
    QVERIFY(timer != nullptr);
    QCOMPARE(timer->interval(), 500);
    QVERIFY(!timer->isActive());
}

void ScopeTest::clearWithBaseLineZero() {
    // The History page's scope: 416 x 223, base line 0, grid 12.
    Rig rig(416, 223);
    QCOMPARE(rig.scope->BaseY(), 223);
    QCOMPARE(rig.scope->Picture().size(), QSize(416, 223));
    QCOMPARE(rig.scope->Picture(), EmptyGridPicture(416, 223, 12));
    // Spot checks of the same rule: right edge column, rows H-12 and H-24, no base line visible.
    QCOMPARE(rig.At(415, 5), Rgb(clGreen));
    QCOMPARE(rig.At(414, 5), Rgb(clBlack));
    QCOMPARE(rig.At(403, 5), Rgb(clGreen));
    QCOMPARE(rig.At(5, 211), Rgb(clGreen));
    QCOMPARE(rig.At(5, 199), Rgb(clGreen));
    QCOMPARE(rig.At(5, 222), Rgb(clBlack));
    QCOMPARE(rig.CountColor(Rgb(clRed)), 0);
}

void ScopeTest::clearWithBaseLineInside() {
    Rig rig(100, 120, 50, 16);
    QCOMPARE(rig.scope->BaseY(), 60);
    // The base row is the base colour across the whole width, grid lines at 60 +- 16k.
    for (int x = 0; x < 100; ++x) {
        QCOMPARE(rig.At(x, 60), Rgb(clRed));
    }
    QCOMPARE(rig.RowsInColumn(10, Rgb(clGreen)), (QList<int>{12, 28, 44, 76, 92, 108}));
    QCOMPARE(rig.RowsInColumn(99, Rgb(clRed)), QList<int>{60});
    QCOMPARE(rig.RowsInColumn(99, Rgb(clGreen)).size(), 119);
}

void ScopeTest::baseYRoundsHalfToEven_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("baseLine");
    QTest::addColumn<int>("baseY");
    QTest::newRow("0.5 -> 0") << 50 << 1 << 50;
    QTest::newRow("1.5 -> 2") << 50 << 3 << 48;
    QTest::newRow("2.5 -> 2") << 50 << 5 << 48;
    QTest::newRow("3.5 -> 4") << 50 << 7 << 46;
    QTest::newRow("-0.5 -> 0") << 50 << -1 << 50;
    QTest::newRow("-1.5 -> -2") << 50 << -3 << 52;
    QTest::newRow("100 %") << 223 << 100 << 0;
    QTest::newRow("above the picture") << 100 << 150 << -50;
}

void ScopeTest::baseYRoundsHalfToEven() {
    QFETCH(int, height);
    QFETCH(int, baseLine);
    QFETCH(int, baseY);
    Rig rig(40, height, baseLine, 1000);
    QCOMPARE(rig.scope->BaseY(), baseY);
    if (baseY >= 0 && baseY < height) {
        QCOMPARE(rig.RowsInColumn(20, Rgb(clRed)), QList<int>{baseY});
    } else {
        QCOMPARE(rig.CountColor(Rgb(clRed)), 0);
    }
}

void ScopeTest::tickScrollsTwoColumnsAndErasesStrip() {
    Rig rig(60, 50, 50, 16);
    // Mark the picture so the scroll can be followed: a trace that climbs, then a tick.
    TJvScopeLine* line = rig.scope->Lines().Add();
    line->Position = 90;
    rig.Tick(3);
    const QImage before = rig.scope->Picture();
    line->Position = 10;
    rig.Tick();
    const QImage& after = rig.scope->Picture();
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 58; ++x) {
            QCOMPARE(after.pixel(x, y), before.pixel(x + 2, y));
        }
    }
    // The strip: background except the grid rows, the base row and the trace. The trace at the
    // last tick stood on row 5 (90 % of 50) and goes towards row 45 (10 %).
    QCOMPARE(rig.scope->BaseY(), 25);
    for (int x = 58; x < 60; ++x) {
        for (int y = 0; y < 50; ++y) {
            const QRgb c = after.pixel(x, y);
            if (c == Rgb(clLime)) {
                continue;
            }
            if (y == 25) {
                QCOMPARE(c, Rgb(clRed));
            } else {
                QCOMPARE(c, (25 - y) % 16 == 0 ? Rgb(clGreen) : Rgb(clBlack));
            }
        }
    }
    // The new segment runs from (58, 5) towards (60, 45): a quarter on each of columns 58 and 60
    // and half on 59; column 60 lies outside the picture.
    QCOMPARE(rig.RowsInColumn(58, Rgb(clLime)), (QList<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    QCOMPARE(rig.RowsInColumn(59, Rgb(clLime)).first(), 15);
    QCOMPARE(rig.RowsInColumn(59, Rgb(clLime)).last(), 34);
    QCOMPARE(rig.RowsInColumn(59, Rgb(clLime)).size(), 20);
    QCOMPARE(line->PrevY, 5);
    QCOMPARE(line->LastY, 45);
    // The next tick redraws that segment two columns further left, now whole: one pixel in each
    // of its rows 5 to 44.
    rig.Tick();
    int pixels = 0;
    for (int x = 56; x <= 58; ++x) {
        for (int y : rig.RowsInColumn(x, Rgb(clLime))) {
            pixels += (y >= 5 && y <= 44) ? 1 : 0;
        }
    }
    QCOMPARE(pixels, 40);
    QCOMPARE(rig.RowsInColumn(57, Rgb(clLime)).first(), 15);
    QCOMPARE(rig.RowsInColumn(58, Rgb(clLime)).first(), 35);
}

void ScopeTest::verticalGridEveryHalfGridTicks() {
    Rig rig(416, 223);
    const QImage cleared = rig.scope->Picture();
    rig.Tick(5);
    // Five ticks: the grid moved 10 columns and the right edge has no vertical line yet.
    QCOMPARE(rig.RowsInColumn(415, Rgb(clGreen)).size(), 223 / 12);
    QCOMPARE(rig.RowsInColumn(405, Rgb(clGreen)).size(), 223);
    QCOMPARE(rig.scope->TickCount(), 6);
    // The sixth tick draws it, 12 columns after the previous one: the picture is the empty grid
    // again, aligned with the one that Clear drew.
    rig.Tick();
    QCOMPARE(rig.scope->TickCount(), 1);
    QCOMPARE(rig.scope->Picture(), cleared);
    rig.Tick(6);
    QCOMPARE(rig.scope->Picture(), cleared);
}

void ScopeTest::gridSizeOneNeverDrawsVerticalLines() {
    Rig rig(30, 20, 0, 1);
    for (int i = 1; i <= 50; ++i) {
        rig.Tick();
        QCOMPARE(rig.scope->TickCount(), i + 1);
    }
    // With GridSize 2 the tick count does wrap (G div 2 = 1): a line every tick.
    Rig two(30, 20, 0, 2);
    two.Tick(3);
    QCOMPARE(two.scope->TickCount(), 1);
}

void ScopeTest::traceRows_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("row");  // -1: not in the picture
    QTest::newRow("100 % is the top row") << 223 << 100 << 0;
    QTest::newRow("50 % of 223 (111.5 rounds to 112)") << 223 << 50 << 111;
    QTest::newRow("0.5 rounds to 0") << 50 << 1 << -1;
    QTest::newRow("1.5 rounds to 2") << 50 << 3 << 48;
    QTest::newRow("2.5 rounds to 2") << 50 << 5 << 48;
    QTest::newRow("3.5 rounds to 4") << 50 << 7 << 46;
    QTest::newRow("99 % of 100") << 100 << 99 << 1;
    QTest::newRow("above 100 % is above the picture") << 100 << 101 << -1;
    QTest::newRow("below 0 is below the picture") << 100 << -5 << -1;
}

void ScopeTest::traceRows() {
    QFETCH(int, height);
    QFETCH(int, position);
    QFETCH(int, row);
    Rig rig(40, height);
    TJvScopeLine* line = rig.scope->Lines().Add();
    line->Position = position;
    rig.Tick(3);
    // After a few ticks at the same position the newest columns hold one pixel of the trace.
    const QList<int> expected = row < 0 ? QList<int>{} : QList<int>{row};
    QCOMPARE(rig.RowsInColumn(39, Rgb(clLime)), expected);
    QCOMPARE(rig.RowsInColumn(38, Rgb(clLime)), expected);
    QCOMPARE(rig.RowsInColumn(37, Rgb(clLime)), expected);
}

void ScopeTest::traceAtPositionZeroIsInvisible() {
    Rig rig(80, 60);
    for (int i = 0; i < 6; ++i) {
        rig.scope->Lines().Add()->Position = 0;
    }
    rig.scope->Clear();  // new lines start at row 0; the traces start from the base line
    rig.Tick(20);
    QCOMPARE(rig.CountColor(Rgb(clLime)), 0);
    QCOMPARE(rig.scope->Lines().GetItem(0)->LastY, 60);
}

void ScopeTest::colourChangeAffectsLaterSegmentsOnly() {
    Rig rig(40, 50);
    TJvScopeLine* line = rig.scope->Lines().Add();
    line->Position = 100;
    rig.Tick(4);
    QCOMPARE(rig.RowsInColumn(35, Rgb(clLime)), QList<int>{0});
    line->Color = clFuchsia;
    rig.Tick();
    // The new tick draws columns 38, 39 and redraws the end of the previous segment (36, 37);
    // what scrolled further left keeps the old colour.
    for (int x = 36; x < 40; ++x) {
        QCOMPARE(rig.At(x, 0), Rgb(clFuchsia));
    }
    for (int x = 32; x < 36; ++x) {
        QCOMPARE(rig.At(x, 0), Rgb(clLime));
    }
}

void ScopeTest::backgroundChangeDoesNotClear() {
    Rig rig(40, 50);
    rig.scope->SetColor(clWhite);
    QCOMPARE(rig.At(10, 10), Rgb(clBlack));
    rig.Tick();
    QCOMPARE(rig.At(38, 10), Rgb(clWhite));
    QCOMPARE(rig.At(39, 10), Rgb(clWhite));
    QCOMPARE(rig.At(36, 10), Rgb(clBlack));
    rig.scope->Clear();
    QCOMPARE(rig.At(10, 10), Rgb(clWhite));
}

void ScopeTest::resizeStartsFreshPicture() {
    Rig rig(120, 60);
    TJvScopeLine* line = rig.scope->Lines().Add();
    line->Position = 70;
    rig.Tick(10);
    QVERIFY(rig.CountColor(Rgb(clLime)) > 0);
    rig.scope->SetBounds(0, 0, 96, 48);
    QCOMPARE(rig.scope->Picture(), EmptyGridPicture(96, 48, 12));
    QCOMPARE(rig.scope->TickCount(), 1);
    QCOMPARE(line->PrevY, 48);
    QCOMPARE(line->LastY, 48);
    // A visible widget resized by its parent's layout starts afresh at once too.
    rig.host.show();
    rig.Tick(3);
    QVERIFY(rig.CountColor(Rgb(clLime)) > 0);
    rig.scope->resize(84, 36);
    QCOMPARE(rig.scope->Picture(), EmptyGridPicture(84, 36, 12));
}

void ScopeTest::resizeWhileHiddenStartsFreshPictureBeforeNextTick() {
    // Qt delivers a hidden widget's resize later; the tick must not draw on a stale picture.
    Rig rig(120, 60);
    TJvScopeLine* line = rig.scope->Lines().Add();
    line->Position = 70;
    rig.Tick(10);
    rig.scope->resize(100, 40);
    rig.Tick();
    QCOMPARE(rig.scope->Picture().size(), QSize(100, 40));
    QCOMPARE(line->PrevY, 40);  // the trace started again from the base line
    QCOMPARE(rig.scope->TickCount(), 2);
    // Showing the page afterwards keeps what was drawn since.
    const QImage drawn = rig.scope->Picture();
    rig.host.show();
    QCOMPARE(rig.scope->Picture(), drawn);
}

void ScopeTest::farAwayRowsAreClippedNotOverflowed() {
    Rig rig(40, 223);
    rig.scope->SetBaseLine(INT_MAX);
    QCOMPARE(rig.scope->BaseY(), INT_MIN);
    TJvScopeLine* up = rig.scope->Lines().Add();
    TJvScopeLine* down = rig.scope->Lines().Add();
    up->Position = INT_MAX;
    down->Position = INT_MIN;
    down->Color = clAqua;
    rig.scope->Clear();
    rig.Tick();
    // From far above to far below: one pixel in every row of the strip.
    QCOMPARE(rig.RowsInColumn(38, Rgb(clAqua)).size() + rig.RowsInColumn(39, Rgb(clAqua)).size(),
             223);
    rig.Tick(2);
    QCOMPARE(up->LastY, INT_MIN);
    QCOMPARE(down->LastY, INT_MAX);
    QCOMPARE(rig.CountColor(Rgb(clLime)), 0);
}

void ScopeTest::gridSizeRules() {
    Rig rig(60, 48, 0, 12);
    rig.Tick(3);
    const QImage ticked = rig.scope->Picture();
    rig.scope->SetGridSize(0);
    rig.scope->SetGridSize(-4);
    QCOMPARE(rig.scope->GridSize(), 12);
    QCOMPARE(rig.scope->Picture(), ticked);
    rig.scope->SetGridSize(12);  // same value: no clear
    QCOMPARE(rig.scope->Picture(), ticked);
    rig.scope->SetGridSize(8);
    QCOMPARE(rig.scope->Picture(), EmptyGridPicture(60, 48, 8));
}

void ScopeTest::updateDisplayNeedsParent() {
    TJvSimScope scope;  // no parent: base line and grid changes do not clear
    scope.Clear();
    scope.Lines().Add()->Position = 100;
    scope.UpdateScope();
    scope.UpdateScope();
    const QImage ticked = scope.Picture();
    scope.SetGridSize(10);
    scope.SetBaseLine(20);
    QCOMPARE(scope.Picture(), ticked);
    QCOMPARE(scope.BaseY(), 96);
    scope.Clear();
    QVERIFY(scope.Picture() != ticked);
}

void ScopeTest::timerFollowsActiveAndInterval() {
    TJvSimScope scope;
    auto* timer = scope.findChild<QTimer*>();
    scope.SetInterval(100);
    QVERIFY(!timer->isActive());
    scope.SetActive(true);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    scope.SetInterval(7);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 70);
    scope.SetInterval(0);  // a period of 0 never fires
    QVERIFY(scope.Active());
    QVERIFY(!timer->isActive());
    scope.SetInterval(-3);
    QVERIFY(!timer->isActive());
    scope.SetInterval(100);
    QVERIFY(timer->isActive());
    scope.SetActive(false);
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 1000);
}

void ScopeTest::sameValueDoesNotRestartTimer() {
    TJvSimScope scope;
    auto* timer = scope.findChild<QTimer*>();
    scope.SetInterval(100);
    scope.SetActive(true);
    // Every start or stop of the timer notifies its "active" property.
    int changes = 0;
    const QPropertyNotifier notifier = timer->bindableActive().addNotifier([&] { ++changes; });
    scope.SetActive(true);
    scope.SetInterval(100);
    QCOMPARE(changes, 0);
    QVERIFY(timer->isActive());
    scope.SetActive(false);
    QVERIFY(changes > 0);
    changes = 0;
    scope.SetActive(true);  // activating starts a full new period
    QVERIFY(changes > 0);
    QVERIFY(timer->remainingTime() > 900);
}

void ScopeTest::timerTicksDriveOnUpdate() {
    TJvSimScope scope;
    int ticks = 0;
    scope.OnUpdate = [&](QObject* sender) {
        QCOMPARE(sender, &scope);
        ++ticks;
    };
    scope.SetInterval(1);
    scope.SetActive(true);
    QTRY_VERIFY(ticks >= 2);
    scope.SetActive(false);
    const int stopped = ticks;
    QCoreApplication::processEvents();
    QCOMPARE(ticks, stopped);
}

void ScopeTest::onUpdateLagsByOneTickAndNeverReenters() {
    Rig rig(40, 100);
    TJvScopeLine* line = rig.scope->Lines().Add();
    line->Position = 0;
    int calls = 0;
    rig.scope->OnUpdate = [&](QObject*) {
        ++calls;
        // The drawing of the tick is finished when the handler runs.
        QCOMPARE(line->LastY, calls == 1 ? 100 : 20);
        line->Position = 80;
        rig.scope->UpdateScope();  // a nested tick is dropped
    };
    rig.Tick();
    QCOMPARE(calls, 1);
    rig.Tick();
    QCOMPARE(calls, 2);
    QCOMPARE(line->LastY, 20);
}

void ScopeTest::exceptionFromOnUpdateLeavesWidgetUsable() {
    Rig rig(40, 100);
    int calls = 0;
    rig.scope->OnUpdate = [&](QObject*) {
        ++calls;
        throw Exception("handler failed");
    };
    QVERIFY_THROWS_EXCEPTION(Exception, rig.scope->UpdateScope());
    QVERIFY_THROWS_EXCEPTION(Exception, rig.scope->UpdateScope());
    QCOMPARE(calls, 2);
    QCOMPARE(rig.scope->TickCount(), 3);
}

void ScopeTest::emptyWidgetStillRaisesOnUpdate() {
    Rig rig(0, 0);
    int calls = 0;
    rig.scope->OnUpdate = [&](QObject*) { ++calls; };
    rig.scope->Lines().Add();
    rig.Tick(2);
    QCOMPARE(calls, 2);
}

void ScopeTest::linesCollection() {
    TJvSimScope scope;
    TJvScopeLines& lines = scope.Lines();
    QCOMPARE(lines.Owner(), &scope);
    TJvScopeLine* first = lines.Add();
    QCOMPARE(first->Position, 50);
    QCOMPARE(first->Color, clLime);
    QVERIFY(first->Name.isEmpty());
    QCOMPARE(first->PrevY, 0);
    QCOMPARE(first->LastY, 0);
    QCOMPARE(first->GetDisplayName(), QStringLiteral("TJvScopeLine"));
    first->Name = QStringLiteral("CPU");
    QCOMPARE(first->GetDisplayName(), QStringLiteral("CPU"));
    QCOMPARE(lines.GetItem(0), first);

    for (int bad : {1, -1, 5}) {
        try {
            lines.GetItem(bad);
            QFAIL("index accepted");
        } catch (const EListError& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("List index out of bounds (%1)").arg(bad));
        }
    }
    QVERIFY_THROWS_EXCEPTION(EListError, lines.SetItem(1, TJvScopeLine{}));

    TJvScopeLine source;
    source.Name = QStringLiteral("GPU");
    source.Color = clBlue;
    source.Position = 77;
    source.PrevY = 5;
    source.LastY = 6;
    first->PrevY = 11;
    first->LastY = 12;
    lines.SetItem(0, source);
    QCOMPARE(first->Name, QStringLiteral("GPU"));
    QCOMPARE(first->Color, clBlue);
    QCOMPARE(first->Position, 77);
    QCOMPARE(first->PrevY, 11);
    QCOMPARE(first->LastY, 12);
}

void ScopeTest::setLinesCopiesAndClears() {
    Rig rig(40, 50);
    rig.scope->Lines().Add();
    rig.scope->Lines().Add();
    rig.scope->Lines().Add();
    TJvSimScope other;
    other.Lines().Add()->Name = QStringLiteral("a");
    TJvScopeLine* b = other.Lines().Add();
    b->Name = QStringLiteral("b");
    b->Color = clRed;
    b->Position = 100;
    rig.Tick(4);
    rig.scope->SetLines(other.Lines());
    QCOMPARE(rig.scope->Lines().Count(), 2);
    QCOMPARE(rig.scope->Lines().GetItem(0)->Name, QStringLiteral("a"));
    QCOMPARE(rig.scope->Lines().GetItem(1)->Color, clRed);
    QCOMPARE(rig.scope->Lines().GetItem(1)->Position, 100);
    QCOMPARE(rig.scope->Lines().GetItem(1)->LastY, 50);
    QCOMPARE(rig.scope->Picture(), EmptyGridPicture(40, 50, 12));
    rig.scope->Lines().Assign(rig.scope->Lines());  // self-assignment keeps the lines
    QCOMPARE(rig.scope->Lines().Count(), 2);
}

QTEST_MAIN(ScopeTest)
#include "ScopeTest.moc"

void ScopeTest::hiddenTicksCatchUpToTheSamePicture() {
    // The same ticks on a shown scope, which draws each at once, and on a hidden one, which
    // notes them and draws them when its picture is read: after a few ticks, after many more
    // than the picture is wide, and across changes of colour, base line and grid.
    Rig shown(46, 40, 20, 8);
    Rig hidden(46, 40, 20, 8);
    shown.host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown.host));
    QVERIFY(!hidden.scope->isVisible());
    for (Rig* rig : {&shown, &hidden}) {
        rig->scope->Lines().Add()->Color = clLime;
        rig->scope->Lines().Add()->Color = clYellow;
    }
    int tick = 0;
    const auto run = [&](int ticks) {
        for (int i = 0; i < ticks; ++i, ++tick) {
            for (Rig* rig : {&shown, &hidden}) {
                rig->scope->Lines().GetItem(0)->Position = (tick * 7) % 110 - 5;
                rig->scope->Lines().GetItem(1)->Position = 50 + (tick % 5) * 9;
                rig->Tick();
            }
        }
    };
    run(3);
    QCOMPARE(hidden.scope->Picture(), shown.scope->Picture());
    run(5);
    for (Rig* rig : {&shown, &hidden}) {
        rig->scope->SetColor(clNavy);
        rig->scope->SetGridColor(clMaroon);
        rig->scope->Lines().GetItem(0)->Color = clAqua;
    }
    run(70);  // more than three times the strips the picture holds
    QCOMPARE(hidden.scope->Picture(), shown.scope->Picture());
    for (Rig* rig : {&shown, &hidden})
        rig->scope->SetBaseColor(clWhite);
    run(21);
    QCOMPARE(hidden.scope->Picture(), shown.scope->Picture());
    QCOMPARE(hidden.scope->TickCount(), shown.scope->TickCount());
    QCOMPARE(hidden.scope->Lines().GetItem(0)->LastY, shown.scope->Lines().GetItem(0)->LastY);
}
