// The temperature history: the six channels' temperatures of the last 400 poll cycles, in
// memory only, with the per-channel statistics the History page shows.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

// One sample: the temperatures of channels 0 to 5 in degrees Celsius, all 0.0 when new, and
// the moment it was taken (milliseconds since 1970 UTC), which the statistics never read.
class THistoryItem {
public:
    std::array<float, 6> Values{};
    int64_t TimeMs = 0;
};

// A sliding window of samples, oldest first (index 0), newest last (Count()-1). It owns its
// samples. Channel arguments are 0 to 5 and are not checked.
class THistory {
public:
    static constexpr int32_t kDefaultMaxCount = 400;

    // An empty store with the given capacity; 0 means no limit.
    explicit THistory(int32_t maxCount = kDefaultMaxCount);

    int32_t MaxCount() const { return maxCount_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // The sample at `index`; EListError "List index out of bounds (%d)" outside 0..Count-1.
    const THistoryItem& Items(int index) const;

    // Appends `item` as the newest sample; on a full store the oldest is destroyed first, so
    // Count() stays at MaxCount(). O(1).
    void Add(std::unique_ptr<THistoryItem> item);
    // Appends a new all-zero sample stamped with the clock's time and returns it for the caller
    // to fill in.
    THistoryItem& NewItem();
    // The clock NewItem stamps samples with (milliseconds since 1970 UTC); the system clock
    // unless replaced.
    void SetClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }
    // The newest sample; EListError "List index out of bounds (-1)" on an empty store.
    THistoryItem& Last();
    const THistoryItem& Last() const;

    // Mean of the channel over all samples, 0.0 when empty. The running sum is a 32-bit float
    // rounded after every addition, oldest to newest, then divided by Count().
    double Average(int channel) const;
    // Largest / smallest value of the channel, 0.0 when empty; a later value replaces the
    // candidate only when strictly greater / smaller.
    float Max(int channel) const;
    float Min(int channel) const;

    // Destroys every sample.
    void Clear();

    // A number that changes whenever a sample is added or removed, never the same for two
    // stores: what was worked out from the samples still holds while it stays the same, except
    // for the newest sample's values, which its holder may still change through Last().
    uint64_t Revision() const { return revision_; }

private:
    void Changed();

    int32_t maxCount_;
    uint64_t revision_ = 0;
    std::function<int64_t()> clock_;
    std::deque<std::unique_ptr<THistoryItem>> items_;
};
