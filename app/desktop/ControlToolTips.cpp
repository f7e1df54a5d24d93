// An application-wide filter that drops tooltip events of one window's widgets only.
#include "ControlToolTips.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class TControlToolTips : public QObject {
public:
    explicit TControlToolTips(QWidget* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return false;
        // Widgets inside the window, and menus and boxes whose parent chain leads to it.
        for (const QWidget* w = static_cast<QWidget*>(watched); w != nullptr;
             w = w->parentWidget()) {
            if (w == window_)
                return true;
        }
        return false;
    }

private:
    const QWidget* window_;
};

}  // namespace

void HideToolTipsOfControls(QWidget* window) {
    if (qApp != nullptr)
        qApp->installEventFilter(new TControlToolTips(window));
}
