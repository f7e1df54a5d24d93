// Conversion between stored TColor values and QColor, system colours through the palette.
#include "ColorConvert.h"

#include <QApplication>
#include <array>
#include <optional>

namespace {

// System colour indexes in the low byte of a system TColor, in their fixed numbering, and the
// palette role that stands for each of them.
std::optional<QPalette::ColorRole> RoleOfSystemColor(unsigned index) {
    using R = QPalette::ColorRole;
    static constexpr std::array<std::optional<R>, 31> roles = {
        R::Button,           // 0 scroll bar
        R::Dark,             // 1 desktop background
        R::Highlight,        // 2 active caption
        R::Mid,              // 3 inactive caption
        R::Window,           // 4 menu
        R::Base,             // 5 window
        R::Shadow,           // 6 window frame
        R::WindowText,       // 7 menu text
        R::Text,             // 8 window text
        R::HighlightedText,  // 9 caption text
        R::Mid,              // 10 active border
        R::Mid,              // 11 inactive border
        R::Dark,             // 12 application workspace
        R::Highlight,        // 13 highlight
        R::HighlightedText,  // 14 highlighted text
        R::Button,           // 15 button face
        R::Dark,             // 16 button shadow
        R::PlaceholderText,  // 17 grey text
        R::ButtonText,       // 18 button text
        R::WindowText,       // 19 inactive caption text
        R::Light,            // 20 button highlight
        R::Shadow,           // 21 3-D dark shadow
        R::Midlight,         // 22 3-D light
        R::ToolTipText,      // 23 info text
        R::ToolTipBase,      // 24 info background
        std::nullopt,        // 25 unused
        R::Link,             // 26 hot light
        R::Highlight,        // 27 gradient active caption
        R::Mid,              // 28 gradient inactive caption
        R::Highlight,        // 29 menu highlight
        R::Window,           // 30 menu bar
    };
    if (index >= roles.size()) {
        return std::nullopt;
    }
    return roles[index];
}

}  // namespace

QColor ToQColor(TColor color, const QPalette& palette) {
    if (color == clNone) {
        return QColor(Qt::transparent);
    }
    if (color == clDefault) {
        return QColor();
    }
    if (IsSystemColor(color)) {
        const auto role = RoleOfSystemColor(color & 0xFFu);
        return role ? palette.color(QPalette::Active, *role) : QColor(Qt::black);
    }
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

QColor ToQColor(TColor color) {
    return ToQColor(color, QApplication::palette());
}

TColor FromQColor(const QColor& color) {
    if (!color.isValid()) {
        return clNone;
    }
    const QRgb rgb = color.rgb();
    return RGBColor(static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
                    static_cast<uint8_t>(qBlue(rgb)));
}
