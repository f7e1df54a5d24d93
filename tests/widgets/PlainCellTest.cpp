// Plain report-list cells: painted straight away they come out pixel for pixel as the Fusion
// style draws them, for many texts, fonts, sizes, alignments and states; cells that are not
// plain are left to the standard drawing.
#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTreeView>

#include "PlainCell.h"

namespace {

// A list whose cell options the test fills in as the list fills them in for its delegate.
class TestList : public QTreeView {
public:
    QStyleOptionViewItem CellOption() const {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        return option;
    }
};

// A cell option of `list` as QStyledItemDelegate::initStyleOption leaves it for a text.
QStyleOptionViewItem Cell(const TestList& list, const QString& text, const QFont& font,
                          const QRect& rect) {
    QStyleOptionViewItem option = list.CellOption();
    option.rect = rect;
    option.font = font;
    option.fontMetrics = QFontMetrics(font);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = text;
    option.text.replace(QLatin1Char('\n'), QChar::LineSeparator);  // as displayText does
    option.showDecorationSelected = true;                          // whole rows selected
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    return option;
}

// The cell on a white ground, drawn by the style or painted straight away; `clip` as a
// painter clip when not empty.
QImage Drawn(const QStyleOptionViewItem& option, bool straight, const QRect& clip, bool* painted) {
    QImage image(160, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (!clip.isEmpty())
        painter.setClipRect(clip);
    const bool plain = straight && PaintPlainCell(&painter, option);
    if (painted != nullptr)
        *painted = plain;
    if (!plain)
        option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &option, &painter,
                                            option.widget);
    return image;
}

QString Describe(const QStyleOptionViewItem& option) {
    return QStringLiteral("text \"%1\" font %2 rect %3x%4 at %5,%6 align %7 state %8 rtl %9")
        .arg(option.text, option.font.toString())
        .arg(option.rect.width())
        .arg(option.rect.height())
        .arg(option.rect.x())
        .arg(option.rect.y())
        .arg(int(option.displayAlignment))
        .arg(int(option.state))
        .arg(option.direction == Qt::RightToLeft);
}

}  // namespace

class PlainCellTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

    void samePixelsAsTheStyle() {
        TestList list;
        list.resize(300, 200);
        const QStringList texts = {
            "25.3",  "-1.7E+3", "104.0",   "0.0",   "1: CPU", "AVAWTo", "2: Disk drive bay",
            "W",     "fi fl",   "Ünïcödé", "مرحبا", "x\ny",   " lead",  "trail ",
            "1.1E+4"};
        QList<QFont> fonts;
        fonts.append(list.font());
        QFont bold = list.font();
        bold.setBold(true);
        fonts.append(bold);
        QFont noShaping = list.font();
        noShaping.setStyleStrategy(QFont::PreferNoShaping);
        fonts.append(noShaping);
        QFont large = list.font();
        large.setPointSizeF(large.pointSizeF() * 1.7);
        large.setItalic(true);
        fonts.append(large);
        const QList<QRect> rects = {QRect(5, 3, 67, 21), QRect(0, 0, 43, 17), QRect(7, 11, 120, 30),
                                    QRect(2, 2, 12, 21), QRect(3, 4, 70, 9)};
        const QList<Qt::Alignment> alignments = {
            Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignRight | Qt::AlignVCenter,
            Qt::AlignHCenter | Qt::AlignTop, Qt::AlignLeft | Qt::AlignBottom};
        const QList<QStyle::State> states = {QStyle::State_Enabled | QStyle::State_Active,
                                             QStyle::State_Enabled, QStyle::State_Active,
                                             QStyle::State_None};
        int straight = 0;
        int compared = 0;
        for (const QString& text : texts) {
            for (const QFont& font : fonts) {
                for (const QRect& rect : rects) {
                    for (Qt::Alignment alignment : alignments) {
                        for (QStyle::State state : states) {
                            for (Qt::LayoutDirection direction :
                                 {Qt::LeftToRight, Qt::RightToLeft}) {
                                QStyleOptionViewItem option = Cell(list, text, font, rect);
                                option.displayAlignment = alignment;
                                option.state = state;
                                option.direction = direction;
                                bool painted = false;
                                const QImage mine = Drawn(option, true, {}, &painted);
                                const QImage style = Drawn(option, false, {}, nullptr);
                                QVERIFY2(mine == style, qPrintable(Describe(option)));
                                straight += painted ? 1 : 0;
                                ++compared;
                            }
                        }
                    }
                }
            }
        }
        // Most of them are plain: the comparison is of the straight painting.
        QVERIFY2(straight > compared / 2,
                 qPrintable(QStringLiteral("%1 of %2").arg(straight).arg(compared)));
    }

    // A painter clipped already, as when a list paints a region rectangle by rectangle.
    void samePixelsInAClippedPainter() {
        TestList list;
        const QRect rect(5, 3, 67, 21);
        for (const QRect& clip :
             {QRect(0, 0, 30, 60), QRect(20, 10, 100, 40), QRect(5, 3, 67, 21)}) {
            for (const QString& text : {QStringLiteral("25.3"), QStringLiteral("1: CPU")}) {
                const QStyleOptionViewItem option = Cell(list, text, list.font(), rect);
                bool painted = false;
                const QImage mine = Drawn(option, true, clip, &painted);
                QVERIFY(painted);
                QCOMPARE(mine, Drawn(option, false, clip, nullptr));
            }
        }
    }

    void leavesCellsThatAreNotPlainToTheStyle() {
        TestList list;
        const QStyleOptionViewItem plain =
            Cell(list, QStringLiteral("25.3"), list.font(), QRect(5, 3, 67, 21));
        QImage image(160, 60, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        QVERIFY(PaintPlainCell(&painter, plain));
        QList<QStyleOptionViewItem> others;
        for (QStyle::State state :
             {QStyle::State_Selected, QStyle::State_HasFocus, QStyle::State_Editing}) {
            others.append(plain);
            others.last().state |= state;
        }
        for (QStyleOptionViewItem::ViewItemFeature feature :
             {QStyleOptionViewItem::HasCheckIndicator, QStyleOptionViewItem::HasDecoration,
              QStyleOptionViewItem::WrapText}) {
            others.append(plain);
            others.last().features |= feature;
        }
        others.append(plain);
        others.last().backgroundBrush = Qt::yellow;
        others.append(plain);
        others.last().showDecorationSelected = false;
        others.append(plain);
        others.last().decorationPosition = QStyleOptionViewItem::Top;
        others.append(plain);
        others.last().text = QStringLiteral("a text far too wide for the cell");
        others.append(plain);
        others.last().text = QStringLiteral("two") + QChar::LineSeparator + QStringLiteral("lines");
        for (const QStyleOptionViewItem& option : others)
            QVERIFY2(!PaintPlainCell(&painter, option), qPrintable(Describe(option)));
        // Another style.
        std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
        if (windows) {
            list.setStyle(windows.get());
            const QStyleOptionViewItem styled =
                Cell(list, QStringLiteral("25.3"), list.font(), QRect(5, 3, 67, 21));
            QVERIFY(!PaintPlainCell(&painter, styled));
            list.setStyle(nullptr);
        }
    }
};

QTEST_MAIN(PlainCellTest)
#include "PlainCellTest.moc"
