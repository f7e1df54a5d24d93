// The report list: it looks like a plain QTreeView over the same model, numbers included, and
// after a refresh it shows what the model holds once the refreshing handler has returned, while
// repainting only the cells whose text changed.
#include <QScreen>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeView>

#include "ReportView.h"

namespace {

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
        for (int pass = 0; pass < 3; ++pass)  // the check, then the repaint it asks for
            QCoreApplication::processEvents();
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
        auto* counting = new CountingDelegate(&rig.report);
        rig.report.setItemDelegate(counting);
        QVERIFY(QTest::qWaitForWindowExposed(&rig.report));
        QCoreApplication::processEvents();
        counting->painted = 0;
        rig.Refresh();  // nothing changed
        for (int pass = 0; pass < 3; ++pass)  // the check, then the repaint it would ask for
            QCoreApplication::processEvents();
        QCOMPARE(counting->painted, 0);
        rig.Set(1, 1, "26.4");
        rig.Refresh();
        for (int pass = 0; pass < 3; ++pass)
            QCoreApplication::processEvents();
        QCOMPARE(counting->painted, 1);
    }
};

QTEST_MAIN(ReportViewTest)
#include "ReportViewTest.moc"
