// A report-style list that repaints, when its model says cells changed, only the cells whose
// shown data (text, font) really differs from what it last painted there. The comparison is
// made once the handler that changed the data has returned, so the repaint shows its result.
// Numbers in its cells are laid out without shaping where that changes no pixel. The History page's
// statistics are refreshed every second, but most of their texts stay the same from one
// second to the next; each cell repainted costs a full text layout.
#pragma once

#include <QHash>
#include <QPair>
#include <QTreeView>
#include <QVariant>

class TReportView : public QTreeView {
    Q_OBJECT
public:
    explicit TReportView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QAbstractItemDelegate* itemDelegateForIndex(const QModelIndex& index) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    class TSkippingDelegate;

    // The data of a cell that its painting shows.
    struct TShown {
        QVariant text;
        QVariant font;
        bool operator==(const TShown& other) const {
            return text == other.text && font == other.font;
        }
    };
    TShown ShownData(const QModelIndex& index) const;
    // Whether a cell showing `now` instead of `before` keeps its row's height: a line's height
    // comes from the fonts its characters are drawn in, so two numbers the cell's font draws
    // itself have the same, without word wrap.
    bool KeepsRowHeight(const TShown& before, const TShown& now) const;
    void Forget() { painted_.clear(); }
    // Notes what the cells a paint of `region` covers whole show.
    void RememberPainted(const QRegion& region);
    // Repaints the cells of the pending range that show something else now.
    void RepaintChanged();

    // What each cell painted whole last showed, by row and column (top-level rows only).
    QHash<QPair<int, int>, TShown> painted_;
    // Rows (y) and columns (x) said to have changed since the last check; the check runs when
    // the event loop is back, after the handler that changed the data has finished.
    QRect pending_;
    // While a region of several rectangles is painted: that region, and the stand-in that has
    // the delegates paint only the cells reaching into it.
    const QRegion* paintingOnly_ = nullptr;
    TSkippingDelegate* skipping_;
};
