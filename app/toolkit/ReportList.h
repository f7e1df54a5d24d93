// Report-style lists and push buttons that run an action, as the list pages build them.
#pragma once

#include <QList>
#include <QString>

class QPushButton;
class QTreeView;
class QWidget;
class TAction;
class TVirtualListModel;

// A report-style list: column headers, whole-row single selection, no editing, and a
// selection that stays visible when the list loses the focus.
QTreeView* MakeReportList(QWidget* parent, const QString& name, TVirtualListModel* model,
                          const QList<int>& widths, const QString& hint);

// A 75 x 25 button at (x, y) with the action's caption and hint that follows its enabled state
// and runs it when clicked.
QPushButton* MakeActionButton(QWidget* parent, const QString& name, TAction* action, int x, int y);
