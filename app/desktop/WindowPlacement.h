// Keeping a stored window position on the screens that exist now (a monitor may have been
// removed since the position was stored).
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

// Where a window of `window`'s size goes when it was stored at `window`'s position: there, as
// long as at least half of it lies on the screens (`screens`, their available areas);
// otherwise on the screen nearest to it, moved just far enough to lie wholly on that screen
// (its top-left corner on the screen when the window is larger). With no screens the stored
// position stands.
QPoint PlaceOnScreens(const QRect& window, const QList<QRect>& screens);

// PlaceOnScreens over the available areas of the screens the application sees now.
QPoint PlaceOnCurrentScreens(const QRect& window);
