// The report list that repaints only the cells whose shown data changed.
#include "ReportView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "NumberShaping.h"
#include "PlainCell.h"

namespace {

// The standard cell drawing, a plain cell painted straight away with the same pixels; a number
// is laid out without shaping where that changes no pixel.
class TNumberDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        if (!PaintPlainCell(painter, cell))
            QStyledItemDelegate::paint(painter, option, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (LaysOutWithoutShaping(option->text, option->font))
            option->font.setStyleStrategy(QFont::PreferNoShaping);
    }
};

}  // namespace

TReportView::TReportView(QWidget* parent) : QTreeView(parent) {
    setItemDelegate(new TNumberDelegate(this));
}

void TReportView::setModel(QAbstractItemModel* model) {
    if (this->model() != nullptr)
        disconnect(this->model(), nullptr, this, nullptr);
    QTreeView::setModel(model);
    Forget();
    if (model == nullptr)
        return;
    // Rows and columns that move or vanish take their painted cells with them: start again.
    connect(model, &QAbstractItemModel::modelReset, this, &TReportView::Forget);
    connect(model, &QAbstractItemModel::layoutChanged, this, &TReportView::Forget);
    connect(model, &QAbstractItemModel::rowsInserted, this, &TReportView::Forget);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TReportView::Forget);
    connect(model, &QAbstractItemModel::rowsMoved, this, &TReportView::Forget);
    connect(model, &QAbstractItemModel::columnsInserted, this, &TReportView::Forget);
    connect(model, &QAbstractItemModel::columnsRemoved, this, &TReportView::Forget);
    connect(model, &QAbstractItemModel::columnsMoved, this, &TReportView::Forget);
}

TReportView::TShown TReportView::ShownData(const QModelIndex& index) const {
    return {index.data(Qt::DisplayRole), index.data(Qt::FontRole)};
}

void TReportView::paintEvent(QPaintEvent* event) {
    const QRegion& region = event->region();
    RememberPainted(region);
    // For a region of several rectangles the tree view paints every column of each row the
    // region touches; each rectangle is painted on its own instead, clipped to it, so that only
    // the cells it covers are drawn. Every point of the region lies in exactly one rectangle,
    // so each pixel is drawn as the whole-row painting draws it.
    if (region.rectCount() <= 1 || isAnimated() || state() != NoState) {
        QTreeView::paintEvent(event);
        return;
    }
    executeDelayedItemsLayout();
    QPainter painter(viewport());
    for (const QRect& rect : region) {
        painter.save();
        painter.setClipRect(rect);
        drawTree(&painter, QRegion(rect));
        painter.restore();
    }
}

void TReportView::RememberPainted(const QRegion& region) {
    // Remember the cells this paint covers whole; a cell painted in part may still show older
    // data elsewhere, so it is forgotten.
    QAbstractItemModel* m = model();
    if (m == nullptr)
        return;
    const int rows = m->rowCount(rootIndex());
    const int columns = m->columnCount(rootIndex());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QModelIndex index = m->index(r, c, rootIndex());
            // Only the part inside the viewport is ever painted.
            const QRect cell = visualRect(index) & viewport()->rect();
            if (cell.isEmpty() || !region.intersects(cell))
                continue;
            if (region.intersected(cell) == QRegion(cell))
                painted_.insert({r, c}, ShownData(index));
            else
                painted_.remove({r, c});
        }
    }
}

void TReportView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                              const QList<int>& roles) {
    if (!isVisible() || model() == nullptr || !topLeft.isValid() || !bottomRight.isValid() ||
        topLeft.parent() != rootIndex() || !roles.isEmpty()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    const bool posted = !pending_.isNull();
    pending_ |= QRect(QPoint(topLeft.column(), topLeft.row()),
                      QPoint(bottomRight.column(), bottomRight.row()));
    if (!posted)
        QMetaObject::invokeMethod(this, &TReportView::RepaintChanged, Qt::QueuedConnection);
}

void TReportView::RepaintChanged() {
    const QRect range = pending_;
    pending_ = QRect();
    if (model() == nullptr || range.isNull())
        return;
    const int lastRow = std::min(range.bottom(), model()->rowCount(rootIndex()) - 1);
    const int lastColumn = std::min(range.right(), model()->columnCount(rootIndex()) - 1);
    // Each cell that shows something else is changed on its own; the region of those cells is
    // repainted, which paints just them (see paintEvent), not the rectangle around them.
    QRegion changed;
    for (int r = range.top(); r <= lastRow; ++r) {
        for (int c = range.left(); c <= lastColumn; ++c) {
            const QModelIndex index = model()->index(r, c, rootIndex());
            const auto known = painted_.constFind({r, c});
            if (known != painted_.constEnd() && *known == ShownData(index))
                continue;
            QTreeView::dataChanged(index, index, {});
            changed |= visualRect(index);
        }
    }
    if (!changed.isEmpty())
        viewport()->update(changed);
}
