// Whether a number needs shaping in a font.
#include "NumberShaping.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QString>
#include <utility>

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

// The answers for the last few fonts asked about, each font compared whole: far cheaper than
// building a font's key.
class TFontMemory {
public:
    template <class Find>
    bool Answer(const QFont& font, Find find) {
        for (const auto& [known, answer] : recent_) {
            if (known == font)
                return answer;
        }
        const bool answer = find(font);
        if (recent_.size() >= 4)
            recent_.removeFirst();
        recent_.append({font, answer});
        return answer;
    }

private:
    QList<std::pair<QFont, bool>> recent_;
};

}  // namespace

bool DrawnInItsOwnFont(const QString& text, const QFont& font) {
    if (text.isEmpty() || !IsNumberText(text))
        return false;
    thread_local TFontMemory memory;
    return memory.Answer(font, [](const QFont& asked) {
        const QFontMetrics metrics(asked);
        bool all = true;
        for (const QChar c : kNumberCharacters)
            all = all && metrics.inFont(c);
        return all;
    });
}

bool LaysOutWithoutShaping(const QString& text, const QFont& font) {
    if (!IsNumberText(text))
        return false;
    thread_local TFontMemory memory;
    return memory.Answer(font, [](const QFont& asked) {
        QFont shaped = asked;
        shaped.setStyleStrategy(QFont::PreferDefault);
        return !NumbersKerned(shaped);
    });
}
