// The regulation curve graph: grid, scale numbers, one channel's curve and alarm mark, and the
// two cursors (temperature and PWM) drawn in NOT-XOR, so that drawing one twice removes it. It
// is a paint box: its owner redraws the picture before each paint (OnPaint) and hears the mouse.
// All coordinates are pixels of the graph.
#pragma once

#include <cstdint>

#include "PaintBox.h"
#include "core/Settings.h"

struct TChannelParams;

class TCurveGraph : public TPaintBox {
    Q_OBJECT
public:
    // Scales: 2 pixels per degree with 0 degrees at column kZeroColumn; PWM 0 on row
    // kZeroPwmRow and 255 (100 %) on row kFullPwmRow, kPwmRows rows apart.
    static constexpr int kZeroColumn = 38;
    static constexpr int kFullPwmRow = 15;
    static constexpr int kZeroPwmRow = 215;
    static constexpr int kPwmRows = kZeroPwmRow - kFullPwmRow;
    // The curve runs from the left axis to kRightColumn (100 degrees).
    static constexpr int kRightColumn = 238;
    // Grid: kGridLines + 1 lines each way, kGridPitch pixels apart; the vertical lines reach
    // down to kGridBottom, the horizontal ones left to kGridLeft (the ticks of the scales).
    static constexpr int kGridLines = 10;
    static constexpr int kGridPitch = 20;
    static constexpr int kGridBottom = 218;
    static constexpr int kGridLeft = 35;
    // Scale numbers: the temperature row's top, the PWM column's left edge, and their units.
    static constexpr int kTemperatureNumbersTop = 223;
    static constexpr int kPwmNumbersLeft = 15;
    static constexpr int kTemperatureUnitLeft = 232;
    static constexpr int kPwmUnitTop = 9;
    static constexpr int kPwmUnitLeft = 19;
    // The alarm mark: a short vertical line under the curve's axis.
    static constexpr int kAlarmMarkBottom = 220;

    explicit TCurveGraph(QWidget* parent = nullptr);

    // Column of a temperature in tenths of a degree; row of a PWM value 0..255.
    static int64_t ColumnOf(int64_t temperature);
    static int64_t RowOf(int64_t pwm);
    // The manual PWM percent of pointer row y: 0 % on kZeroPwmRow, 100 % on kFullPwmRow, in
    // steps of 0.5.
    static double PercentAtRow(int y);

    // The whole picture afresh: background, grid, numbers, the curve of `params` (none when
    // null) and the cursors at the positions last set.
    void DrawPicture(const TGraphColors& colors, const TChannelParams* params);
    // Where DrawPicture puts the cursors.
    void SetCursors(int32_t temperature, int32_t pwm);
    int32_t CursorT() const { return cursorT_; }
    int32_t CursorPwm() const { return cursorPwm_; }
    void SetCursorT(int32_t temperature) { cursorT_ = temperature; }
    void SetCursorPwm(int32_t pwm) { cursorPwm_ = pwm; }
    // A cursor straight into the picture, repainted: the vertical one at a temperature (0 or
    // below counts as 0), the horizontal one at a PWM. Values beyond the scales draw nothing.
    void DrawTempCursor(int32_t temperature, const TGraphColors& colors);
    void DrawPwmCursor(int32_t pwm, const TGraphColors& colors);

private:
    int32_t cursorT_ = 0;
    int32_t cursorPwm_ = 0;
};
