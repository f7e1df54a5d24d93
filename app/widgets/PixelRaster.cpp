// One-pixel line drawing, column fills and scrolling on a 32-bit off-screen picture.
#include "PixelRaster.h"

#include <algorithm>
#include <cstring>

namespace {

using Wide = __int128;

// Floor division for a positive divisor.
Wide FloorDiv(Wide num, Wide den) {
    Wide q = num / den;
    if ((num % den != 0) && (num < 0)) {
        --q;
    }
    return q;
}

void PutPixel(QImage& image, int64_t x, int64_t y, QRgb color) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
        return;
    }
    reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)))[x] = color;
}

}  // namespace

void DrawPixelLine(QImage& image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, QRgb color) {
    if (image.isNull()) {
        return;
    }
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    // Walk the longer axis: "major" coordinates m0 + step * t for t = 0 .. n - 1 (the end point,
    // t = n, is left out), with the other coordinate rounded from the exact slope.
    const int64_t m0 = xMajor ? x0 : y0;
    const int64_t n0 = xMajor ? y0 : x0;
    const int64_t dm = xMajor ? dx : dy;
    const int64_t dn = xMajor ? dy : dx;
    const int64_t n = dm < 0 ? -dm : dm;
    if (n == 0) {
        return;
    }
    const int64_t step = dm < 0 ? -1 : 1;
    const int64_t limit = xMajor ? image.width() : image.height();
    // Only the steps whose major coordinate lies inside the picture can colour a pixel.
    int64_t tFirst = 0;
    int64_t tLast = n - 1;
    if (step > 0) {
        tFirst = std::max<int64_t>(tFirst, -m0);
        tLast = std::min<int64_t>(tLast, limit - 1 - m0);
    } else {
        tFirst = std::max<int64_t>(tFirst, m0 - (limit - 1));
        tLast = std::min<int64_t>(tLast, m0);
    }
    for (int64_t t = tFirst; t <= tLast; ++t) {
        const int64_t m = m0 + step * t;
        // Nearest pixel to n0 + dn * t / n, halves rounded up.
        const Wide minor = static_cast<Wide>(n0) +
                           FloorDiv(2 * static_cast<Wide>(dn) * t + n, 2 * static_cast<Wide>(n));
        const int64_t other =
            static_cast<int64_t>(std::clamp<Wide>(minor, INT64_MIN / 2, INT64_MAX / 2));
        if (xMajor) {
            PutPixel(image, m, other, color);
        } else {
            PutPixel(image, other, m, color);
        }
    }
}

void DrawPixelPolyline(QImage& image, const int64_t (*points)[2], int count, QRgb color) {
    for (int i = 0; i + 1 < count; ++i) {
        DrawPixelLine(image, points[i][0], points[i][1], points[i + 1][0], points[i + 1][1], color);
    }
}

void FillPixelColumns(QImage& image, int64_t first, int64_t count, QRgb color) {
    const int64_t from = std::max<int64_t>(first, 0);
    const int64_t to = std::min<int64_t>(first + count, image.width());
    if (from >= to) {
        return;
    }
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        for (int64_t x = from; x < to; ++x) {
            row[x] = color;
        }
    }
}

void ScrollPixelsLeft(QImage& image, int columns) {
    const int width = image.width();
    if (columns <= 0 || columns >= width) {
        return;
    }
    // One look at the pixels (which makes them the image's own) instead of one per row.
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        std::memmove(row, row + columns, static_cast<size_t>(width - columns) * sizeof(QRgb));
    }
}
