// Hints instead of tooltips: the long part of the hint under the pointer goes to the third
// status panel; the page control's hint follows the tab under the pointer. Also the idle step
// that recomputes the actions' enable rules.
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>

#include "ActionList.h"
#include "LayoutHelpers.h"
#include "MainForm.h"
#include "PointerWatch.h"
#include "desktop/ControlToolTips.h"

void TMainForm::ConnectHints() {
    HideToolTipsOfControls(this);  // desktop hook
    frame_.PageControl->setMouseTracking(true);
    frame_.PageControl->installEventFilter(this);
}

void TMainForm::ApplicationHint(const QString& hint) {
    frame_.StatusPanels[2]->setText(LongHint(hint));
}

void TMainForm::PageControlMouseMove(int x, int y) {
    QTabBar* bar = frame_.PageControl->tabBar();
    const QPoint point = bar->mapFrom(frame_.PageControl, QPoint(x, y));
    const int tab = bar->rect().contains(point) ? bar->tabAt(point) : -1;
    SetHint(frame_.PageControl, tab >= 0 ? HintText(frame_.PageControl->widget(tab)) : QString());
}

QString TMainForm::HintOf(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QString hint = HintText(w);
        if (!hint.isEmpty())
            return hint;
        if (w->isWindow())
            break;
    }
    return {};
}

QString TMainForm::HintAt(const QPoint& globalPos) const {
    QWidget* widget = QApplication::widgetAt(globalPos);
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        const QAction* action = menu->actionAt(menu->mapFromGlobal(globalPos));
        return action != nullptr ? HintText(action) : HintText(menu);
    }
    return HintOf(widget);
}

void TMainForm::ApplicationIdle() {
    try {
        frame_.ActionList1->UpdateAll();
        if (!PointerTargetMayHaveChanged())
            return;  // the same widget and hint as last time
        const QString hint = HintAt(QCursor::pos());
        if (hint != lastHint_) {
            lastHint_ = hint;
            ApplicationHint(hint);
        }
    } catch (...) {
        // Idle processing must never let an error out of the event dispatcher.
    }
}

bool TMainForm::event(QEvent* event) {
    // Status tips would go to the status bar's message area; the hints have their own panel.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove &&
        (watched == frame_.PageControl || watched == frame_.PageControl->tabBar())) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint point =
            static_cast<QWidget*>(watched)->mapTo(frame_.PageControl, mouse->position().toPoint());
        PageControlMouseMove(point.x(), point.y());
        return false;
    }
    return QMainWindow::eventFilter(watched, event);
}
