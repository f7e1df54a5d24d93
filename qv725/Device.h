// The library's state and the one request/reply exchange with the controller (DeviceRequest),
// the composition of results and last-error texts, and the search for the controller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

#include "Ftdio.h"

namespace qv725 {

inline constexpr size_t RequestSize = 200;
inline constexpr size_t ReplySize = 200;
inline constexpr int ReplyTimeoutMs = 200;
inline constexpr int BaudRate = 38400;
// The identification text of a controller starts with these characters.
inline constexpr char Identification[] = "QV-725";

// Command codes; the controller answers with the same code.
namespace cmd {
inline constexpr uint8_t GetInfo = 3;
inline constexpr uint8_t GetT = 6;
inline constexpr uint8_t GetV = 7;
inline constexpr uint8_t SetM = 8;
inline constexpr uint8_t GetM = 9;
inline constexpr uint8_t SetPWM = 10;
inline constexpr uint8_t GetPWM = 11;
inline constexpr uint8_t SavePar = 12;
inline constexpr uint8_t CallPar = 13;
}  // namespace cmd

// What the exports accept, each value as wide as its field on the wire: a channel number, one
// byte (PWM values and the flags), or 16 bits (temperatures and the alarm speed of a channel's
// parameter set, which read back unsigned).
inline constexpr int32_t ChannelCount = 6;
inline constexpr int32_t ByteMax = 0xFF;
inline constexpr int32_t U16Max = 0xFFFF;
inline bool InRange(int32_t value, int32_t max) {
    return value >= 0 && value <= max;
}
inline bool ValidChannel(int32_t channel) {
    return InRange(channel, ChannelCount - 1);
}

// The number of data bytes in a successful reply to the command (status byte included): a reply
// that says "success" with fewer is refused, since the fields it lacks would read as zeros.
size_t ReplyLength(uint8_t command);

struct LibraryState {
    // Copy of the transport's device handle; 0 while no device is open.
    FtdioHandle openMarker = 0;
    uint8_t request[RequestSize] = {};
    // One byte more than a reply may fill, and that byte is never written: the identification
    // text stays terminated even when a reply fills all 200 data bytes.
    uint8_t reply[ReplySize + 1] = {};
    uint8_t replyAddress = 0;
    // Room for a failed search's reason, which names the port.
    char lastErrorText[256] = {};
    std::mutex lock;
};

// The one instance of the process.
LibraryState& State();

// Message prefix of a command code (codes above 14 share the prefix of 14).
const char* MessagePrefix(uint8_t code);
// Text of a reply status (statuses above 6 share the text of 6).
const char* StatusText(uint8_t status);
// Composes LastErrorText for (code, status); true exactly when the status counts as success.
bool ComposeResult(uint8_t code, uint8_t status);
// Drops the input waiting on the line, sends request[0..requestLength) with the command code and
// receives the reply into reply. A reply that carries another command code (an answer to an
// earlier request that came too late) or says "success" in fewer bytes than the command's
// reply holds is refused as an IO error. The caller holds the lock.
bool DeviceRequest(uint8_t command, uint8_t requestLength);
// Refuses the command's arguments without sending anything: zero reply data and the command's
// prefix followed by "invalid parameters.". Always false.
bool RefuseParameters(uint8_t command);
// Sets the last-error text for a failure inside the library itself (never the controller's).
void ReportInternalError() noexcept;

// The identification request; the caller holds the lock. text points at the reply data.
bool Identify(const char** text);
// Identification request (takes the lock); text points at the reply data.
bool RequestIdentification(const char** text) noexcept;
// Finds and opens the controller, and closes it; see QV725_OpenDevice. Both hold the lock
// throughout, so no command runs on a device while it is being opened or closed.
bool OpenController() noexcept;
bool CloseController() noexcept;

// Reply fields: one byte, or 16 bits little-endian read unsigned or signed.
int32_t ReplyByte(size_t offset);
int32_t ReplyU16(size_t offset);
int32_t ReplyS16(size_t offset);
// Request fields: the low 8 or 16 bits of value, little-endian.
void PutRequestByte(size_t offset, int32_t value);
void PutRequestU16(size_t offset, int32_t value);
// Stores value where out points, unless out is null.
inline void Store(int32_t* out, int32_t value) {
    if (out != nullptr) {
        *out = value;
    }
}

// Runs one command export: takes the lock, runs body (which returns the command's result) and
// turns anything thrown into a failure with a last-error text, so nothing crosses the C
// boundary.
template <class Body>
uint8_t RunCommand(Body&& body) noexcept {
    try {
        std::lock_guard<std::mutex> guard(State().lock);
        return body() ? 1 : 0;
    } catch (...) {
        ReportInternalError();
        return 0;
    }
}

}  // namespace qv725
