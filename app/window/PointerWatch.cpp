// An application-wide filter that notes the events that can put another widget, or another
// hint, under the pointer.
#include "PointerWatch.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

namespace {

class TPointerWatch : public QObject {
public:
    bool changed = true;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::Enter:
            case QEvent::Leave:
            case QEvent::HoverEnter:
            case QEvent::HoverLeave:
            case QEvent::HoverMove:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::DragLeave:
            case QEvent::Drop:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::TabletMove:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::ShowToParent:
            case QEvent::HideToParent:
            case QEvent::ZOrderChange:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::ParentChange:
            case QEvent::WindowActivate:
            case QEvent::WindowDeactivate:
            case QEvent::WindowStateChange:
            case QEvent::ApplicationStateChange:
            case QEvent::DynamicPropertyChange:  // a hint is a dynamic property
            case QEvent::ActionChanged:
            case QEvent::ActionAdded:
            case QEvent::ActionRemoved:
            case QEvent::EnabledChange:
            case QEvent::ScreenChangeInternal:
                changed = true;
                break;
            default:
                break;
        }
        return false;
    }
};

}  // namespace

bool PointerTargetMayHaveChanged() {
    static QPointer<TPointerWatch> watch;
    if (!watch && qApp != nullptr) {
        watch = new TPointerWatch;
        watch->setParent(qApp);
        qApp->installEventFilter(watch);
    }
    if (!watch)
        return true;
    const bool changed = watch->changed;
    watch->changed = false;
    return changed;
}
