// Report-style lists and push buttons that run an action.
#include "ReportList.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

#include "ActionList.h"
#include "LayoutHelpers.h"
#include "VirtualListModel.h"

// A report-style list: column headers, whole-row single selection, no editing, and a
// selection that stays visible when the list loses the focus.
QTreeView* MakeReportList(QWidget* parent, const QString& name, TVirtualListModel* model,
                          const QList<int>& widths, const QString& hint) {
    auto* view = new QTreeView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    view->header()->setMinimumSectionSize(0);  // columns narrow down to nothing, like stored
    view->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < widths.size(); ++i)
        view->header()->resizeSection(i, widths[i]);
    QPalette palette = view->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
    SetHint(view, hint);
    return view;
}

QPushButton* MakeActionButton(QWidget* parent, const QString& name, TAction* action, int x, int y) {
    auto* button = new QPushButton(action->text(), parent);
    button->setObjectName(name);
    button->setGeometry(x, y, 75, 25);
    SetHint(button, action->Hint());
    button->setEnabled(action->isEnabled());
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setText(action->text()); });
    QObject::connect(button, &QPushButton::clicked, action, [action] { action->Execute(); });
    return button;
}
