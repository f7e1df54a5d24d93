// The preset store and its byte stream.
#include "Params.h"

#include <limits>

#include "Exceptions.h"
#include "TextEncoding.h"

namespace {

enum : uint8_t {
    kTagInt8 = 0x02,
    kTagInt16 = 0x03,
    kTagInt32 = 0x04,
    kTagString = 0x06,
    kTagLString = 0x0C,
    kTagWString = 0x12,
    kTagUtf8String = 0x14,
};

void PutLE32(uint8_t* out, uint32_t v) {
    out[0] = static_cast<uint8_t>(v);
    out[1] = static_cast<uint8_t>(v >> 8);
    out[2] = static_cast<uint8_t>(v >> 16);
    out[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t GetLE32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
           static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

void WriteInteger(TMemoryStream& stream, int32_t value) {
    uint8_t bytes[5];
    size_t size = 0;
    if (value >= -128 && value <= 127) {
        bytes[0] = kTagInt8;
        bytes[1] = static_cast<uint8_t>(value);
        size = 2;
    } else if (value >= -32768 && value <= 32767) {
        bytes[0] = kTagInt16;
        bytes[1] = static_cast<uint8_t>(value);
        bytes[2] = static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8);
        size = 3;
    } else {
        bytes[0] = kTagInt32;
        PutLE32(bytes + 1, static_cast<uint32_t>(value));
        size = 5;
    }
    stream.WriteBuffer({bytes, size});
}

int32_t ReadInteger(TMemoryStream& stream) {
    const uint8_t tag = stream.ReadByte();
    uint8_t bytes[4] = {};
    switch (tag) {
        case kTagInt8:
            stream.ReadBuffer({bytes, 1});
            return static_cast<int8_t>(bytes[0]);
        case kTagInt16:
            stream.ReadBuffer({bytes, 2});
            return static_cast<int16_t>(bytes[0] | bytes[1] << 8);
        case kTagInt32:
            stream.ReadBuffer({bytes, 4});
            return static_cast<int32_t>(GetLE32(bytes));
        default:
            throw EPropertyError();
    }
}

void WriteText(TMemoryStream& stream, const std::string& text) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    if (IsAscii(text) && text.size() <= 255) {
        stream.WriteByte(kTagString);
        stream.WriteByte(static_cast<uint8_t>(text.size()));
    } else {
        uint8_t head[5];
        head[0] = IsAscii(text) ? kTagLString : kTagUtf8String;
        PutLE32(head + 1, static_cast<uint32_t>(text.size()));
        stream.WriteBuffer(head);
    }
    stream.WriteBuffer({data, text.size()});
}

// Reads `count` bytes, checking the length against what is left before allocating, so a
// damaged length cannot ask for gigabytes.
std::string ReadBytes(TMemoryStream& stream, uint64_t count) {
    if (count > stream.Size() - stream.Position()) {
        throw EReadError();
    }
    std::string bytes(static_cast<size_t>(count), '\0');
    stream.ReadBuffer({reinterpret_cast<uint8_t*>(bytes.data()), bytes.size()});
    return bytes;
}

uint32_t ReadLength(TMemoryStream& stream) {
    uint8_t bytes[4];
    stream.ReadBuffer(bytes);
    return GetLE32(bytes);
}

std::string ReadText(TMemoryStream& stream) {
    const uint8_t tag = stream.ReadByte();
    switch (tag) {
        case kTagString:
            return Cp1252ToUtf8(ReadBytes(stream, stream.ReadByte()));
        case kTagLString:
            return Cp1252ToUtf8(ReadBytes(stream, ReadLength(stream)));
        case kTagWString: {
            const std::string units = ReadBytes(stream, uint64_t{ReadLength(stream)} * 2);
            return Utf16LeToUtf8({reinterpret_cast<const uint8_t*>(units.data()), units.size()});
        }
        case kTagUtf8String:
            return SanitizeUtf8(ReadBytes(stream, ReadLength(stream)));
        default:
            throw EPropertyError();
    }
}

}  // namespace

int32_t TChannelParams::Mode() const {
    return (Boost ? 1 : 0) | (Auto ? 2 : 0) | (Ta ? 4 : 0) | (Va ? 8 : 0);
}

void TChannelParams::SetMode(int32_t mode) {
    Boost = (mode & 1) ? 1 : 0;
    Auto = (mode & 2) ? 1 : 0;
    Ta = (mode & 4) ? 1 : 0;
    Va = (mode & 8) ? 1 : 0;
}

std::array<uint8_t, kChannelRecordSize> ChannelParamsToBytes(const TChannelParams& p) {
    std::array<uint8_t, kChannelRecordSize> out{};
    out[0] = p.Boost;
    out[1] = p.Auto;
    out[2] = p.Ta;
    out[3] = p.Va;
    const int32_t values[7] = {p.T_min, p.PWM_min, p.T_max, p.PWM_max, p.T_alarm, p.V_alarm, p.PWM};
    for (size_t i = 0; i < 7; ++i) {
        PutLE32(out.data() + 4 + 4 * i, static_cast<uint32_t>(values[i]));
    }
    return out;
}

TChannelParams ChannelParamsFromBytes(const uint8_t* in) {
    TChannelParams p;
    p.Boost = in[0];
    p.Auto = in[1];
    p.Ta = in[2];
    p.Va = in[3];
    int32_t* values[7] = {&p.T_min,   &p.PWM_min, &p.T_max, &p.PWM_max,
                          &p.T_alarm, &p.V_alarm, &p.PWM};
    for (size_t i = 0; i < 7; ++i) {
        *values[i] = static_cast<int32_t>(GetLE32(in + 4 + 4 * i));
    }
    return p;
}

void TParamsItem::Assign(const TParamsItem& source) {
    if (&source != this) {
        Name = source.Name;
        Channels = source.Channels;
    }
}

TParams::TParams() {
    MakeDefault();
}

void TParams::MakeDefault() {
    TParamsItem& item = AddNew();
    item.Name = "Default";
    active_ = &item;
}

void TParams::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
}

TParamsItem& TParams::Items(int index) {
    CheckIndex(index);
    return *items_[static_cast<size_t>(index)];
}

const TParamsItem& TParams::Items(int index) const {
    CheckIndex(index);
    return *items_[static_cast<size_t>(index)];
}

int TParams::Add(std::unique_ptr<TParamsItem> item) {
    items_.push_back(std::move(item));
    return Count() - 1;
}

TParamsItem& TParams::AddNew() {
    auto item = std::make_unique<TParamsItem>();
    TParamsItem& ref = *item;
    Add(std::move(item));
    return ref;
}

void TParams::SetActive(int index) {
    active_ = &Items(index);
}

void TParams::Delete(int index) {
    CheckIndex(index);
    if (active_ == items_[static_cast<size_t>(index)].get()) {
        active_ = nullptr;  // never leave a dangling reference behind
    }
    items_.erase(items_.begin() + index);
}

void TParams::Clear() {
    active_ = nullptr;
    items_.clear();
}

int TParams::ActiveIndex() const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == active_) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TParams::SaveToStream(TMemoryStream& stream) const {
    WriteInteger(stream, Count());
    for (const auto& item : items_) {
        WriteText(stream, item->Name);
        for (const TChannelParams& channel : item->Channels) {
            stream.WriteBuffer(ChannelParamsToBytes(channel));
        }
    }
    const int active = ActiveIndex();
    if (active >= 0) {
        WriteInteger(stream, active);
    }
}

void TParams::LoadFromStream(TMemoryStream& stream) {
    // Load into a fresh list and take it over only when the whole stream was good.
    std::vector<std::unique_ptr<TParamsItem>> loaded;
    int activeIndex = -1;
    try {
        const int32_t count = ReadInteger(stream);
        for (int32_t i = 0; i < count; ++i) {
            auto item = std::make_unique<TParamsItem>();
            item->Name = ReadText(stream);
            uint8_t records[kPresetRecordsSize];
            stream.ReadBuffer(records);
            for (size_t c = 0; c < kPresetChannels; ++c) {
                item->Channels[c] = ChannelParamsFromBytes(records + c * kChannelRecordSize);
            }
            loaded.push_back(std::move(item));
        }
        if (count > 0) {
            const int32_t k = ReadInteger(stream);
            if (k >= 0 && k < count) {
                activeIndex = k;
            }
        }
    } catch (...) {
        loadFailed_ = true;
        throw;
    }
    loadFailed_ = false;
    items_ = std::move(loaded);
    active_ = nullptr;
    if (items_.empty()) {
        MakeDefault();
    } else {
        // A stored index that names no preset: the first one becomes active.
        active_ = items_[static_cast<size_t>(activeIndex >= 0 ? activeIndex : 0)].get();
    }
}
