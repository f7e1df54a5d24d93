// The device command layer: each wrapper calls its library export, sends it again after a brief
// line error, and raises EHardwareException with the library's last-error text when it fails.
#include "Commands.h"

#include <qv725/qv725.h>

#include <chrono>
#include <string>

namespace {

const char* LibraryLastError() {
    const char* text = nullptr;
    QV725_GetLastError(&text);
    return text;
}

std::string LastErrorText() {
    const char* text = LibraryLastError();
    return text != nullptr ? std::string(text) : std::string();
}

int64_t SteadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

CommandClock commandClock = &SteadyMilliseconds;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Runs `request` (a callable returning the export's one-byte result) until it succeeds, meets
// an error that is not brief, or has been sent kCommandAttempts times; true on success.
template <typename Request>
bool Attempt(Request&& request) {
    for (int attempt = 1;; ++attempt) {
        const int64_t start = commandClock();
        if (request() != 0) {
            return true;
        }
        if (attempt >= kCommandAttempts ||
            !IsBriefLineError(LastErrorText(), commandClock() - start)) {
            return false;
        }
    }
}

template <typename Request>
void Check(Request&& request) {
    if (!Attempt(request)) {
        CmdRaiseLastError();
    }
}

}  // namespace

bool IsBriefLineError(const std::string& text, int64_t elapsedMs) {
    // Statuses come from the controller itself: it is there, whatever the wait.
    if (EndsWith(text, "device busy.") || EndsWith(text, "invalid packet.")) {
        return true;
    }
    return text == "IO error: device not responding." && elapsedMs < kTimeoutFloorMs;
}

void SetCommandClock(CommandClock clock) {
    commandClock = clock != nullptr ? clock : &SteadyMilliseconds;
}

bool CmdOpenDevice() {
    return Attempt([] {
        // With no controller open a command sends nothing and empties the last-error text. An
        // open that finds no device at all leaves the text alone, so without this it could be
        // taken for a line error of the request that failed before.
        QV725_GetInfo(nullptr);
        return QV725_OpenDevice();
    });
}

void RaiseLastErrorFrom(LastErrorSource source) {
    const char* text = source();
    // The text lives in its owner's buffer; copy it before anything can overwrite it.
    throw EHardwareException(text != nullptr ? std::string(text) : std::string(), 0);
}

void CmdRaiseLastError() {
    RaiseLastErrorFrom(&LibraryLastError);
}

void CmdGetT(int32_t* t1, int32_t* t2, int32_t* t3, int32_t* t4, int32_t* t5, int32_t* t6) {
    Check([&] { return QV725_GetT(t1, t2, t3, t4, t5, t6); });
}

void CmdGetV(int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4, int32_t* v5, int32_t* v6) {
    Check([&] { return QV725_GetV(v1, v2, v3, v4, v5, v6); });
}

void CmdSetM(int32_t channel, int32_t flags, int32_t tMin, int32_t pwmMin, int32_t tMax,
             int32_t pwmMax, int32_t tAlarm, int32_t vAlarm, int32_t pwm) {
    Check([&] {
        return QV725_SetM(channel, flags, tMin, pwmMin, tMax, pwmMax, tAlarm, vAlarm, pwm);
    });
}

void CmdGetM(int32_t channel, int32_t* flags, int32_t* tMin, int32_t* pwmMin, int32_t* tMax,
             int32_t* pwmMax, int32_t* tAlarm, int32_t* vAlarm, int32_t* pwm) {
    Check([&] {
        return QV725_GetM(channel, flags, tMin, pwmMin, tMax, pwmMax, tAlarm, vAlarm, pwm);
    });
}

void CmdSetPWM(int32_t p1, int32_t p2, int32_t p3, int32_t p4, int32_t p5, int32_t p6) {
    Check([&] { return QV725_SetPWM(p1, p2, p3, p4, p5, p6); });
}

void CmdGetPWM(int32_t* p1, int32_t* p2, int32_t* p3, int32_t* p4, int32_t* p5, int32_t* p6) {
    Check([&] { return QV725_GetPWM(p1, p2, p3, p4, p5, p6); });
}

void CmdSavePar(int32_t channel) {
    Check([&] { return QV725_SavePar(channel); });
}

void CmdCallPar(int32_t channel) {
    Check([&] { return QV725_CallPar(channel); });
}
