// The paint box's picture, painting and mouse reports.
#include "PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& TPaintBox::Canvas() {
    if (canvas_.size() != size()) {
        QImage resized(size(), QImage::Format_RGB32);
        resized.fill(Qt::white);
        canvas_ = resized;
    }
    return canvas_;
}

void TPaintBox::paintEvent(QPaintEvent* /*event*/) {
    if (OnPaint)
        OnPaint();
    QPainter painter(this);
    painter.drawImage(0, 0, Canvas());
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) {
        const QPoint pos = event->position().toPoint();
        OnMouseDown(event->button(), event->buttons(), pos.x(), pos.y());
    }
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) {
        const QPoint pos = event->position().toPoint();
        OnMouseMove(event->button(), event->buttons(), pos.x(), pos.y());
    }
}
