// Conversion between the program's stored colours (TColor, 0x00BBGGRR, system colours with the
// top bit set) and Qt colours; system colours come from the current palette.
#pragma once

#include <QColor>
#include <QPalette>

#include "core/Color.h"

// A plain colour maps to its RGB value. A system colour (top bit set, index in the low byte)
// maps to the palette role that plays the same part: clWindow to Base, clBtnFace to Button,
// clWindowText to Text, clHighlight to Highlight, and so on; unknown indexes give black.
// clNone maps to fully transparent and clDefault to an invalid QColor (the caller keeps its own
// default). Other values with a non-zero high byte use their low 24 bits.
QColor ToQColor(TColor color, const QPalette& palette);

// The same, with the application's palette.
QColor ToQColor(TColor color);

// The RGB value of a Qt colour as a plain TColor; alpha is dropped. An invalid QColor gives
// clNone.
TColor FromQColor(const QColor& color);
