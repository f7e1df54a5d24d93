// The model behind a report-style list whose rows are fetched on demand: it holds only a row
// count and column captions and asks its owner for each cell when the view draws it.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>

class TVirtualListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TVirtualListModel(QStringList captions, QObject* parent);

    // The text of one cell, asked for whenever the view needs it.
    std::function<QString(int row, int column)> CellText;
    // Whether a row is drawn in bold; none means no row is.
    std::function<bool(int row)> RowBold;

    // Sets the number of rows; the view drops rows past the new count and asks for new ones.
    void SetRowCount(int count);
    // Redraws rows `first` to `last`: the view fetches their cells again.
    void RefreshRows(int first, int last);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList captions_;
    int rows_ = 0;
};
