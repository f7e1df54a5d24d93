// The report list: it looks like a plain QTreeView over the same model, numbers included, and
// after a refresh it shows what the model holds once the refreshing handler has returned, while
// repainting only the cells whose text changed.
#include <QHeaderView>
#include <QMap>
#include <QScreen>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeView>

#include "ReportView.h"

namespace {

// Lets the check after a change run, then the repaint it asks for.
void Settle() {
    for (int pass = 0; pass < 3; ++pass)
        QCoreApplication::processEvents();
}

// A model whose texts change without a signal, like the History page's statistics: the owner
// announces the refresh with one dataChanged over every cell.
struct Rig {
    QStandardItemModel model{3, 3};
    QTreeView plain;
    TReportView report;

    Rig() {
        const char* texts[3][3] = {{"1: CPU", "25.3", "1234"},
                                   {"2: Disk", "104.0", "0.0"},
                                   {"AVAWTo", "-1.7E+3", "7.1"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                Set(r, c, texts[r][c]);
        for (QTreeView* view : {&plain, static_cast<QTreeView*>(&report)}) {
            view->setModel(&model);
            view->setRootIsDecorated(false);
            view->setUniformRowHeights(true);  // as the program's lists
            view->resize(300, 120);
            view->show();
        }
    }
    void Set(int row, int column, const char* text) {
        const QSignalBlocker quiet(model);
        model.setData(model.index(row, column), QString::fromUtf8(text));
    }
    void Refresh() { emit model.dataChanged(model.index(0, 0), model.index(2, 2)); }
    // What the screen shows of a list (the window's backing store, where the platform keeps it).
    static QImage OnScreen(QTreeView& view) {
        const QPoint at = view.viewport()->mapTo(&view, QPoint(0, 0));
        return view.screen()
            ->grabWindow(view.winId(), at.x(), at.y(), view.viewport()->width(),
                         view.viewport()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    bool Same() {
        Settle();
        return OnScreen(plain) == OnScreen(report);
    }
};

// Counts the cells the report list paints.
class CountingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        ++painted;
        QStyledItemDelegate::paint(painter, option, index);
    }
    mutable int painted = 0;
};

// Has `view` count the cells it paints.
CountingDelegate* CountPaints(QTreeView& view) {
    auto* counting = new CountingDelegate(&view);
    view.setItemDelegate(counting);
    return counting;
}

// Counts the passes over each row of the report list.
class RowCountingReport : public TReportView {
public:
    mutable QMap<int, int> rowsDrawn;

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override {
        ++rowsDrawn[index.row()];
        TReportView::drawRow(painter, option, index);
    }
};

}  // namespace

class ReportViewTest : public QObject {
    Q_OBJECT

private slots:
    void looksLikeAPlainList() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QVERIFY(rig.Same());
    }

    void showsWhatTheModelHoldsAfterTheRefreshingHandler() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QCoreApplication::processEvents();
        rig.Refresh();            // announced first ...
        rig.Set(1, 1, "26.4");    // ... changed after, in the same handler
        rig.Set(0, 2, "1240");
        QVERIFY(rig.Same());
    }

    void repaintsOnlyTheChangedCells() {
        Rig rig;
        auto* counting = CountPaints(rig.report);
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QCoreApplication::processEvents();
        counting->painted = 0;
        rig.Refresh();  // nothing changed
        Settle();
        QCOMPARE(counting->painted, 0);
        rig.Set(1, 1, "26.4");
        rig.Refresh();
        Settle();
        QCOMPARE(counting->painted, 1);
    }

    // Set up as the program's lists are (no root decoration, whole rows selected), with a
    // column hidden, cells changed here and there are repainted alone and look as in a plain
    // list.
    void repaintsOnlyTheChangedCellsOfAProgramList() {
        Rig rig;
        auto* counting = CountPaints(rig.report);
        for (QTreeView* view : {&rig.plain, static_cast<QTreeView*>(&rig.report)}) {
            view->setRootIsDecorated(false);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            view->header()->resizeSection(0, 70);
            view->setColumnHidden(1, true);
        }
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QVERIFY(rig.Same());
        const int pairs[][2] = {{0, 0}, {2, 2}, {1, 2}, {1, 1}, {0, 2}};
        bool odd = false;
        for (const auto& at : pairs) {
            counting->painted = 0;
            rig.Set(at[0], at[1], "99.9");
            odd = !odd;
            rig.Set(2, 0, odd ? "5" : "6");
            rig.Refresh();
            QVERIFY(rig.Same());
            // The hidden cell is no cell to paint; both others changed.
            QCOMPARE(counting->painted, at[1] == 1 ? 1 : 2);
        }
    }

    // Cells changed in different rows and columns: the rectangle around them holds cells that
    // did not change, which stay as they are.
    void repaintsNoCellBetweenChangedOnes() {
        Rig rig;
        auto* counting = CountPaints(rig.report);
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QCoreApplication::processEvents();
        counting->painted = 0;
        rig.Set(0, 0, "3: Fan");
        rig.Set(2, 2, "7.2");
        rig.Set(1, 1, "104.1");
        rig.Refresh();
        Settle();
        QCOMPARE(counting->painted, 3);
    }

    // Every pass of the tree view over a region asks the window system where the pointer is, a
    // round trip to the display server: cells apart, two of them in one row, are painted in one
    // pass, each row once.
    void paintsCellsApartInOnePass() {
        QStandardItemModel model(3, 3);
        RowCountingReport report;
        auto* counting = CountPaints(report);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                model.setData(model.index(r, c), QStringLiteral("1"));
        report.setModel(&model);
        report.setRootIsDecorated(false);
        report.setUniformRowHeights(true);
        report.resize(300, 120);
        report.show();
        QVERIFY(QTest::qWaitForWindowExposed(&report));
        QCoreApplication::processEvents();
        report.rowsDrawn.clear();
        counting->painted = 0;
        {
            const QSignalBlocker quiet(model);
            for (const auto& [row, column] : {std::pair{0, 0}, {0, 2}, {1, 1}})
                model.setData(model.index(row, column), QStringLiteral("42"));
        }
        emit model.dataChanged(model.index(0, 0), model.index(2, 2));
        Settle();
        QCOMPARE(counting->painted, 3);
        QCOMPARE(report.rowsDrawn.value(0), 1);
        QCOMPARE(report.rowsDrawn.value(1), 1);
    }

    // Cells apart from each other repainted, one of them on the selected, current row.
    void cellsApartLookAsInAPlainList() {
        Rig rig;
        for (QTreeView* view : {&rig.plain, static_cast<QTreeView*>(&rig.report)}) {
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            view->setAllColumnsShowFocus(true);
            view->setCurrentIndex(rig.model.index(2, 1));
        }
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QVERIFY(rig.Same());
        const char* texts[] = {"26.4", "-0.1", "1.1E+4", "W", ""};
        for (const char* text : texts) {
            rig.Set(0, 0, text);
            rig.Set(2, 2, text);
            rig.Set(1, 1, text);
            rig.Refresh();
            QVERIFY2(rig.Same(), text);
        }
    }

    // Two cells of the first row in a larger font: every row grows, as in a plain list.
    void rowsFollowTheFirstRowGrowing() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QVERIFY(rig.Same());
        QFont large = rig.report.font();
        large.setPointSizeF(large.pointSizeF() * 2);
        {
            const QSignalBlocker quiet(rig.model);
            rig.model.setData(rig.model.index(0, 1), large, Qt::FontRole);
            rig.model.setData(rig.model.index(0, 2), large, Qt::FontRole);
        }
        rig.Refresh();
        QVERIFY(rig.Same());
        QCOMPARE(rig.report.visualRect(rig.model.index(2, 2)),
                 rig.plain.visualRect(rig.model.index(2, 2)));
    }

    // A number in the first row in place of another keeps the rows' height; a text of two lines
    // makes them taller, and a number again shorter.
    void rowsFollowTheFirstRowsTextHeight() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QCoreApplication::processEvents();
        const int numberHeight = rig.plain.visualRect(rig.model.index(2, 1)).height();
        const char* texts[] = {"26.4", "two\nlines", "104.0", "-1.7E+3", "7.1"};
        int taller = 0;
        for (const char* text : texts) {
            rig.Set(0, 1, text);
            rig.Refresh();
            QVERIFY2(rig.Same(), text);
            QCOMPARE(rig.report.visualRect(rig.model.index(2, 1)),
                     rig.plain.visualRect(rig.model.index(2, 1)));
            taller += rig.plain.visualRect(rig.model.index(2, 1)).height() > numberHeight ? 1 : 0;
        }
        QVERIFY2(taller > 0, "no text made the rows taller");
    }

    // A repaint of a region whose rectangles split a cell: each part is drawn once.
    void cellsPaintedInPartsLookAsInAPlainList() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QVERIFY(rig.Same());
        for (QTreeView* view : {&rig.plain, static_cast<QTreeView*>(&rig.report)}) {
            const QRect cell = view->visualRect(rig.model.index(1, 1));
            const QRect next = view->visualRect(rig.model.index(1, 2));
            const int middle = cell.top() + cell.height() / 2;
            QRegion region(QRect(cell.left(), cell.top(), cell.width(), middle - cell.top()));
            region |= QRect(QPoint(cell.left(), middle), next.bottomRight());
            region |= view->visualRect(rig.model.index(0, 0));
            QVERIFY(region.rectCount() > 1);
            view->viewport()->update(region);
        }
        QVERIFY(rig.Same());
    }
};

QTEST_MAIN(ReportViewTest)
#include "ReportViewTest.moc"
