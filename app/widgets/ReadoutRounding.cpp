// Read-out texts of values below 999.5 by integer rounding.
#include "ReadoutRounding.h"

#include <cmath>
#include <cstdint>

namespace {

// round(magnitude * scale) with halves rounded up, where magnitude = mantissa * 2^-shift
// exactly and shift >= 1 (a magnitude below 2^10 has a shift of at least 43).
uint64_t RoundHalfUp(uint64_t mantissa, int shift, uint64_t scale) {
    if (shift > 100)
        return 0;  // below 2^-47: far under half a tenth
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * scale;
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    return static_cast<uint64_t>((scaled + half) >> shift);
}

}  // namespace

bool RoundedReadoutText(double value, QString& text) {
    if (!std::isfinite(value))
        return false;
    const double magnitude = std::fabs(value);
    if (!(magnitude < 999.5))
        return false;
    // magnitude = mantissa * 2^-shift with a 53-bit integer mantissa.
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;
    // Tenths below 100 (99.95 and up round to 100.0), units from 100.
    const bool tenths = magnitude < 100.0;
    const uint64_t rounded = RoundHalfUp(mantissa, shift, tenths ? 10 : 1);
    const uint64_t whole = tenths ? rounded / 10 : rounded;
    const int tenth = tenths ? static_cast<int>(rounded % 10) : 0;
    char buffer[8];
    int at = static_cast<int>(sizeof buffer);
    buffer[--at] = static_cast<char>('0' + tenth);
    buffer[--at] = '.';
    uint64_t rest = whole;
    do {
        buffer[--at] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (std::signbit(value) && rounded != 0)
        buffer[--at] = '-';
    text = QString::fromLatin1(buffer + at, static_cast<qsizetype>(sizeof buffer) - at);
    return true;
}
