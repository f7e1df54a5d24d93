// The report list that repaints only the cells whose shown data changed.
#include "ReportView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>
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

// Paints, for the delegate it stands in for, only the cells that reach into a region.
class TReportView::TSkippingDelegate : public QAbstractItemDelegate {
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void Set(QAbstractItemDelegate* delegate, const QRegion* region) {
        delegate_ = delegate;
        region_ = region;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (region_->intersects(option.rect))
            delegate_->paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return delegate_->sizeHint(option, index);
    }

private:
    QAbstractItemDelegate* delegate_ = nullptr;
    const QRegion* region_ = nullptr;
};

TReportView::TReportView(QWidget* parent)
    : QTreeView(parent), skipping_(new TSkippingDelegate(this)) {
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
    if (region.rectCount() <= 1 || isAnimated() || state() != NoState) {
        QTreeView::paintEvent(event);
        return;
    }
    // For a region of several rectangles the tree view paints every column of each row the
    // region touches, and each of its paints asks the window system where the pointer is (a
    // round trip to the display server). It paints the region's bounding rectangle once
    // instead, whose columns are the region's; the delegate stand-in passes over the cells of
    // that rectangle outside the region, so only the region's cells are drawn, each as the
    // whole-row painting draws it.
    executeDelayedItemsLayout();
    QPainter painter(viewport());
    painter.setClipRegion(region);
    paintingOnly_ = &region;
    const auto done = qScopeGuard([this] { paintingOnly_ = nullptr; });
    drawTree(&painter, QRegion(region.boundingRect()));
}

QAbstractItemDelegate* TReportView::itemDelegateForIndex(const QModelIndex& index) const {
    QAbstractItemDelegate* delegate = QTreeView::itemDelegateForIndex(index);
    if (paintingOnly_ == nullptr || delegate == nullptr)
        return delegate;
    skipping_->Set(delegate, paintingOnly_);
    return skipping_;
}

void TReportView::RememberPainted(const QRegion& region) {
    // Remember the cells this paint covers whole; a cell painted in part may still show older
    // data elsewhere, so it is forgotten.
    QAbstractItemModel* m = model();
    if (m == nullptr)
        return;
    const QModelIndex root = rootIndex();
    const int rows = m->rowCount(root);
    const int columns = m->columnCount(root);
    int bandColumn = 0;
    while (bandColumn < columns && isColumnHidden(bandColumn))
        ++bandColumn;
    if (bandColumn == columns)
        return;  // no column shown, no cell painted
    const QRect bounds = region.boundingRect();
    // Only the part inside the viewport is ever painted.
    const QRect shown = viewport()->rect();
    for (int r = 0; r < rows; ++r) {
        // All cells of a row share its band; a row whose band lies outside the region has no
        // cell in it.
        const QRect band = visualRect(m->index(r, bandColumn, root));
        if (band.isNull() || band.top() + band.height() <= bounds.top() ||
            band.top() > bounds.bottom())
            continue;
        // Without root decoration a row's cells are its band cut at the column edges; a row
        // spanning its first column is measured cell by cell.
        const bool columnCells = !rootIsDecorated() && !isFirstColumnSpanned(r, root);
        for (int c = 0; c < columns; ++c) {
            const QModelIndex index = m->index(r, c, root);
            QRect cell;
            if (!columnCells)
                cell = visualRect(index);
            else if (!isColumnHidden(c))
                cell = QRect(columnViewportPosition(c), band.top(), columnWidth(c), band.height());
            cell &= shown;
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

bool TReportView::KeepsRowHeight(const TShown& before, const TShown& now) const {
    if (wordWrap() || before.font != now.font || before.text.typeId() != QMetaType::QString ||
        now.text.typeId() != QMetaType::QString)
        return false;
    const QFont shown =
        now.font.isValid() ? qvariant_cast<QFont>(now.font).resolve(font()) : font();
    return DrawnInItsOwnFont(before.text.toString(), shown) &&
           DrawnInItsOwnFont(now.text.toString(), shown);
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
        // The tree view's own part of a change (the row's height from the whole row's data, and
        // from the first row every row's) is done for the row's first changed cell; the row's
        // other cells need only what every item view does, except the first column, whose
        // change the tree view also checks for children.
        bool rowDone = false;
        for (int c = range.left(); c <= lastColumn; ++c) {
            const QModelIndex index = model()->index(r, c, rootIndex());
            const auto known = painted_.constFind({r, c});
            const TShown now = ShownData(index);
            if (known != painted_.constEnd() && *known == now)
                continue;
            // A number in place of a number in the same font leaves the row's height alone.
            const bool sameHeight =
                known != painted_.constEnd() && c != 0 && KeepsRowHeight(*known, now);
            if ((!rowDone || c == 0) && !sameHeight) {
                QTreeView::dataChanged(index, index, {});
                rowDone = true;
            } else {
                QAbstractItemView::dataChanged(index, index, {});
            }
            changed |= visualRect(index);
        }
    }
    if (!changed.isEmpty())
        viewport()->update(changed);
}
