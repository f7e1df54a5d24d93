// Placing a window that would lie mostly off every screen onto the nearest one.
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace {

qint64 Area(const QRect& rect) {
    return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
}

// Distance squared from `point` to the nearest point of `rect`.
qint64 DistanceSquared(const QPoint& point, const QRect& rect) {
    const qint64 dx = std::max<qint64>({rect.left() - point.x(), 0, point.x() - rect.right()});
    const qint64 dy = std::max<qint64>({rect.top() - point.y(), 0, point.y() - rect.bottom()});
    return dx * dx + dy * dy;
}

}  // namespace

QPoint PlaceOnScreens(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty() || window.isEmpty())
        return window.topLeft();
    qint64 onScreens = 0;
    for (const QRect& screen : screens)
        onScreens += Area(window.intersected(screen));
    if (2 * onScreens >= Area(window))
        return window.topLeft();

    const QRect* nearest = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& screen : screens) {
        if (screen.isEmpty())
            continue;
        const qint64 distance = DistanceSquared(window.center(), screen);
        if (distance < best) {
            best = distance;
            nearest = &screen;
        }
    }
    if (nearest == nullptr)
        return window.topLeft();
    const int left =
        std::max(nearest->left(), std::min(window.left(), nearest->right() + 1 - window.width()));
    const int top =
        std::max(nearest->top(), std::min(window.top(), nearest->bottom() + 1 - window.height()));
    return {left, top};
}

QPoint PlaceOnCurrentScreens(const QRect& window) {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return PlaceOnScreens(window, areas);
}
