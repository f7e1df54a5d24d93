// Read-outs repainted at once, alone or together.
#include "ReadoutRepaint.h"

#include <QLineEdit>
#include <QPalette>

#include "LayoutHelpers.h"

namespace {

// The batch that is open on the user-interface thread, if any.
TReadoutBatch* openBatch = nullptr;

}  // namespace

void ShowReadout(QLineEdit* box, uint32_t color, const QString& text) {
    const QColor before = box->palette().color(QPalette::Base);
    SetBoxColor(box, color);
    if (box->text() == text && box->palette().color(QPalette::Base) == before)
        return;
    box->setText(text);
    if (!TReadoutBatch::Defer(box))
        box->repaint();
}

TReadoutBatch::TReadoutBatch() {
    if (openBatch == nullptr) {
        openBatch = this;
        open_ = true;
    }
}

TReadoutBatch::~TReadoutBatch() {
    if (!open_)
        return;
    openBatch = nullptr;
    if (window_ && !region_.isEmpty())
        window_->repaint(region_);
}

bool TReadoutBatch::Defer(QWidget* box) {
    if (openBatch == nullptr)
        return false;
    QWidget* window = box->window();
    if (openBatch->window_ != nullptr && openBatch->window_ != window) {
        box->repaint();  // another window: not part of this pass
        return true;
    }
    openBatch->window_ = window;
    if (box->isVisible())
        openBatch->region_ += QRect(box->mapTo(window, QPoint(0, 0)), box->size());
    return true;
}
