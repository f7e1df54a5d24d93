// The colour line of lvHistory.
#include "HistoryColorDelegate.h"

#include <QPainter>

THistoryColorDelegate::THistoryColorDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

bool THistoryColorDelegate::LineSpan(int left, int top, int right, int bottom, int& x0, int& x1,
                                     int& y) {
    if (right <= 8)
        return false;
    x0 = left;
    x1 = right - 4;  // the end point itself is not drawn
    // Middle row, rounding towards minus infinity like an arithmetic shift.
    const int sum = top + bottom;
    y = sum >= 0 ? sum / 2 : -((-sum + 1) / 2);
    return x1 > x0;
}

void THistoryColorDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != 0 || !LineColor)
        return;
    const QRect& r = option.rect;
    int x0 = 0;
    int x1 = 0;
    int y = 0;
    if (!LineSpan(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), x0, x1, y))
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(LineColor(index.row()), 1));
    painter->drawLine(x0, y, x1 - 1, y);
    painter->restore();
}
