// The program's device command layer: one thin wrapper per device-library command, turning the
// library's false result into an EHardwareException that carries the library's last-error text,
// after trying a request that met a brief line error again.
#pragma once

#include <cstdint>
#include <string>

#include "Exceptions.h"

// A failed device call. Its message is exactly the library's last-error text at the moment of
// the failure, e.g. "Get temperature: device busy."; the help context is 0.
class EHardwareException : public Exception {
public:
    using Exception::Exception;
};

// Brief line errors. A request that fails with a busy status, with "invalid packet." (the
// request arrived damaged) or with a garbled reply is sent again at once, up to kCommandAttempts
// requests in all: such errors pass within milliseconds, and taking the controller off-line for
// each would cost a reconnection. A reply that never came is not asked for again: a controller
// that is gone would cost three read timeouts per request. The library words a garbled reply
// and a missing one alike ("IO error: device not responding."); the time the request took tells
// them apart. A missing reply costs the library's whole read timeout (200 ms), a garbled one
// arrives within the wire time of its few bytes; the limit sits below 200 ms because a
// platform timer may end a wait a tick early.
inline constexpr int kCommandAttempts = 3;
inline constexpr int64_t kTimeoutFloorMs = 150;

// Whether a request that failed with the last-error text `text` after `elapsedMs` milliseconds
// met a brief line error, so that it may be sent again at once.
bool IsBriefLineError(const std::string& text, int64_t elapsedMs);

// The clock the rule above measures requests with: milliseconds from any fixed point. A steady
// clock unless a test sets its own; nullptr restores the steady clock.
using CommandClock = int64_t (*)();
void SetCommandClock(CommandClock clock);

// Opens the controller (QV725_OpenDevice), asking again at once when its identification met a
// brief line error; true when a controller is open. Call only while no controller is open.
bool CmdOpenDevice();

// Each wrapper passes its arguments unchanged and in the same order to the library export of the
// same name (QV725_GetT for CmdGetT, ...), sends it again after a brief line error (above), and
// raises EHardwareException through CmdRaiseLastError when the last attempt fails. Outputs hold
// what the last attempt wrote (zeros or a partial reply after a failure): callers read into
// temporaries. While no device is open the library succeeds with all outputs 0, so the wrappers
// do not throw then. Call from the user-interface thread only.

// Temperatures of channels 1 to 6, tenths of a degree Celsius.
void CmdGetT(int32_t* t1, int32_t* t2, int32_t* t3, int32_t* t4, int32_t* t5, int32_t* t6);
// Fan speeds of channels 1 to 6, revolutions per minute.
void CmdGetV(int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4, int32_t* v5, int32_t* v6);
// Sends one channel's (0 to 5) parameter set; flags is the mode byte (Boost bit 0, Auto bit 1,
// Ta bit 2, Va bit 3).
void CmdSetM(int32_t channel, int32_t flags, int32_t tMin, int32_t pwmMin, int32_t tMax,
             int32_t pwmMax, int32_t tAlarm, int32_t vAlarm, int32_t pwm);
// Reads one channel's (0 to 5) parameter set into the eight outputs.
void CmdGetM(int32_t channel, int32_t* flags, int32_t* tMin, int32_t* pwmMin, int32_t* tMax,
             int32_t* pwmMax, int32_t* tAlarm, int32_t* vAlarm, int32_t* pwm);
// Sets the PWM (0 to 255) of channels 1 to 6.
void CmdSetPWM(int32_t p1, int32_t p2, int32_t p3, int32_t p4, int32_t p5, int32_t p6);
// Reads the PWM (0 to 255) of channels 1 to 6.
void CmdGetPWM(int32_t* p1, int32_t* p2, int32_t* p3, int32_t* p4, int32_t* p5, int32_t* p6);
// Stores one channel's (0 to 5) parameters in the controller's EEPROM.
void CmdSavePar(int32_t channel);
// Reloads one channel's (0 to 5) parameters from the controller's EEPROM.
void CmdCallPar(int32_t channel);

// Raises EHardwareException with a copy of the library's last-error text (QV725_GetLastError).
[[noreturn]] void CmdRaiseLastError();

// Where a last-error text comes from: returns a pointer to a zero-terminated text owned by its
// source (or nullptr, taken as an empty text). CmdRaiseLastError uses the library's.
using LastErrorSource = const char* (*)();

// Copies the text that `source` hands out at once and raises EHardwareException with it as its
// message and help context 0. CmdRaiseLastError is RaiseLastErrorFrom(the library's source).
[[noreturn]] void RaiseLastErrorFrom(LastErrorSource source);
