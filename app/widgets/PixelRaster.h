// Exact one-pixel drawing on an off-screen picture: lines that leave out their end point, column
// fills and the two-column scroll of the scope display. No antialiasing, no scaling.
#pragma once

#include <QImage>
#include <cstdint>

// Draws a one-pixel line from (x0, y0) towards (x1, y1), leaving out the end point, so that a
// line from (x, 0) to (x, h) colours rows 0 to h - 1 of column x and a line from (0, y) to (w, y)
// colours columns 0 to w - 1 of row y. Each step along the longer axis colours one pixel; the
// other coordinate is rounded to the nearest pixel. Pixels outside the picture are skipped, and
// only the part of the line inside the picture is walked, so far-away end points cost nothing.
// A line from a point to itself draws nothing.
void DrawPixelLine(QImage& image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, QRgb color);

// Draws a polyline through the given points: each segment as DrawPixelLine, so the inner points
// are coloured once and the last point is left out.
void DrawPixelPolyline(QImage& image, const int64_t (*points)[2], int count, QRgb color);

// Fills `count` columns starting at `first`, all rows; columns outside the picture are skipped.
void FillPixelColumns(QImage& image, int64_t first, int64_t count, QRgb color);

// Moves the picture `columns` to the left: column `columns` lands on column 0 and so on; the
// leftmost columns are lost and the rightmost `columns` columns keep their old content.
void ScrollPixelsLeft(QImage& image, int columns);
