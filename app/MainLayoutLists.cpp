// The History page (scope panel and the statistics list) and the Presets page (preset list and
// its four buttons): both lists are report views whose rows are fetched on demand.
#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

#include "ActionList.h"
#include "HistoryColorDelegate.h"
#include "LayoutHelpers.h"
#include "Main.h"
#include "VirtualListModel.h"
#include "widgets/ReportView.h"

namespace {

// Inner border of the History and Presets pages.
constexpr int kPageBorder = 8;

// A report-style list: column headers, whole-row single selection, no editing, and a
// selection that stays visible when the list loses the focus.
QTreeView* MakeReportList(QWidget* parent, const QString& name, TVirtualListModel* model,
                          const QList<int>& widths, const QString& hint) {
    auto* view = new TReportView(parent);  // repaints only the cells that changed
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

}  // namespace

void TMainForm::BuildHistoryPage() {
    const int clientWidth = 418;
    pScope = new QFrame(tsHistory);
    pScope->setObjectName(QStringLiteral("pScope"));
    pScope->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pScope->setLineWidth(1);
    pScope->setGeometry(kPageBorder, kPageBorder, clientWidth, 225);
    pScope->setAutoFillBackground(true);
    QPalette scopePalette = pScope->palette();
    scopePalette.setColor(QPalette::Window, Qt::black);
    pScope->setPalette(scopePalette);

    HistoryModel = new TVirtualListModel(
        {QStringLiteral("Color"), QStringLiteral("Channel"), QStringLiteral("Current, °C"),
         QStringLiteral("Average, °C"), QStringLiteral("Min, °C"), QStringLiteral("Max, °C")},
        this);
    QList<int> widths;
    for (int32_t width : kDefaultHistoryColumnWidths)
        widths.append(width);
    lvHistory = MakeReportList(tsHistory, QStringLiteral("lvHistory"), HistoryModel, widths, {});
    lvHistory->setGeometry(kPageBorder, kPageBorder + 232, clientWidth, 112);
    HistoryColors = new THistoryColorDelegate(lvHistory);
    lvHistory->setItemDelegateForColumn(0, HistoryColors);
    lvHistory->viewport()->installEventFilter(this);
    lvHistory->installEventFilter(this);
}

void TMainForm::BuildPresetsPage() {
    PresetsModel = new TVirtualListModel({QStringLiteral("№"), QStringLiteral("Name")}, this);
    QList<int> widths;
    for (int32_t width : kDefaultPresetsColumnWidths)
        widths.append(width);
    lvPresets = MakeReportList(tsPresets, QStringLiteral("lvPresets"), PresetsModel, widths, {});
    lvPresets->setGeometry(kPageBorder, kPageBorder, 335, 344);

    const int buttonLeft = kPageBorder + 418 - 75;
    bAdd =
        MakeActionButton(tsPresets, QStringLiteral("bAdd"), acPresetsAdd, buttonLeft, kPageBorder);
    bEdit = MakeActionButton(tsPresets, QStringLiteral("bEdit"), acPresetsEdit, buttonLeft,
                             kPageBorder + 32);
    bActive = MakeActionButton(tsPresets, QStringLiteral("bActive"), acPresetsActive, buttonLeft,
                               kPageBorder + 64);
    bDelete = MakeActionButton(tsPresets, QStringLiteral("bDelete"), acPresetsDelete, buttonLeft,
                               kPageBorder + 344 - 25);
    QWidget::setTabOrder(bAdd, bEdit);
    QWidget::setTabOrder(bEdit, bActive);
    QWidget::setTabOrder(bActive, bDelete);
    QWidget::setTabOrder(bDelete, lvPresets);
}
