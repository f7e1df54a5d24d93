// Plain report-list cells painted with one text layout.
#include "PlainCell.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTextLayout>
#include <QWidget>

namespace {

// The style draws the cell as the Fusion style draws it, with nothing of a style sheet.
bool DrawnByFusion(const QWidget* widget) {
    if (widget == nullptr || widget->testAttribute(Qt::WA_StyleSheet) ||
        !qApp->styleSheet().isEmpty())
        return false;
    return widget->style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

bool IsPlain(const QStyleOptionViewItem& option) {
    constexpr QStyle::State kNotPlain =
        QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_Editing;
    constexpr QStyleOptionViewItem::ViewItemFeatures kNotPlainFeatures =
        QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration |
        QStyleOptionViewItem::WrapText;
    return !(option.state & kNotPlain) && !(option.features & kNotPlainFeatures) &&
           option.backgroundBrush.style() == Qt::NoBrush && option.icon.isNull() &&
           option.showDecorationSelected &&
           (option.decorationPosition == QStyleOptionViewItem::Left ||
            option.decorationPosition == QStyleOptionViewItem::Right);
}

}  // namespace

bool PaintPlainCell(QPainter* painter, const QStyleOptionViewItem& option) {
    const QWidget* widget = option.widget;
    if (!IsPlain(option) || !DrawnByFusion(widget))
        return false;
    if (option.text.isEmpty())
        return true;  // nothing but the background, which a plain cell leaves alone
    const QStyle* style = widget->style();
    // The text's place: the whole cell less the focus frame's margin and a pixel either side.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(option.direction);
    textOption.setAlignment(QStyle::visualAlignment(option.direction, option.displayAlignment));
    QTextLayout layout(option.text, option.font);
    layout.setTextOption(textOption);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return false;
    }
    line.setLineWidth(textRect.width());
    line.setPosition(QPointF(0, 0));
    const bool oneLine = !layout.createLine().isValid();
    layout.endLayout();
    if (!oneLine || line.naturalTextWidth() > textRect.width())
        return false;  // more lines or eliding: the standard drawing
    // Placed in the text's place by the vertical alignment of its bounding box, from its left.
    const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, option.displayAlignment,
                                             layout.boundingRect().size().toSize(), textRect);
    QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active))
        group = QPalette::Inactive;
    painter->save();
    painter->setClipRect(option.rect, painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter->setPen(option.palette.color(group, QPalette::Text));
    layout.draw(painter, QPointF(textRect.x(), placed.top()));
    painter->restore();
    return true;
}
