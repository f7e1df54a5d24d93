// A read-out text kept for the range of values known to give it.
#include "ReadoutSpan.h"

#include <cmath>

#include "ReadoutText.h"

namespace {

// Half the value of the last digit a read-out text shows ("25.3": 0.05; "1.00E+3": 5), or 0
// for a text that is no number.
double HalfDigit(const QString& text) {
    const qsizetype exponentAt = text.indexOf(QLatin1Char('E'));
    const qsizetype mantissaEnd = exponentAt < 0 ? text.size() : exponentAt;
    const qsizetype pointAt = text.indexOf(QLatin1Char('.'));
    const qsizetype decimals = pointAt < 0 || pointAt > mantissaEnd ? 0 : mantissaEnd - pointAt - 1;
    int exponent = 0;
    if (exponentAt >= 0) {
        bool ok = false;
        exponent = text.mid(exponentAt + 1).toInt(&ok);
        if (!ok)
            return 0.0;
    }
    return 0.5 * std::pow(10.0, exponent - static_cast<int>(decimals));
}

// Steps taken back from a try that gives another text.
constexpr int kTries = 3;
// The tries start this little short of half a shown digit: the value there (not quite the
// step, which has no exact double) nearly always gives the text at the first try.
constexpr double kShort = 1.0 - 1e-9;

}  // namespace

const QString& TReadoutSpan::Text(double value) {
    // A NaN is never inside the range: each comparison with it is false.
    if (known_ && low_ <= value && value <= high_)
        return text_;
    text_ = ReadoutText(value);
    low_ = value;
    high_ = value;
    known_ = true;
    if (!std::isfinite(value))
        return text_;
    bool ok = false;
    const double number = text_.toDouble(&ok);
    const double half = HalfDigit(text_);
    if (!ok || !std::isfinite(number) || !(half > 0.0))
        return text_;
    Widen(number, number - half * kShort);
    Widen(number, number + half * kShort);
    return text_;
}

void TReadoutSpan::Widen(double number, double limit) {
    double probe = limit;
    for (int i = 0; i < kTries && std::isfinite(probe); ++i) {
        if (low_ <= probe && probe <= high_)
            return;  // the range reaches there already
        if (ReadoutText(probe) == text_) {
            // Every value between the range and the probe gives the text too.
            if (probe < low_)
                low_ = probe;
            else
                high_ = probe;
            return;
        }
        probe = std::nextafter(probe, number);
    }
}
