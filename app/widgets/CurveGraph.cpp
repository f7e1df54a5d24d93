// The regulation curve graph's picture and its NOT-XOR cursors.
#include "CurveGraph.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ColorConvert.h"
#include "PixelRaster.h"
#include "core/Params.h"

namespace {

QRgb Rgb(TColor color) {
    return ToQColor(color).rgb();
}

// The cursors are drawn in NOT-XOR: each pixel becomes the inverse of (pixel XOR colour), so
// drawing the same cursor twice restores the picture exactly. Like every line of the graph they
// leave out their end point: the vertical one covers rows 15 to 214, the horizontal one columns
// 38 to 237.
void NotXorRect(QImage& image, const QRect& rect, TColor color) {
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.fillRect(rect, ToQColor(color));
}

void TempCursorPixels(QImage& image, int32_t temperature, TColor color) {
    const int64_t x = TCurveGraph::ColumnOf(std::max<int64_t>(temperature, 0));
    if (x >= 0 && x < image.width()) {
        NotXorRect(image,
                   QRect(static_cast<int>(x), TCurveGraph::kFullPwmRow, 1, TCurveGraph::kPwmRows),
                   color);
    }
}

void PwmCursorPixels(QImage& image, int32_t pwm, TColor color) {
    const int64_t y = TCurveGraph::RowOf(pwm);
    if (y >= 0 && y < image.height()) {
        NotXorRect(image,
                   QRect(TCurveGraph::kZeroColumn, static_cast<int>(y),
                         TCurveGraph::kRightColumn - TCurveGraph::kZeroColumn, 1),
                   color);
    }
}

}  // namespace

TCurveGraph::TCurveGraph(QWidget* parent) : TPaintBox(parent) {}

int64_t TCurveGraph::ColumnOf(int64_t temperature) {
    return static_cast<int64_t>(
        std::trunc(static_cast<double>(temperature) * 0.2 + (kZeroColumn + 0.5)));
}

int64_t TCurveGraph::RowOf(int64_t pwm) {
    return static_cast<int64_t>(
        std::trunc((kZeroPwmRow + 0.5) - static_cast<double>(pwm * kPwmRows) / 255.0));
}

double TCurveGraph::PercentAtRow(int y) {
    return (kZeroPwmRow - y) * 0.5;
}

void TCurveGraph::SetCursors(int32_t temperature, int32_t pwm) {
    cursorT_ = temperature;
    cursorPwm_ = pwm;
}

void TCurveGraph::DrawPicture(const TGraphColors& colors, const TChannelParams* params) {
    QImage& canvas = Canvas();
    canvas.fill(Rgb(colors.BackgroundColor));

    const QRgb grid = Rgb(colors.GridColor);
    for (int i = 0; i <= kGridLines; ++i) {
        const int column = kZeroColumn + kGridPitch * i;
        const int row = kFullPwmRow + kGridPitch * i;
        DrawPixelLine(canvas, column, kGridBottom, column, kFullPwmRow, grid);
        DrawPixelLine(canvas, kGridLeft, row, kRightColumn, row, grid);
    }

    {
        QPainter painter(&canvas);
        painter.setFont(font());
        painter.setPen(ToQColor(colors.NumberColor));
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(ToQColor(colors.BackgroundColor));
        auto textOut = [&painter](int x, int y, const QString& text) {
            const QRect box(x, y, painter.fontMetrics().horizontalAdvance(text),
                            painter.fontMetrics().height());
            painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
        };
        // The numbers 0 to 90 stand 6 pixels left of their grid line, and 6 pixels above it.
        for (int j = 0; j < kGridLines; ++j) {
            textOut(kZeroColumn - 6 + kGridPitch * j, kTemperatureNumbersTop,
                    QString::number(10 * j));
            textOut(kPwmNumbersLeft, kZeroPwmRow - 6 - kGridPitch * j, QString::number(10 * j));
        }
        textOut(kTemperatureUnitLeft, kTemperatureNumbersTop, QStringLiteral("°C"));
        textOut(kPwmUnitLeft, kPwmUnitTop, QStringLiteral("%"));
    }

    if (params != nullptr) {
        const TChannelParams& p = *params;
        const int64_t points[4][2] = {{kZeroColumn, RowOf(p.PWM_min)},
                                      {ColumnOf(p.T_min), RowOf(p.PWM_min)},
                                      {ColumnOf(p.T_max), RowOf(p.PWM_max)},
                                      {kRightColumn, RowOf(p.PWM_max)}};
        DrawPixelPolyline(canvas, points, 4, Rgb(colors.GraphColor));
        if (p.Ta != 0) {
            const int64_t x = ColumnOf(p.T_alarm);
            DrawPixelLine(canvas, x, kZeroPwmRow, x, kAlarmMarkBottom, Rgb(colors.AlarmColor));
        }
    }

    TempCursorPixels(canvas, cursorT_, colors.CursorVColor);
    PwmCursorPixels(canvas, cursorPwm_, colors.CursorHColor);
}

void TCurveGraph::DrawTempCursor(int32_t temperature, const TGraphColors& colors) {
    TempCursorPixels(Canvas(), temperature, colors.CursorVColor);
    update();
}

void TCurveGraph::DrawPwmCursor(int32_t pwm, const TGraphColors& colors) {
    PwmCursorPixels(Canvas(), pwm, colors.CursorHColor);
    update();
}
