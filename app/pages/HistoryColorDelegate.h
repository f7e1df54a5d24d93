// Custom drawing of lvHistory's first column: a short horizontal line in the trace colour of
// the row's channel.
#pragma once

#include <QColor>
#include <QStyledItemDelegate>
#include <functional>

class THistoryColorDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit THistoryColorDelegate(QObject* parent);

    // The trace colour of a row's channel.
    std::function<QColor(int row)> LineColor;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The pixels of the line for a cell rectangle given by its left, top, exclusive right and
    // exclusive bottom edges: none when the right edge is at x <= 8; otherwise from the left
    // edge to 4 pixels short of the right edge (end left out), on the middle row.
    static bool LineSpan(int left, int top, int right, int bottom, int& x0, int& x1, int& y);
};
