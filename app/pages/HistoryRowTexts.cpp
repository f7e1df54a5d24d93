// The statistics texts of lvHistory's rows, kept until the history changes.
#include "HistoryRowTexts.h"

#include <bit>

#include "core/History.h"
#include "widgets/ReadoutRounding.h"
#include "widgets/ReadoutText.h"

namespace {

std::array<uint32_t, kChannelCount> NewestBits(const THistory& history) {
    std::array<uint32_t, kChannelCount> bits{};
    const THistoryItem& newest = history.Last();
    for (int c = 0; c < kChannelCount; ++c)
        bits[c] = std::bit_cast<uint32_t>(newest.Values[c]);
    return bits;
}

// The read-out text of a statistic: by integer rounding where it applies (an average is a new
// value every second, never one remembered), else the remembered or worked-out text.
QString StatisticText(double value) {
    QString text;
    if (RoundedReadoutText(value, text))
        return text;
    return ReadoutText(value);
}

}  // namespace

const QString& THistoryRowTexts::Text(const THistory* history, int row, int column) {
    Update(history);
    return texts_[row][column - kFirstColumn];
}

void THistoryRowTexts::Update(const THistory* history) {
    if (history == nullptr || history->Count() == 0) {
        if (known_ && empty_)
            return;
        for (auto& texts : texts_)
            texts.fill(QStringLiteral("0.0"));
        known_ = true;
        empty_ = true;
        return;
    }
    const std::array<uint32_t, kChannelCount> newest = NewestBits(*history);
    if (known_ && !empty_ && revision_ == history->Revision() && newest_ == newest)
        return;
    const THistoryItem& last = history->Last();
    for (int row = 0; row < kChannelCount; ++row) {
        auto& texts = texts_[row];
        texts[0] = StatisticText(last.Values[row]);
        texts[1] = StatisticText(history->Average(row));
        texts[2] = StatisticText(history->Min(row));
        texts[3] = StatisticText(history->Max(row));
    }
    known_ = true;
    empty_ = false;
    revision_ = history->Revision();
    newest_ = newest;
}
