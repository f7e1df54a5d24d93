// Rows fetched on demand for the report-style lists.
#include "VirtualListModel.h"

#include <QFont>

TVirtualListModel::TVirtualListModel(QStringList captions, QObject* parent)
    : QAbstractTableModel(parent), captions_(std::move(captions)) {}

void TVirtualListModel::SetRowCount(int count) {
    count = std::max(count, 0);
    if (count == rows_)
        return;
    beginResetModel();
    rows_ = count;
    endResetModel();
}

void TVirtualListModel::RefreshRows(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, rows_ - 1);
    if (first > last)
        return;
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

int TVirtualListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TVirtualListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant TVirtualListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_)
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return CellText ? CellText(index.row(), index.column()) : QString();
        case Qt::FontRole:
            if (RowBold && RowBold(index.row())) {
                QFont font;
                font.setBold(true);
                return font;
            }
            return {};
        default:
            return {};
    }
}

QVariant TVirtualListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < captions_.size())
        return captions_[section];
    return {};
}
