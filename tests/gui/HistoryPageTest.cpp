// The History page over a scripted device: the statistics rows, the colour line of the first
// column, the colour and settings actions with their enable rules, and the scope's picture as the
// polling cycle feeds it.
#include <QColorDialog>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTabWidget>
#include <QTreeView>

#include "ActionList.h"
#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "VirtualListModel.h"
#include "core/History.h"
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/HistoryColorDelegate.h"
#include "pages/HistoryPage.h"
#include "widgets/Jvsimscope.h"

namespace {

QString Cell(TMainForm& form, int row, int column) {
    return form.HistoryPage().HistoryModel->index(row, column).data().toString();
}

void SelectRow(TMainForm& form, int row) {
    form.HistoryPage().lvHistory->selectionModel()->select(
        form.HistoryPage().HistoryModel->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace

class HistoryPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FakeDevice().Reset(); }

    void emptyHistoryShowsZeros() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        QCOMPARE(form.HistoryPage().HistoryModel->rowCount(), 6);
        QCOMPARE(form.HistoryPage().HistoryModel->columnCount(), 6);
        const QStringList captions = {"Color",       "Channel", "Current, °C",
                                      "Average, °C", "Min, °C", "Max, °C"};
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(form.HistoryPage()
                         .HistoryModel->headerData(c, Qt::Horizontal, Qt::DisplayRole)
                         .toString(),
                     captions[c]);
        }
        for (int row = 0; row < 6; ++row) {
            QCOMPARE(Cell(form, row, 0), QString());
            QCOMPARE(Cell(form, row, 1), QString::number(row + 1));
            for (int c = 2; c < 6; ++c)
                QCOMPARE(Cell(form, row, c), QStringLiteral("0.0"));
        }
    }

    void rowsShowNewestAverageMinMax() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.CommonPage().edN[1]->setText(QStringLiteral("Disk"));
        for (int reading : {257, 1005, 240}) {
            FakeDevice().t[1] = reading;
            form.TimerTimer();
        }
        QCOMPARE(Cell(form, 1, 1), QStringLiteral("2: Disk"));
        QCOMPARE(Cell(form, 1, 2), QStringLiteral("24.0"));
        QCOMPARE(Cell(form, 1, 3), QStringLiteral("50.1"));  // (25.7 + 100.5 + 24.0) / 3
        QCOMPARE(Cell(form, 1, 4), QStringLiteral("24.0"));
        QCOMPARE(Cell(form, 1, 5), QStringLiteral("101.0"));  // 100.5, three digits
        QCOMPARE(Cell(form, 0, 5), QStringLiteral("0.0"));
    }

    void onlineCyclesRefreshTheShownRows() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsHistory);
        QSignalSpy refreshed(form.HistoryPage().HistoryModel, &QAbstractItemModel::dataChanged);
        form.TimerTimer();
        QCOMPARE(refreshed.count(), 1);
        FakeDevice().timeouts["GetT"] = 1;
        form.TimerTimer();  // fails: no refresh
        form.TimerTimer();  // reconnects: no refresh either
        QCOMPARE(refreshed.count(), 1);
        form.TimerTimer();
        QCOMPARE(refreshed.count(), 2);
    }

    void colourLineSpan_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("drawn");
        QTest::addColumn<int>("x0");
        QTest::addColumn<int>("x1");
        QTest::newRow("default width 43") << 0 << 43 << true << 0 << 39;
        QTest::newRow("right edge 9") << 0 << 9 << true << 0 << 5;
        QTest::newRow("right edge 8") << 0 << 8 << false << 0 << 0;
        QTest::newRow("scrolled away") << -40 << 3 << false << 0 << 0;
    }

    void colourLineSpan() {
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(bool, drawn);
        QFETCH(int, x0);
        QFETCH(int, x1);
        int a = 0;
        int b = 0;
        int y = 0;
        QCOMPARE(THistoryColorDelegate::LineSpan(left, 10, right, 27, a, b, y), drawn);
        if (drawn) {
            QCOMPARE(a, x0);
            QCOMPARE(b, x1);
            QCOMPARE(y, 18);
        }
    }

    void colourLineIsDrawnInTheTraceColour() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.resize(form.size());
        form.show();
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsHistory);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect cell =
            form.HistoryPage().lvHistory->visualRect(form.HistoryPage().HistoryModel->index(2, 0));
        QImage picture = form.HistoryPage().lvHistory->viewport()->grab().toImage();
        const int y = (cell.top() + cell.top() + cell.height()) / 2;
        QCOMPARE(picture.pixelColor(cell.left() + 5, y), QColor(Qt::blue));
        QCOMPARE(picture.pixelColor(cell.left() + cell.width() - 5, y), QColor(Qt::blue));
        QVERIFY(picture.pixelColor(cell.left() + cell.width() - 4, y) != QColor(Qt::blue));

        form.HistoryPage().lvHistory->header()->resizeSection(0, 8);
        picture = form.HistoryPage().lvHistory->viewport()->grab().toImage();
        for (int x = 0; x < 8; ++x)
            QVERIFY2(picture.pixelColor(x, y) != QColor(Qt::blue),
                     qPrintable(QStringLiteral("x %1 y %2").arg(x).arg(y)));
    }

    void colourActionFollowsSelectionAndPage() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.Frame().ActionList1->UpdateAll();
        QVERIFY(!form.Frame().acHistoryColorChange->isEnabled());
        QVERIFY(!form.Frame().acHistorySettings->isEnabled());
        SelectRow(form, 3);
        form.Frame().ActionList1->UpdateAll();
        QVERIFY(!form.Frame().acHistoryColorChange->isEnabled());  // History is not the shown page
        QVERIFY(form.Frame().acHistorySettings->isEnabled());
        QVERIFY(!form.Frame().ColorChange1->isEnabled());
        QVERIFY(form.Frame().Property1->isEnabled());
        form.Frame().acHistoryColorChange->Execute();
        QVERIFY(rig.dialogs.shown.empty());
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsHistory);
        form.Frame().ActionList1->UpdateAll();
        QVERIFY(form.Frame().acHistoryColorChange->isEnabled());
        QVERIFY(form.Frame().ColorChange1->isEnabled());
    }

    void colourChangeAndCancel() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsHistory);
        SelectRow(form, 4);
        rig.dialogs.Answer([](QDialog& dialog) {
            auto& chooser = static_cast<QColorDialog&>(dialog);
            if (chooser.currentColor() != QColor(255, 0, 255))  // preset to the trace colour
                return int(QDialog::Rejected);
            chooser.setCurrentColor(QColor(193, 192, 192));
            return int(QDialog::Accepted);
        });
        form.Frame().ColorChange1->trigger();
        QCOMPARE(form.HistoryPage().Scope->Lines().GetItem(4)->Color, TColor(0x00C0C0C1));
        rig.dialogs.Answer([](QDialog& dialog) {
            static_cast<QColorDialog&>(dialog).setCurrentColor(Qt::yellow);
            return int(QDialog::Rejected);
        });
        // Double click on the list runs the same action.
        QTest::mouseDClick(form.HistoryPage().lvHistory->viewport(), Qt::LeftButton);
        QCOMPARE(rig.dialogs.shown.size(), size_t(2));
        QCOMPARE(rig.dialogs.shown[1].className, QStringLiteral("QColorDialog"));
        QCOMPARE(form.HistoryPage().Scope->Lines().GetItem(4)->Color, TColor(0x00C0C0C1));
        rig.Close();
        QVERIFY(rig.ReadIni().contains("Color4=$00C0C0C1"));
    }

    void settingsActionOpensTheChannel() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        FakeDevice().records[5].tMax = 420;
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsHistory);
        SelectRow(form, 5);
        FakeDevice().calls.clear();
        form.Frame().Property1->trigger();
        QCOMPARE(form.State().SelectedChannel, 5);
        QCOMPARE(form.ChannelPage().cbCh->currentIndex(), 5);
        QCOMPARE(form.Frame().PageControl->currentWidget(), form.Frame().tsChannel);
        QCOMPARE(FakeDevice().calls, std::vector<std::string>{"GetM(5)"});
    }

    void scopePictureAfterTicks() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        TJvSimScope& scope = *form.HistoryPage().Scope;
        QCOMPARE(scope.size(), QSize(416, 223));
        QCOMPARE(scope.BaseLine(), 0);
        QCOMPARE(scope.GridSize(), 12);
        QCOMPARE(scope.Interval(), 0);  // the rig stopped the clock
        QCOMPARE(scope.BaseY(), 223);
        const QRgb grid = qRgb(0, 128, 64);
        const QImage empty = scope.Picture();
        for (int k = 1; k <= 18; ++k)
            QCOMPARE(empty.pixel(0, 223 - 12 * k), grid);
        QCOMPARE(empty.pixel(415, 5), grid);
        QCOMPARE(empty.pixel(415 - 12, 5), grid);
        QCOMPARE(empty.pixel(5, 5), qRgb(0, 0, 0));

        FakeDevice().t[0] = 1000;  // 100 degrees: the top row
        scope.UpdateScope();       // plots position 0, then the cycle reads 100
        scope.UpdateScope();       // climbs to 100
        scope.UpdateScope();       // runs along row 0
        const QImage picture = scope.Picture();
        QCOMPARE(picture.pixel(415, 0), qRgb(0, 128, 0));
        QCOMPARE(picture.pixel(414, 0), qRgb(0, 128, 0));
        QCOMPARE(form.State().History->Count(), 3);
    }
};

KELVANE_GUI_TEST_MAIN(HistoryPageTest)
#include "HistoryPageTest.moc"
