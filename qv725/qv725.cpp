// The twelve exported functions of the device library. Each command checks its arguments, fills
// the request, runs one exchange under the library's lock and copies its outputs out of the reply
// data. Arguments that do not fit their fields on the wire are refused before anything is sent.
#include "qv725/qv725.h"

#include "Device.h"

using namespace qv725;

extern "C" {

QV725_API uint8_t QV725_OpenDevice(void) {
    return OpenController() ? 1 : 0;
}

QV725_API uint8_t QV725_CloseDevice(void) {
    return CloseController() ? 1 : 0;
}

QV725_API uint8_t QV725_GetLastError(const char** text) {
    if (text != nullptr) {
        *text = State().lastErrorText;
    }
    return 1;
}

QV725_API uint8_t QV725_GetInfo(const char** text) {
    return RequestIdentification(text) ? 1 : 0;
}

QV725_API uint8_t QV725_GetT(int32_t* t1, int32_t* t2, int32_t* t3, int32_t* t4, int32_t* t5,
                             int32_t* t6) {
    return RunCommand([&] {
        const bool ok = DeviceRequest(cmd::GetT, 0);
        int32_t* outputs[] = {t1, t2, t3, t4, t5, t6};
        for (size_t i = 0; i < 6; ++i) {
            Store(outputs[i], ReplyS16(1 + 2 * i));
        }
        return ok;
    });
}

QV725_API uint8_t QV725_GetV(int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4, int32_t* v5,
                             int32_t* v6) {
    return RunCommand([&] {
        const bool ok = DeviceRequest(cmd::GetV, 0);
        int32_t* outputs[] = {v1, v2, v3, v4, v5, v6};
        for (size_t i = 0; i < 6; ++i) {
            Store(outputs[i], ReplyU16(1 + 2 * i));
        }
        return ok;
    });
}

QV725_API uint8_t QV725_SetM(int32_t channel, int32_t flags, int32_t tMin, int32_t pwmMin,
                             int32_t tMax, int32_t pwmMax, int32_t tAlarm, int32_t vAlarm,
                             int32_t pwm) {
    return RunCommand([&] {
        const bool valid =
            ValidChannel(channel) && InRange(flags, ByteMax) && InRange(tMin, U16Max) &&
            InRange(pwmMin, ByteMax) && InRange(tMax, U16Max) && InRange(pwmMax, ByteMax) &&
            InRange(tAlarm, U16Max) && InRange(vAlarm, U16Max) && InRange(pwm, ByteMax);
        if (!valid) {
            return RefuseParameters(cmd::SetM);
        }
        PutRequestByte(0, channel);
        PutRequestByte(1, flags);
        PutRequestU16(2, tMin);
        PutRequestByte(4, pwmMin);
        PutRequestU16(5, tMax);
        PutRequestByte(7, pwmMax);
        PutRequestU16(8, tAlarm);
        PutRequestU16(10, vAlarm);
        PutRequestByte(12, pwm);
        return DeviceRequest(cmd::SetM, 13);
    });
}

QV725_API uint8_t QV725_GetM(int32_t channel, int32_t* flags, int32_t* tMin, int32_t* pwmMin,
                             int32_t* tMax, int32_t* pwmMax, int32_t* tAlarm, int32_t* vAlarm,
                             int32_t* pwm) {
    return RunCommand([&] {
        bool ok = false;
        if (ValidChannel(channel)) {
            PutRequestByte(0, channel);
            ok = DeviceRequest(cmd::GetM, 1);
        } else {
            ok = RefuseParameters(cmd::GetM);
        }
        Store(flags, ReplyByte(1));
        Store(tMin, ReplyU16(2));
        Store(pwmMin, ReplyByte(4));
        Store(tMax, ReplyU16(5));
        Store(pwmMax, ReplyByte(7));
        Store(tAlarm, ReplyU16(8));
        Store(vAlarm, ReplyU16(10));
        Store(pwm, ReplyByte(12));
        return ok;
    });
}

QV725_API uint8_t QV725_SetPWM(int32_t p1, int32_t p2, int32_t p3, int32_t p4, int32_t p5,
                               int32_t p6) {
    return RunCommand([&] {
        const int32_t values[] = {p1, p2, p3, p4, p5, p6};
        for (size_t i = 0; i < 6; ++i) {
            if (!InRange(values[i], ByteMax)) {
                return RefuseParameters(cmd::SetPWM);
            }
            PutRequestByte(i, values[i]);
        }
        return DeviceRequest(cmd::SetPWM, 6);
    });
}

QV725_API uint8_t QV725_GetPWM(int32_t* p1, int32_t* p2, int32_t* p3, int32_t* p4, int32_t* p5,
                               int32_t* p6) {
    return RunCommand([&] {
        const bool ok = DeviceRequest(cmd::GetPWM, 0);
        int32_t* outputs[] = {p1, p2, p3, p4, p5, p6};
        for (size_t i = 0; i < 6; ++i) {
            Store(outputs[i], ReplyByte(1 + i));
        }
        return ok;
    });
}

QV725_API uint8_t QV725_SavePar(int32_t channel) {
    return RunCommand([&] {
        if (!ValidChannel(channel)) {
            return RefuseParameters(cmd::SavePar);
        }
        PutRequestByte(0, channel);
        return DeviceRequest(cmd::SavePar, 1);
    });
}

QV725_API uint8_t QV725_CallPar(int32_t channel) {
    return RunCommand([&] {
        if (!ValidChannel(channel)) {
            return RefuseParameters(cmd::CallPar);
        }
        PutRequestByte(0, channel);
        return DeviceRequest(cmd::CallPar, 1);
    });
}

}  // extern "C"
