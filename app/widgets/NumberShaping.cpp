// Whether a number needs shaping in a font.
#include "NumberShaping.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>

namespace {

const QString kNumberCharacters = QStringLiteral("0123456789.-+E");

// Whether the font spaces some pair of number characters other than by their own advances.
bool NumbersKerned(const QFont& font) {
    static QHash<QString, bool> known;
    const QString key = font.key();
    if (const auto found = known.constFind(key); found != known.constEnd())
        return found.value();
    const QFontMetricsF metrics(font);
    bool kerned = false;
    for (const QChar a : kNumberCharacters) {
        for (const QChar b : kNumberCharacters) {
            if (metrics.horizontalAdvance(QString(a) + b) !=
                metrics.horizontalAdvance(a) + metrics.horizontalAdvance(b))
                kerned = true;
        }
    }
    known.insert(key, kerned);
    return kerned;
}

}  // namespace

bool LaysOutWithoutShaping(const QString& text, const QFont& font) {
    for (const QChar c : text) {
        if (!kNumberCharacters.contains(c))
            return false;
    }
    QFont shaped = font;
    shaped.setStyleStrategy(QFont::PreferDefault);
    return !NumbersKerned(shaped);
}
