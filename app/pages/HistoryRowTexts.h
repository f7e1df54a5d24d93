// The statistics texts of lvHistory's rows (newest, average, minimum and maximum of each
// channel), worked out once each time the history changes instead of at every read of a cell:
// the list reads each cell several times a cycle, and an average runs over all samples.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "core/Settings.h"

class THistory;

class THistoryRowTexts {
public:
    // The first and last column the texts are for.
    static constexpr int kFirstColumn = 2;
    static constexpr int kLastColumn = 5;

    // The text of `column` (kFirstColumn to kLastColumn) of row `row` (a channel, 0 to 5) for
    // `history`: the read-out text of the newest value, the average, the minimum or the
    // maximum; "0.0" with no history or an empty one.
    const QString& Text(const THistory* history, int row, int column);

private:
    void Update(const THistory* history);

    static constexpr int kColumns = kLastColumn - kFirstColumn + 1;
    bool known_ = false;
    // What the texts were worked out from: the store's revision and the newest sample's values
    // as bits (its holder fills them in after adding it, and may change them later).
    uint64_t revision_ = 0;
    std::array<uint32_t, kChannelCount> newest_{};
    bool empty_ = true;
    std::array<std::array<QString, kColumns>, kChannelCount> texts_;
};
