// Whether a number needs shaping in a font.
#include "NumberShaping.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
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

bool IsNumberText(const QString& text) {
    for (const QChar c : text) {
        if (!kNumberCharacters.contains(c))
            return false;
    }
    return true;
}

}  // namespace

bool DrawnInItsOwnFont(const QString& text, const QFont& font) {
    if (text.isEmpty() || !IsNumberText(text))
        return false;
    struct TKnown {
        QFont font;
        bool all;
    };
    thread_local QList<TKnown> recent;
    for (const TKnown& known : recent) {
        if (known.font == font)
            return known.all;
    }
    const QFontMetrics metrics(font);
    bool all = true;
    for (const QChar c : kNumberCharacters)
        all = all && metrics.inFont(c);
    if (recent.size() >= 4)
        recent.removeFirst();
    recent.append({font, all});
    return all;
}

bool LaysOutWithoutShaping(const QString& text, const QFont& font) {
    if (!IsNumberText(text))
        return false;
    // The last few fonts asked about, compared whole: far cheaper than building a font's key.
    struct TKnown {
        QFont font;
        bool kerned;
    };
    thread_local QList<TKnown> recent;
    for (const TKnown& known : recent) {
        if (known.font == font)
            return !known.kerned;
    }
    QFont shaped = font;
    shaped.setStyleStrategy(QFont::PreferDefault);
    const bool kerned = NumbersKerned(shaped);
    if (recent.size() >= 4)
        recent.removeFirst();
    recent.append({font, kerned});
    return !kerned;
}
