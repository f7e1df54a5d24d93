// The read-out text of a value that moves a little at a time, like a running average: the text
// is worked out again only when the value leaves the range of values known to give that same
// text. The read-out text only ever steps up as the value grows (every value between two values
// with the same text has that text too), so a range whose two ends give the text holds it
// throughout; the ends are found by trying the values just short of half a shown digit either side.
#pragma once

#include <QString>

class TReadoutSpan {
public:
    // ReadoutText(value).
    const QString& Text(double value);

private:
    // Widens the range towards `limit`, the value half a shown digit past the text's number:
    // `limit` or a value a few steps back from it towards the number, if it gives the text.
    void Widen(double number, double limit);

    bool known_ = false;
    // The smallest and largest value known to give text_.
    double low_ = 0.0;
    double high_ = 0.0;
    QString text_;
};
