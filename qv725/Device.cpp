// Request/reply exchanges with the controller, their results and texts, and finding it.
#include "Device.h"

#include <cstdio>
#include <cstring>

#include "Discovery.h"
#include "Wake.h"

namespace qv725 {

namespace {

constexpr uint8_t IoErrorCode = 1;
constexpr uint8_t InvalidParametersStatus = 4;
constexpr uint8_t NotRespondingStatus = 5;
constexpr uint8_t SystemErrorCode = 14;
constexpr uint8_t UnknownStatus = 6;

constexpr const char* Prefixes[] = {
    "",
    "IO error: ",
    "Get echo error: ",
    "Get info error: ",
    "Set address error: ",
    "Get address error: ",
    "Get temperature: ",
    "Get fan RPM: ",
    "Set channel mode: ",
    "Get channel mode: ",
    "Set PWM: ",
    "Get PWM: ",
    "Save Params: ",
    "Call Params: ",
    "System error: ",
};

constexpr const char* StatusTexts[] = {
    "",
    "invalid packet.",
    "device busy.",
    "device not ready.",
    "invalid parameters.",
    "device not responding.",
    "unknown.",
};

static_assert(sizeof Prefixes / sizeof Prefixes[0] == SystemErrorCode + 1);
static_assert(sizeof StatusTexts / sizeof StatusTexts[0] == UnknownStatus + 1);

}  // namespace

LibraryState& State() {
    static LibraryState state;
    return state;
}

const char* MessagePrefix(uint8_t code) {
    return Prefixes[code > SystemErrorCode ? SystemErrorCode : code];
}

const char* StatusText(uint8_t status) {
    return StatusTexts[status > UnknownStatus ? UnknownStatus : status];
}

bool ComposeResult(uint8_t code, uint8_t status) {
    // Echo and identification replies carry no status byte.
    if (code == 2 || code == cmd::GetInfo) {
        status = 0;
    }
    // Success always leaves an empty text, whatever code the reply carried.
    if (status == 0) {
        code = 0;
    }
    LibraryState& s = State();
    std::snprintf(s.lastErrorText, sizeof s.lastErrorText, "%s%s", MessagePrefix(code),
                  StatusText(status));
    return status == 0;
}

size_t ReplyLength(uint8_t command) {
    switch (command) {
        case cmd::GetInfo:
            return 0;  // a text of any length, and no status byte
        case cmd::GetT:
        case cmd::GetV:
        case cmd::GetM:
            return 13;
        case cmd::GetPWM:
            return 7;
        default:
            return 1;  // the status byte alone
    }
}

bool DeviceRequest(uint8_t command, uint8_t requestLength) {
    LibraryState& s = State();
    std::memset(s.reply, 0, sizeof s.reply);
    if (s.openMarker == 0) {
        return ComposeResult(0, 0);
    }
    // One attempt: no retry, and the device stays open on failure. Whatever waits on the line
    // before the request goes out answers no request of ours (a reply that came after its
    // request gave up, noise), so it is dropped first: the reply read next is this request's.
    uint8_t code = command;
    uint8_t count = 0;
    bool exchanged = FtdioPurgeReceive() && WakeSendFrame(0, command, requestLength, s.request);
    if (exchanged) {
        // Every reply but the identification text has a known length: announced, it lets a
        // reply trickling in at the line's pace be fetched in two waits instead of several.
        if (const size_t length = ReplyLength(command); length > 0) {
            WakeExpectReply(length);
        }
        exchanged = WakeReceiveFrame(ReplyTimeoutMs, s.replyAddress, code, s.reply, ReplySize, count);
    }
    if (code != command) {
        // The answer to another request (one that came even later than the purge): none of
        // its data belongs to this one.
        std::memset(s.reply, 0, sizeof s.reply);
        return ComposeResult(IoErrorCode, NotRespondingStatus);
    }
    if (!exchanged) {
        return ComposeResult(IoErrorCode, NotRespondingStatus);
    }
    // A refusal may come as the status byte alone; a success must bring every field.
    const bool hasStatus = command != cmd::GetInfo;
    if (hasStatus && (count == 0 || (s.reply[0] == 0 && count < ReplyLength(command)))) {
        return ComposeResult(IoErrorCode, NotRespondingStatus);
    }
    return ComposeResult(command, s.reply[0]);
}

bool RefuseParameters(uint8_t command) {
    std::memset(State().reply, 0, sizeof State().reply);
    return ComposeResult(command, InvalidParametersStatus);
}

void ReportInternalError() noexcept {
    LibraryState& s = State();
    std::snprintf(s.lastErrorText, sizeof s.lastErrorText, "%s%s", MessagePrefix(SystemErrorCode),
                  StatusText(UnknownStatus));
}

bool Identify(const char** text) {
    const bool ok = DeviceRequest(cmd::GetInfo, 0);
    if (text != nullptr) {
        *text = reinterpret_cast<const char*>(State().reply);
    }
    return ok;
}

bool RequestIdentification(const char** text) noexcept {
    return RunCommand([&] { return Identify(text); }) != 0;
}

bool OpenController() noexcept {
    try {
        // The whole search holds the lock: a command of another thread waits until the device
        // is open (or the search failed) instead of running on a half-opened one.
        std::lock_guard<std::mutex> guard(State().lock);
        return SearchController();
    } catch (...) {
        ReportInternalError();
        return false;
    }
}

bool CloseController() noexcept {
    try {
        LibraryState& s = State();
        // Never while a command of another thread is using the device.
        std::lock_guard<std::mutex> guard(s.lock);
        return FtdioClose(s.openMarker);
    } catch (...) {
        ReportInternalError();
        return false;
    }
}

int32_t ReplyByte(size_t offset) {
    return State().reply[offset];
}

int32_t ReplyU16(size_t offset) {
    const uint8_t* r = State().reply;
    return static_cast<int32_t>(r[offset] | (r[offset + 1] << 8));
}

int32_t ReplyS16(size_t offset) {
    return static_cast<int16_t>(ReplyU16(offset));
}

void PutRequestByte(size_t offset, int32_t value) {
    State().request[offset] = static_cast<uint8_t>(value & 0xFF);
}

void PutRequestU16(size_t offset, int32_t value) {
    State().request[offset] = static_cast<uint8_t>(value & 0xFF);
    State().request[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace qv725
