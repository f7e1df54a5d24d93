// The preset store: named sets of all six channels' regulation parameters, one of them active,
// and the byte stream that stores them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MemoryStream.h"

// One channel's stored parameter set: four flag bytes and seven 32-bit values. This is also
// its layout inside the preset stream (little-endian there, whatever the host).
struct TChannelParams {
    uint8_t Boost = 0;    // startup boost (mode bit 0)
    uint8_t Auto = 0;     // automatic control along the curve (mode bit 1)
    uint8_t Ta = 0;       // temperature alarm enabled (mode bit 2)
    uint8_t Va = 0;       // fan speed alarm enabled (mode bit 3)
    int32_t T_min = 0;    // 0.1 degree Celsius
    int32_t PWM_min = 0;  // 0 to 255
    int32_t T_max = 0;    // 0.1 degree Celsius
    int32_t PWM_max = 0;  // 0 to 255
    int32_t T_alarm = 0;  // 0.1 degree Celsius
    int32_t V_alarm = 0;  // rpm
    int32_t PWM = 0;      // 0 to 255

    // The device's mode byte: a non-zero flag byte sets its bit.
    int32_t Mode() const;
    // Sets each flag byte to 1 or 0 from its bit of a mode byte read from the device.
    void SetMode(int32_t mode);

    bool operator==(const TChannelParams&) const = default;
};

static_assert(sizeof(TChannelParams) == 32);
static_assert(offsetof(TChannelParams, Boost) == 0 && offsetof(TChannelParams, Auto) == 1 &&
              offsetof(TChannelParams, Ta) == 2 && offsetof(TChannelParams, Va) == 3);
static_assert(offsetof(TChannelParams, T_min) == 4 && offsetof(TChannelParams, PWM_min) == 8 &&
              offsetof(TChannelParams, T_max) == 12 && offsetof(TChannelParams, PWM_max) == 16 &&
              offsetof(TChannelParams, T_alarm) == 20 && offsetof(TChannelParams, V_alarm) == 24 &&
              offsetof(TChannelParams, PWM) == 28);

inline constexpr int kPresetChannels = 6;
inline constexpr size_t kChannelRecordSize = 32;
inline constexpr size_t kPresetRecordsSize = kPresetChannels * kChannelRecordSize;  // 192

// The 32 stored bytes of a record (flags, then the seven values little-endian) and back.
std::array<uint8_t, kChannelRecordSize> ChannelParamsToBytes(const TChannelParams& params);
TChannelParams ChannelParamsFromBytes(const uint8_t* bytes);

// One preset. A new one has an empty name and all records zero.
class TParamsItem {
public:
    virtual ~TParamsItem() = default;

    // Copies the name and all six records of `source`.
    virtual void Assign(const TParamsItem& source);

    std::string Name;  // UTF-8; any length, may be empty, need not be unique
    std::array<TChannelParams, kPresetChannels> Channels{};
};

// The store. It owns its presets. Exactly one is active while the program runs.
class TParams {
public:
    // One preset "Default", active, records zero.
    TParams();

    int Count() const { return static_cast<int>(items_.size()); }
    // The preset at `index`; EListError "List index out of bounds (%d)" outside 0..Count-1.
    TParamsItem& Items(int index);
    const TParamsItem& Items(int index) const;

    // Appends a preset (taking ownership) and returns its index.
    int Add(std::unique_ptr<TParamsItem> item);
    // Appends a new empty preset and returns it; the caller names it.
    TParamsItem& AddNew();
    // Makes Items(index) active (same index check).
    void SetActive(int index);
    // Removes and destroys the preset at `index` (same index check); later ones move down.
    // Deleting the active preset leaves the store without one; callers never do that.
    void Delete(int index);
    // Destroys every preset; no preset is active afterwards.
    void Clear();

    // The active preset, or nullptr when there is none.
    TParamsItem* Active() const { return active_; }
    // Index of the active preset (searched from 0), or -1.
    int ActiveIndex() const;

    // Writes the preset stream at the stream's position: the count; each preset's name (text
    // tag 0x06 for ASCII up to 255 bytes, 0x0C for longer ASCII, 0x14 UTF-8 for anything else)
    // and its 192 record bytes; the active index when the active preset is in the list.
    // Integers use the smallest tag of 0x02 (1 byte), 0x03 (2 bytes), 0x04 (4 bytes).
    void SaveToStream(TMemoryStream& stream) const;

    // Replaces the whole store with the stream read from its position (tags 0x02/0x03/0x04 for
    // integers; 0x06/0x0C for texts in the Windows-1252 code page, 0x12 UTF-16, 0x14 UTF-8;
    // bytes after the active index are ignored). Throws EReadError "Stream read error" when the
    // stream ends early and EPropertyError "Invalid property value" for a wrong tag; the store
    // then keeps what it held before the call (nothing is half-loaded) and LoadFailed() is
    // true until the next successful load.
    // After a successful load a preset is always active: a stored index outside the list makes
    // the first preset active, and a count of zero or less gives the one preset "Default".
    void LoadFromStream(TMemoryStream& stream);

    // True after a load that failed. A store in that state must not be written back over the
    // value it came from (the caller keeps the stored value untouched so nothing is lost).
    bool LoadFailed() const { return loadFailed_; }

private:
    void CheckIndex(int index) const;
    void MakeDefault();

    std::vector<std::unique_ptr<TParamsItem>> items_;
    TParamsItem* active_ = nullptr;
    bool loadFailed_ = false;
};
