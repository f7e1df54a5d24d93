// Showing a value in a read-out box at once, and repainting the read-outs of one refresh
// together: the polling cycle shows eighteen of them every second, and each repaint of its own
// would paint the page behind the box and hand the window to the screen again.
#pragma once

#include <QPointer>
#include <QRegion>
#include <QString>
#include <cstdint>

class QLineEdit;
class QWidget;

// Shows `text` on the background `color` in a read-out and repaints it at once (inside a
// TReadoutBatch: when the batch ends). A box that already shows exactly that is left alone:
// repainting it would change no pixel.
void ShowReadout(QLineEdit* box, uint32_t color, const QString& text);

// Shows a read-out's text in grey while its value is stale (the controller is off-line and the
// box keeps its last reading), in the palette's text colour otherwise.
void SetReadoutStale(QLineEdit* box, bool stale);

// While one lives, the read-outs that ShowReadout changes are repainted together, in one paint
// pass of their window, when it ends. Batches do not nest: an inner one does nothing.
class TReadoutBatch {
public:
    TReadoutBatch();
    ~TReadoutBatch();
    TReadoutBatch(const TReadoutBatch&) = delete;
    TReadoutBatch& operator=(const TReadoutBatch&) = delete;

    // Adds the box's area to the repaint at the end; false when no batch is open.
    static bool Defer(QWidget* box);

private:
    bool open_ = false;
    QPointer<QWidget> window_;
    QRegion region_;
};
