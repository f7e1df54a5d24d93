// The scrolling strip-chart display of the History page. Its timer is also the program's clock:
// every tick scrolls the picture, plots the traces and then raises OnUpdate. While the display
// is hidden (another page is shown, the window is in the tray) a tick only notes what it would
// draw, and the picture catches up, pixel for pixel, when it is next shown or read.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "WidgetEvents.h"
#include "core/Color.h"

class QTimer;
class TJvSimScope;

// One trace of the display.
class TJvScopeLine {
public:
    // Copies Name, Color and Position; the plotting state (PrevY, LastY) stays.
    void Assign(const TJvScopeLine& source);
    // Name, or the class name "TJvScopeLine" when Name is empty.
    QString GetDisplayName() const;

    QString Name;
    TColor Color = clLime;
    // Plotted at the next tick, in percent of the height counted from the bottom: 100 is row 0,
    // 0 is row Height (just below the picture). Not limited.
    int32_t Position = 50;
    int32_t PrevY = 0;  // row plotted two ticks ago
    int32_t LastY = 0;  // row plotted at the last tick
};

// The traces, owned by the display.
class TJvScopeLines {
public:
    explicit TJvScopeLines(TJvSimScope* owner) : owner_(owner) {}
    TJvScopeLines(const TJvScopeLines&) = delete;
    TJvScopeLines& operator=(const TJvScopeLines&) = delete;

    TJvSimScope* Owner() const { return owner_; }
    // Appends a line with the defaults and returns it; the collection keeps ownership.
    TJvScopeLine* Add();
    int Count() const { return static_cast<int>(items_.size()); }
    // An index outside 0 .. Count - 1 throws the list error "List index out of bounds (%d)".
    TJvScopeLine* GetItem(int index) const;
    // Copies `line` into the item through Assign.
    void SetItem(int index, const TJvScopeLine& line);
    // Empties this collection and appends a copy of each line of `source`, in order.
    void Assign(const TJvScopeLines& source);

private:
    TJvSimScope* owner_;
    std::vector<std::unique_ptr<TJvScopeLine>> items_;
};

class TJvSimScope : public QWidget {
    Q_OBJECT

public:
    // Width 208, height 120, black background, green grid of 16 pixels, red base line at 50 %,
    // interval 50 (500 ms), inactive.
    explicit TJvSimScope(QWidget* parent = nullptr);
    ~TJvSimScope() override;

    // The timer runs exactly while Active is true (and Interval is above 0). Setting the current
    // value again does nothing; activating always starts a full new period.
    bool Active() const { return active_; }
    void SetActive(bool value);

    TColor BaseColor() const { return baseColor_; }
    void SetBaseColor(TColor value) { baseColor_ = value; }  // applies to later drawing

    // Height of the base line in percent of the height, from the bottom; not limited.
    int32_t BaseLine() const { return baseLine_; }
    void SetBaseLine(int32_t value);

    // Background. Repaints, but does not clear: the new colour shows in the strips drawn from
    // now on and everywhere after the next Clear.
    TColor Color() const { return color_; }
    void SetColor(TColor value);

    TColor GridColor() const { return gridColor_; }
    void SetGridColor(TColor value) { gridColor_ = value; }  // applies to later drawing

    // Grid spacing in pixels; values of 0 or below are ignored.
    int32_t GridSize() const { return gridSize_; }
    void SetGridSize(int32_t value);

    // Tick period in units of 10 ms; 0 or below never ticks.
    int32_t Interval() const { return interval_; }
    void SetInterval(int32_t value);

    TJvScopeLines& Lines() { return lines_; }
    const TJvScopeLines& Lines() const { return lines_; }
    // Copies the lines of `source`, then clears the picture.
    void SetLines(const TJvScopeLines& source);

    // Moves and resizes the widget, then starts a fresh picture of the new size.
    void SetBounds(int left, int top, int width, int height);
    // Redraws the empty picture: background, grid anchored at the right edge and the base line,
    // base line; every trace starts again from the base line. Does nothing until Ready. Does not
    // repaint by itself.
    void Clear();
    // Only while the widget has a parent: Clear when `clear` is true, then repaint at once.
    void UpdateDisplay(bool clear);
    // End of loading from a stored layout: the widget is ready.
    void Loaded() { ready_ = true; }
    // One tick: scroll two columns, draw the new strip and the traces, repaint, raise OnUpdate.
    // A tick that arrives while one is running (from a nested event loop) is dropped.
    void UpdateScope(QObject* sender = nullptr);

    // Row of the base line in the picture.
    int32_t BaseY() const { return baseY_; }
    // Ticks since the last vertical grid line at the right edge.
    int32_t TickCount() const { return tickCount_; }
    bool Ready() const { return ready_; }
    // The off-screen picture that painting copies to the screen, with every tick drawn.
    const QImage& Picture() const;

    // Raised at the end of every tick with the widget as sender.
    TNotifyEvent OnUpdate;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int32_t ComputeBaseY() const;
    int32_t RowOfPosition(int32_t position) const;
    void ProgramTimer(bool enabled);
    // A size that differs from the picture's is a change of bounds: fresh picture of that size.
    void FollowWidgetSize();
    void DrawHorizontalGrid(int64_t firstColumn, int64_t endColumn, QRgb color) {
        DrawHorizontalGrid(firstColumn, endColumn, color, baseY_, gridSize_);
    }
    void DrawHorizontalGrid(int64_t firstColumn, int64_t endColumn, QRgb color, int32_t baseY,
                            int32_t gridSize);
    QRgb Rgb(TColor color) const;

    // What one tick draws, worked out when it happens: its colours and rows as they were then.
    struct TStrip {
        QRgb background = 0;
        QRgb grid = 0;
        QRgb base = 0;
        int32_t baseY = 0;
        int32_t gridSize = 0;
        bool verticalGrid = false;
        struct TTrace {
            int32_t prevY, lastY, y;
            QRgb color;
        };
        std::vector<TTrace> traces;
    };
    // Scrolls the picture two columns and draws the strip at the right edge.
    void DrawStrip(const TStrip& strip);
    // Draws the strips noted while hidden.
    void CatchUp() const;

    // Mutable: reading the picture first draws what the hidden ticks noted.
    mutable QImage picture_;
    mutable std::deque<TStrip> pending_;
    QTimer* timer_;
    TJvScopeLines lines_;
    bool ready_ = false;
    bool active_ = false;
    bool inTick_ = false;
    TColor color_ = clBlack;
    TColor baseColor_ = clRed;
    TColor gridColor_ = clGreen;
    int32_t baseLine_ = 0;
    int32_t gridSize_ = 0;
    int32_t interval_ = 0;
    int32_t baseY_ = 0;
    int32_t tickCount_ = 1;
};
