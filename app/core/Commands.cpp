// The device command layer: each wrapper calls its library export and raises
// EHardwareException with the library's last-error text when the export fails.
#include "Commands.h"

#include <qv725/qv725.h>

#include <string>

namespace {

const char* LibraryLastError() {
    const char* text = nullptr;
    QV725_GetLastError(&text);
    return text;
}

void Check(uint8_t result) {
    if (result == 0) {
        CmdRaiseLastError();
    }
}

}  // namespace

void RaiseLastErrorFrom(LastErrorSource source) {
    const char* text = source();
    // The text lives in its owner's buffer; copy it before anything can overwrite it.
    throw EHardwareException(text != nullptr ? std::string(text) : std::string(), 0);
}

void CmdRaiseLastError() {
    RaiseLastErrorFrom(&LibraryLastError);
}

void CmdGetT(int32_t* t1, int32_t* t2, int32_t* t3, int32_t* t4, int32_t* t5, int32_t* t6) {
    Check(QV725_GetT(t1, t2, t3, t4, t5, t6));
}

void CmdGetV(int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4, int32_t* v5, int32_t* v6) {
    Check(QV725_GetV(v1, v2, v3, v4, v5, v6));
}

void CmdSetM(int32_t channel, int32_t flags, int32_t tMin, int32_t pwmMin, int32_t tMax,
             int32_t pwmMax, int32_t tAlarm, int32_t vAlarm, int32_t pwm) {
    Check(QV725_SetM(channel, flags, tMin, pwmMin, tMax, pwmMax, tAlarm, vAlarm, pwm));
}

void CmdGetM(int32_t channel, int32_t* flags, int32_t* tMin, int32_t* pwmMin, int32_t* tMax,
             int32_t* pwmMax, int32_t* tAlarm, int32_t* vAlarm, int32_t* pwm) {
    Check(QV725_GetM(channel, flags, tMin, pwmMin, tMax, pwmMax, tAlarm, vAlarm, pwm));
}

void CmdSetPWM(int32_t p1, int32_t p2, int32_t p3, int32_t p4, int32_t p5, int32_t p6) {
    Check(QV725_SetPWM(p1, p2, p3, p4, p5, p6));
}

void CmdGetPWM(int32_t* p1, int32_t* p2, int32_t* p3, int32_t* p4, int32_t* p5, int32_t* p6) {
    Check(QV725_GetPWM(p1, p2, p3, p4, p5, p6));
}

void CmdSavePar(int32_t channel) {
    Check(QV725_SavePar(channel));
}

void CmdCallPar(int32_t channel) {
    Check(QV725_CallPar(channel));
}
