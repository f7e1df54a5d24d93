// The regulation curve graph of the Channel page: grid, scale numbers, the selected channel's
// curve and alarm mark, and the two cursors drawn in NOT-XOR so that drawing one twice removes
// it. All coordinates are pixels of the paint box.
#include <QPainter>
#include <cmath>

#include "Main.h"
#include "PaintBox.h"
#include "core/Params.h"
#include "widgets/ColorConvert.h"
#include "widgets/PixelRaster.h"

namespace {

// Column of a temperature in tenths of a degree: 2 pixels per degree, 0 degrees at column 38.
int64_t GraphX(int64_t temperature) {
    return static_cast<int64_t>(std::trunc(static_cast<double>(temperature) * 0.2 + 38.5));
}

// Row of a PWM value: 0 at row 215, 255 at row 15.
int64_t GraphY(int64_t pwm) {
    return static_cast<int64_t>(std::trunc(215.5 - static_cast<double>(pwm * 200) / 255.0));
}

QRgb Rgb(TColor color) {
    return ToQColor(color).rgb();
}

// Each pixel of the line from (x0, y0) towards (x1, y1), end left out, becomes the inverse of
// (pixel XOR colour). The line is vertical or horizontal.
void NotXorLine(QImage& image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, QRgb color) {
    const int64_t dx = (x1 > x0) - (x1 < x0);
    const int64_t dy = (y1 > y0) - (y1 < y0);
    for (int64_t x = x0, y = y0; x != x1 || y != y1; x += dx, y += dy) {
        if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
            continue;
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        const QRgb pixel = line[x];
        line[x] = 0xFF000000u | (~(pixel ^ color) & 0x00FFFFFFu);
    }
}

// The vertical cursor at a temperature (0 or below counts as 0) and the horizontal one at a PWM.
void TempCursorPixels(QImage& image, int32_t temperature, QRgb color) {
    const int64_t x = GraphX(std::max<int64_t>(temperature, 0));
    NotXorLine(image, x, 15, x, 215, color);
}

void PwmCursorPixels(QImage& image, int32_t pwm, QRgb color) {
    const int64_t y = GraphY(pwm);
    NotXorLine(image, 38, y, 238, y, color);
}

}  // namespace

void TMainForm::ConnectGraphHandlers() {
    pbGraph->OnPaint = [this] { DrawGraphPicture(SelectedChannel); };
}

void TMainForm::DrawGraph(int channel) {
    DrawGraphPicture(channel);
    pbGraph->update();
}

void TMainForm::DrawGraphPicture(int channel) {
    QImage& canvas = pbGraph->Canvas();
    canvas.fill(Rgb(GraphColors.BackgroundColor));

    const QRgb grid = Rgb(GraphColors.GridColor);
    for (int i = 0; i <= 10; ++i) {
        DrawPixelLine(canvas, 38 + 20 * i, 218, 38 + 20 * i, 15, grid);
        DrawPixelLine(canvas, 35, 15 + 20 * i, 238, 15 + 20 * i, grid);
    }

    {
        QPainter painter(&canvas);
        painter.setFont(font());
        painter.setPen(ToQColor(GraphColors.NumberColor));
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(ToQColor(GraphColors.BackgroundColor));
        auto textOut = [&painter](int x, int y, const QString& text) {
            const QRect box(x, y, painter.fontMetrics().horizontalAdvance(text),
                            painter.fontMetrics().height());
            painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
        };
        for (int j = 0; j <= 9; ++j) {
            textOut(32 + 20 * j, 223, QString::number(10 * j));
            textOut(15, 209 - 20 * j, QString::number(10 * j));
        }
        textOut(232, 223, QStringLiteral("°C"));
        textOut(19, 9, QStringLiteral("%"));
    }

    const TParamsItem* active = Params != nullptr ? Params->Active() : nullptr;
    if (active != nullptr && channel >= 0 && channel < kChannelCount) {
        const TChannelParams& p = active->Channels[channel];
        const int64_t points[4][2] = {{38, GraphY(p.PWM_min)},
                                      {GraphX(p.T_min), GraphY(p.PWM_min)},
                                      {GraphX(p.T_max), GraphY(p.PWM_max)},
                                      {238, GraphY(p.PWM_max)}};
        DrawPixelPolyline(canvas, points, 4, Rgb(GraphColors.GraphColor));
        if (p.Ta != 0) {
            const int64_t x = GraphX(p.T_alarm);
            DrawPixelLine(canvas, x, 215, x, 220, Rgb(GraphColors.AlarmColor));
        }
    }

    if (channel >= 0 && channel < kChannelCount) {
        CursorT = Temperature[channel];
        CursorPwm = Pwm[channel];
    }
    TempCursorPixels(canvas, CursorT, Rgb(GraphColors.CursorVColor));
    PwmCursorPixels(canvas, CursorPwm, Rgb(GraphColors.CursorHColor));
}

void TMainForm::DrawTempCursor(int32_t temperature) {
    TempCursorPixels(pbGraph->Canvas(), temperature, Rgb(GraphColors.CursorVColor));
    pbGraph->update();
}

void TMainForm::DrawPwmCursor(int32_t pwm) {
    PwmCursorPixels(pbGraph->Canvas(), pwm, Rgb(GraphColors.CursorHColor));
    pbGraph->update();
}
