// The regulation curve graph of the Channel page: grid, scale numbers, the selected channel's
// curve and alarm mark, and the two cursors drawn in NOT-XOR so that drawing one twice removes
// it. All coordinates are pixels of the paint box.
#include <QFrame>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "Application.h"
#include "Main.h"
#include "PaintBox.h"
#include "Readouts.h"
#include "core/Params.h"
#include "widgets/ColorConvert.h"
#include "widgets/Floatedit.h"
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

// The cursors are drawn in NOT-XOR: each pixel becomes the inverse of (pixel XOR colour), so
// drawing the same cursor twice restores the picture exactly. Like every line of the graph they
// leave out their end point: the vertical one covers rows 15 to 214, the horizontal one columns
// 38 to 237.
void NotXorRect(QImage& image, const QRect& rect, TColor color) {
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.fillRect(rect, ToQColor(color));
}

// The vertical cursor at a temperature (0 or below counts as 0) and the horizontal one at a PWM.
// Values beyond the scales land outside the picture and draw nothing.
void TempCursorPixels(QImage& image, int32_t temperature, TColor color) {
    const int64_t x = GraphX(std::max<int64_t>(temperature, 0));
    if (x >= 0 && x < image.width())
        NotXorRect(image, QRect(static_cast<int>(x), 15, 1, 200), color);
}

void PwmCursorPixels(QImage& image, int32_t pwm, TColor color) {
    const int64_t y = GraphY(pwm);
    if (y >= 0 && y < image.height())
        NotXorRect(image, QRect(38, static_cast<int>(y), 200, 1), color);
}

// The fePx value for the pointer row: 0 % at row 215, 100 % at row 15, in steps of 0.5.
double PercentAtRow(int y) {
    return (215 - y) * 0.5;
}

}  // namespace

void TMainForm::ConnectGraphHandlers() {
    // Every repaint draws the whole graph afresh, so the cursors drawn straight into the
    // picture always sit on the picture DrawGraph made.
    pbGraph->OnPaint = [this] { DrawGraphPicture(SelectedChannel); };
    pbGraph->OnMouseDown = [this](Qt::MouseButton button, Qt::MouseButtons, int x, int y) {
        Guarded([&] { pbGraphMouseDown(button, x, y); });
    };
    pbGraph->OnMouseMove = [this](Qt::MouseButton, Qt::MouseButtons buttons, int x, int y) {
        Guarded([&] { pbGraphMouseMove(buttons, x, y); });
    };
}

void TMainForm::pbGraphMouseDown(Qt::MouseButton /*button*/, int /*x*/, int y) {
    // A field being edited is left first and takes its value.
    Panel1->setFocus(Qt::MouseFocusReason);
    if (y < 15 || y > 215)
        return;
    SetManualPwmFromGraph(y);
}

void TMainForm::pbGraphMouseMove(Qt::MouseButtons buttons, int /*x*/, int y) {
    if (!(buttons & Qt::LeftButton))
        return;
    SetManualPwmFromGraph(std::clamp(y, 15, 215));
}

void TMainForm::SetManualPwmFromGraph(int y) {
    // Only the manual PWM, and only while it can reach the controller. A row that gives the
    // PWM already set sends nothing again.
    const double percent = PercentAtRow(y);
    if (fePx->isReadOnly() || !fePx->isEnabled() || PwmFromPercent(percent) == Pwm[SelectedChannel])
        return;
    fePx->setModified(true);
    fePx->SetValue(percent);
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
    TempCursorPixels(canvas, CursorT, GraphColors.CursorVColor);
    PwmCursorPixels(canvas, CursorPwm, GraphColors.CursorHColor);
}

void TMainForm::DrawTempCursor(int32_t temperature) {
    TempCursorPixels(pbGraph->Canvas(), temperature, GraphColors.CursorVColor);
    pbGraph->update();
}

void TMainForm::DrawPwmCursor(int32_t pwm) {
    PwmCursorPixels(pbGraph->Canvas(), pwm, GraphColors.CursorHColor);
    pbGraph->update();
}
