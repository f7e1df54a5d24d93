// Read-out texts, remembered by the exact bits of the value.
#include "ReadoutText.h"

#include <QHash>
#include <bit>
#include <cstdint>

#include "core/NumberFormat.h"

namespace {

// Texts kept at most; past that the memory starts again from empty.
constexpr qsizetype kRemembered = 4096;

}  // namespace

QString ReadoutText(double value) {
    thread_local QHash<uint64_t, QString> texts;
    const uint64_t key = std::bit_cast<uint64_t>(value);
    if (const auto found = texts.constFind(key); found != texts.constEnd())
        return found.value();
    if (texts.size() >= kRemembered)
        texts.clear();
    QString text = QString::fromStdString(FormatReadout(value));
    texts.insert(key, text);
    return text;
}
