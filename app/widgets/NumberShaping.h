// Numbers drawn without text shaping where that changes no pixel. Shaping (kerning, ligatures)
// is most of the cost of laying out a short text, and the digits, point, sign and exponent
// letter of a number need none of it unless the font kerns some pair of them.
#pragma once

class QFont;
class QString;

// True when `text` is made only of number characters (0-9 . - + E) and `font`, as it is but
// with shaping, spaces no pair of them other than by their own advances: then the text comes
// out the same with QFont::PreferNoShaping. The font is examined once and remembered.
bool LaysOutWithoutShaping(const QString& text, const QFont& font);

// True when `text` is a number (not empty, made only of the characters above) that `font`
// draws in itself, every character of a number being in the font, none from a fallback font:
// such a text's line has the font's own height, whatever the number. The font is examined once
// and remembered.
bool DrawnInItsOwnFont(const QString& text, const QFont& font);
