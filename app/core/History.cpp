// The temperature history window and its statistics.
#include "History.h"

#include <atomic>

#include "Exceptions.h"
#include "LocalTime.h"

namespace {

// The last revision given out by any store.
std::atomic<uint64_t> lastRevision{0};

}  // namespace

THistory::THistory(int32_t maxCount) : maxCount_(maxCount), clock_(&NowMilliseconds) {
    Changed();
}

void THistory::Changed() {
    revision_ = ++lastRevision;
}

const THistoryItem& THistory::Items(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
    return *items_[static_cast<size_t>(index)];
}

void THistory::Add(std::unique_ptr<THistoryItem> item) {
    if (maxCount_ != 0 && Count() >= maxCount_) {
        items_.pop_front();  // first in, first out
    }
    items_.push_back(std::move(item));
    Changed();
}

THistoryItem& THistory::NewItem() {
    auto item = std::make_unique<THistoryItem>();
    item->TimeMs = clock_ ? clock_() : 0;
    THistoryItem& ref = *item;
    Add(std::move(item));
    return ref;
}

THistoryItem& THistory::Last() {
    if (items_.empty()) {
        throw EListError(-1);
    }
    return *items_.back();
}

const THistoryItem& THistory::Last() const {
    return const_cast<THistory*>(this)->Last();
}

double THistory::Average(int channel) const {
    if (items_.empty()) {
        return 0.0;
    }
    float sum = 0.0f;
    for (const auto& item : items_) {
        // Assigning to the float rounds the partial sum to 32 bits after every addition.
        sum = sum + item->Values[static_cast<size_t>(channel)];
    }
    return static_cast<double>(sum) / static_cast<double>(items_.size());
}

float THistory::Max(int channel) const {
    if (items_.empty()) {
        return 0.0f;
    }
    const auto c = static_cast<size_t>(channel);
    float best = items_.front()->Values[c];
    for (const auto& item : items_) {
        if (item->Values[c] > best) {
            best = item->Values[c];
        }
    }
    return best;
}

float THistory::Min(int channel) const {
    if (items_.empty()) {
        return 0.0f;
    }
    const auto c = static_cast<size_t>(channel);
    float best = items_.front()->Values[c];
    for (const auto& item : items_) {
        if (item->Values[c] < best) {
            best = item->Values[c];
        }
    }
    return best;
}

void THistory::Clear() {
    items_.clear();
    Changed();
}
