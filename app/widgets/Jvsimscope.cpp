// The scrolling strip-chart display: off-screen picture, grid, base line, traces and the timer
// that drives both the display and the program's polling.
#include "Jvsimscope.h"

#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ColorConvert.h"
#include "PixelRaster.h"
#include "core/Exceptions.h"

namespace {

// Nearest integer, a tie going to the even neighbour; independent of the FPU rounding mode.
double RoundHalfEven(double x) {
    const double below = std::floor(x);
    const double diff = x - below;
    if (diff > 0.5) {
        return below + 1.0;
    }
    if (diff < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

// Rows far outside the picture are invisible anyway; keep them inside 32 bits.
int32_t SaturateRow(double row) {
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (std::isnan(row)) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(row, lo, hi));
}

constexpr int kDefaultWidth = 208;
constexpr int kDefaultHeight = 120;

}  // namespace

// ---- TJvScopeLine ----

void TJvScopeLine::Assign(const TJvScopeLine& source) {
    Name = source.Name;
    Color = source.Color;
    Position = source.Position;
}

QString TJvScopeLine::GetDisplayName() const {
    return Name.isEmpty() ? QStringLiteral("TJvScopeLine") : Name;
}

// ---- TJvScopeLines ----

TJvScopeLine* TJvScopeLines::Add() {
    items_.push_back(std::make_unique<TJvScopeLine>());
    return items_.back().get();
}

TJvScopeLine* TJvScopeLines::GetItem(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
    return items_[static_cast<size_t>(index)].get();
}

void TJvScopeLines::SetItem(int index, const TJvScopeLine& line) {
    GetItem(index)->Assign(line);
}

void TJvScopeLines::Assign(const TJvScopeLines& source) {
    if (&source == this) {
        return;
    }
    items_.clear();
    for (const auto& item : source.items_) {
        Add()->Assign(*item);
    }
}

// ---- TJvSimScope ----

TJvSimScope::TJvSimScope(QWidget* parent)
    : QWidget(parent), timer_(new QTimer(this)), lines_(this) {
    ready_ = false;
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(500);
    connect(timer_, &QTimer::timeout, this, [this] { UpdateScope(timer_); });
    resize(kDefaultWidth, kDefaultHeight);
    picture_ = QImage(kDefaultWidth, kDefaultHeight, QImage::Format_RGB32);
    color_ = clBlack;
    picture_.fill(Rgb(color_));
    gridColor_ = clGreen;
    baseColor_ = clRed;
    SetBaseLine(50);
    SetGridSize(16);
    SetInterval(50);
    tickCount_ = 1;
    // The widget paints its whole area itself from the picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    ready_ = true;
}

TJvSimScope::~TJvSimScope() {
    timer_->stop();
}

QRgb TJvSimScope::Rgb(TColor color) const {
    return ToQColor(color, palette()).rgb();
}

int32_t TJvSimScope::ComputeBaseY() const {
    const int h = height();
    return SaturateRow(h - RoundHalfEven(h / 100.0 * baseLine_));
}

int32_t TJvSimScope::RowOfPosition(int32_t position) const {
    const int h = height();
    return SaturateRow(h - RoundHalfEven(position * (h / 100.0)));
}

void TJvSimScope::ProgramTimer(bool enabled) {
    timer_->stop();
    const int64_t period =
        std::clamp<int64_t>(int64_t{interval_} * 10, 0, std::numeric_limits<int>::max());
    timer_->setInterval(static_cast<int>(period));
    // A period of 0 never fires (a zero-interval QTimer would fire on every loop pass).
    if (enabled && period > 0) {
        timer_->start();
        if (!timer_->isActive()) {
            throw Exception("Not enough timers available");
        }
    }
}

void TJvSimScope::SetActive(bool value) {
    if (value == active_) {
        return;
    }
    baseY_ = ComputeBaseY();
    ProgramTimer(value);
    active_ = value;
}

void TJvSimScope::SetInterval(int32_t value) {
    if (value == interval_) {
        return;
    }
    timer_->stop();
    baseY_ = ComputeBaseY();
    interval_ = value;
    ProgramTimer(active_);
}

void TJvSimScope::SetBaseLine(int32_t value) {
    baseLine_ = value;
    baseY_ = ComputeBaseY();
    UpdateDisplay(true);
}

void TJvSimScope::SetGridSize(int32_t value) {
    if (value != gridSize_ && value > 0) {
        gridSize_ = value;
        UpdateDisplay(true);
    }
}

void TJvSimScope::SetColor(TColor value) {
    color_ = value;
    update();
}

void TJvSimScope::SetLines(const TJvScopeLines& source) {
    lines_.Assign(source);
    Clear();
}

void TJvSimScope::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
    if (picture_.size() != size()) {
        picture_ = QImage(size(), QImage::Format_RGB32);
        picture_.fill(Rgb(color_));
        pending_.clear();
    }
    Clear();
}

void TJvSimScope::FollowWidgetSize() {
    if (picture_.size() == size()) {
        return;
    }
    picture_ = QImage(size(), QImage::Format_RGB32);
    picture_.fill(Rgb(color_));
    pending_.clear();
    Clear();
}

void TJvSimScope::UpdateDisplay(bool clear) {
    if (parentWidget() == nullptr) {
        return;
    }
    if (clear) {
        Clear();
    }
    repaint();
}

void TJvSimScope::DrawHorizontalGrid(int64_t firstColumn, int64_t endColumn, QRgb color,
                                     int32_t baseY, int32_t gridSize) {
    // The grid rows are BaseY + k * GridSize for every k other than 0, running away from the base
    // line in both directions; only the ones inside the picture are visible, so start at the
    // first such row at or below the top instead of walking there from a far-away base line.
    const int64_t g = gridSize;
    const int64_t h = picture_.height();
    int64_t y = ((int64_t{baseY} % g) + g) % g;
    for (; y < h; y += g) {
        if (y != baseY) {
            DrawPixelLine(picture_, firstColumn, y, endColumn, y, color);
        }
    }
}

void TJvSimScope::Clear() {
    if (!ready_) {
        return;
    }
    baseY_ = ComputeBaseY();
    for (int i = 0; i < lines_.Count(); ++i) {
        TJvScopeLine* line = lines_.GetItem(i);
        line->PrevY = baseY_;
        line->LastY = baseY_;
    }
    tickCount_ = 1;
    pending_.clear();  // the picture starts again: nothing of them would show
    if (picture_.isNull()) {
        return;
    }
    const int64_t w = picture_.width();
    const int64_t h = picture_.height();
    picture_.fill(Rgb(color_));
    const QRgb grid = Rgb(gridColor_);
    // Vertical grid lines anchored at the right edge: columns W-1, W-1-G, ...
    for (int64_t x = w; x > 0; x -= gridSize_) {
        DrawPixelLine(picture_, x - 1, 0, x - 1, h, grid);
    }
    DrawHorizontalGrid(0, w, grid);
    DrawPixelLine(picture_, 0, baseY_, w, baseY_, Rgb(baseColor_));
}

void TJvSimScope::UpdateScope(QObject* /*sender*/) {
    if (inTick_) {
        return;
    }
    inTick_ = true;
    struct TickGuard {
        bool& flag;
        ~TickGuard() { flag = false; }
    } guard{inTick_};

    FollowWidgetSize();
    if (!picture_.isNull()) {
        TStrip strip;
        strip.background = Rgb(color_);
        strip.grid = Rgb(gridColor_);
        strip.base = Rgb(baseColor_);
        strip.baseY = baseY_;
        strip.gridSize = gridSize_;
        strip.verticalGrid = tickCount_ == gridSize_ / 2;
        if (strip.verticalGrid) {
            tickCount_ = 0;
        }
        ++tickCount_;
        strip.traces.reserve(static_cast<size_t>(lines_.Count()));
        for (int i = 0; i < lines_.Count(); ++i) {
            TJvScopeLine* line = lines_.GetItem(i);
            const int32_t y = RowOfPosition(line->Position);
            strip.traces.push_back({line->PrevY, line->LastY, y, Rgb(line->Color)});
            line->PrevY = line->LastY;
            line->LastY = y;
        }
        if (isVisible()) {
            CatchUp();
            DrawStrip(strip);
            repaint();
        } else {
            // Hidden: note the strip. Once the picture has scrolled a whole width, the oldest
            // strips have left it and nothing of what they drew would show.
            pending_.push_back(std::move(strip));
            while (pending_.size() > static_cast<size_t>(picture_.width() / 2 + 2)) {
                pending_.pop_front();
            }
        }
    }
    // The program's clock: raised on every tick, also while the picture is empty.
    if (OnUpdate) {
        OnUpdate(this);
    }
}

void TJvSimScope::DrawStrip(const TStrip& strip) {
    const int64_t w = picture_.width();
    const int64_t h = picture_.height();
    ScrollPixelsLeft(picture_, 2);
    FillPixelColumns(picture_, w - 2, 2, strip.background);
    if (strip.verticalGrid) {
        DrawPixelLine(picture_, w - 1, 0, w - 1, h, strip.grid);
    }
    DrawHorizontalGrid(w - 2, w, strip.grid, strip.baseY, strip.gridSize);
    DrawPixelLine(picture_, w - 2, strip.baseY, w, strip.baseY, strip.base);
    for (const TStrip::TTrace& trace : strip.traces) {
        const int64_t points[3][2] = {{w - 4, trace.prevY}, {w - 2, trace.lastY}, {w, trace.y}};
        DrawPixelPolyline(picture_, points, 3, trace.color);
    }
}

void TJvSimScope::CatchUp() const {
    if (pending_.empty()) {
        return;
    }
    // Drawing changes the picture only: what every widget reading shows stays the same.
    auto* self = const_cast<TJvSimScope*>(this);
    for (const TStrip& strip : pending_) {
        self->DrawStrip(strip);
    }
    pending_.clear();
}

const QImage& TJvSimScope::Picture() const {
    CatchUp();
    return picture_;
}

void TJvSimScope::paintEvent(QPaintEvent* /*event*/) {
    FollowWidgetSize();
    CatchUp();
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
    ready_ = true;
}

void TJvSimScope::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FollowWidgetSize();
}
