// Read-outs repainted at once, alone or together.
#include "ReadoutRepaint.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>

#include "LayoutHelpers.h"
#include "widgets/ColorConvert.h"

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

void SetReadoutStale(QLineEdit* box, bool stale) {
    const QColor color = stale ? ToQColor(clGray)
                               : QApplication::palette(box).color(QPalette::Active, QPalette::Text);
    QPalette palette = box->palette();
    if (palette.color(QPalette::Active, QPalette::Text) == color)
        return;
    palette.setColor(QPalette::Text, color);
    box->setPalette(palette);
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
