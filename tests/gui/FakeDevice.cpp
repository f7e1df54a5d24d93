// The scripted device exports used by the window tests.
#include "FakeDevice.h"

#include <qv725/qv725.h>

#include "core/Commands.h"

namespace {

TFakeDevice device;

int64_t FakeClock() {
    return device.clockMs;
}

// The program's command layer measures its requests with the fake clock.
const bool clockInstalled = [] {
    SetCommandClock(&FakeClock);
    return true;
}();

constexpr int64_t kReplyMs = 2;
constexpr int64_t kReadTimeoutMs = 200;

// Whether `name` (or its command without the channel) fails now in `scripted`.
bool Scripted(std::map<std::string, int>& scripted, const std::string& name) {
    const std::string base = name.substr(0, name.find('('));
    return TFakeDevice::Take(scripted, name) || TFakeDevice::Take(scripted, base);
}

void Store(int32_t* out, int32_t value) {
    if (out != nullptr)
        *out = value;
}

// Runs one command: nothing sent while no device is open (success, zeros); otherwise the
// scripted failure or the values.
template <typename Fill>
uint8_t Command(const std::string& name, const std::string& prefix, Fill fill) {
    device.calls.push_back(name);
    if (!device.open) {
        device.lastError.clear();
        fill(false);
        return 1;
    }
    if (Scripted(device.timeouts, name)) {
        device.clockMs += kReadTimeoutMs;
        device.lastError = "IO error: device not responding.";
        fill(false);
        return 0;
    }
    device.clockMs += kReplyMs;
    if (Scripted(device.garbles, name)) {
        device.lastError = "IO error: device not responding.";
        fill(false);
        return 0;
    }
    if (Scripted(device.failures, name)) {
        device.lastError = prefix + "device busy.";
        fill(false);
        return 0;
    }
    device.lastError.clear();
    fill(true);
    return 1;
}

}  // namespace

void TFakeDevice::Reset() {
    device = TFakeDevice{};
}

bool TFakeDevice::Fails(const std::string& command) {
    return Take(failures, command);
}

bool TFakeDevice::Take(std::map<std::string, int>& scripted, const std::string& command) {
    auto it = scripted.find(command);
    if (it == scripted.end() || it->second == 0)
        return false;
    if (it->second > 0)
        --it->second;
    return true;
}

std::vector<std::string> TFakeDevice::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> result;
    for (const std::string& call : calls) {
        if (call.rfind(prefix, 0) == 0)
            result.push_back(call);
    }
    return result;
}

TFakeDevice& FakeDevice() {
    return device;
}

extern "C" {

uint8_t QV725_OpenDevice(void) {
    device.calls.push_back("OpenDevice");
    if (device.openResult && Scripted(device.garbles, "OpenDevice")) {
        device.clockMs += kReplyMs;
        device.open = false;
        device.lastError = "IO error: device not responding.";
        return 0;
    }
    // No controller found: the text stays as it was unless a reason is scripted.
    device.open = device.openResult;
    if (device.open)
        device.lastError.clear();
    else if (!device.openFailureText.empty())
        device.lastError = device.openFailureText;
    return device.open ? 1 : 0;
}

uint8_t QV725_CloseDevice(void) {
    device.calls.push_back("CloseDevice");
    const bool wasOpen = device.open;
    device.open = false;
    return wasOpen ? 1 : 0;
}

uint8_t QV725_GetLastError(const char** text) {
    if (text != nullptr)
        *text = device.lastError.c_str();
    return 1;
}

uint8_t QV725_GetInfo(const char** text) {
    if (text != nullptr)
        *text = device.open ? "QV-725 fake" : "";
    if (!device.open)
        device.lastError.clear();
    return 1;
}

uint8_t QV725_GetT(int32_t* t1, int32_t* t2, int32_t* t3, int32_t* t4, int32_t* t5, int32_t* t6) {
    return Command("GetT", "Get temperature: ", [&](bool ok) {
        int32_t* out[6] = {t1, t2, t3, t4, t5, t6};
        for (int i = 0; i < 6; ++i)
            Store(out[i], ok ? device.t[i] : 0);
    });
}

uint8_t QV725_GetV(int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4, int32_t* v5, int32_t* v6) {
    return Command("GetV", "Get velocity: ", [&](bool ok) {
        int32_t* out[6] = {v1, v2, v3, v4, v5, v6};
        for (int i = 0; i < 6; ++i)
            Store(out[i], ok ? device.v[i] : 0);
    });
}

uint8_t QV725_GetPWM(int32_t* p1, int32_t* p2, int32_t* p3, int32_t* p4, int32_t* p5, int32_t* p6) {
    return Command("GetPWM", "Get PWM: ", [&](bool ok) {
        int32_t* out[6] = {p1, p2, p3, p4, p5, p6};
        for (int i = 0; i < 6; ++i)
            Store(out[i], ok ? device.pwm[i] : 0);
    });
}

uint8_t QV725_SetPWM(int32_t p1, int32_t p2, int32_t p3, int32_t p4, int32_t p5, int32_t p6) {
    device.setPwm.push_back({p1, p2, p3, p4, p5, p6});
    return Command("SetPWM", "Set PWM: ", [&](bool ok) {
        if (ok)
            device.pwm = {p1, p2, p3, p4, p5, p6};
    });
}

uint8_t QV725_GetM(int32_t channel, int32_t* flags, int32_t* tMin, int32_t* pwmMin, int32_t* tMax,
                   int32_t* pwmMax, int32_t* tAlarm, int32_t* vAlarm, int32_t* pwm) {
    return Command("GetM(" + std::to_string(channel) + ")", "Get channel mode: ", [&](bool ok) {
        const TFakeRecord r = ok ? device.records.at(channel) : TFakeRecord{};
        Store(flags, r.flags);
        Store(tMin, r.tMin);
        Store(pwmMin, r.pwmMin);
        Store(tMax, r.tMax);
        Store(pwmMax, r.pwmMax);
        Store(tAlarm, r.tAlarm);
        Store(vAlarm, r.vAlarm);
        Store(pwm, r.pwm);
    });
}

uint8_t QV725_SetM(int32_t channel, int32_t flags, int32_t tMin, int32_t pwmMin, int32_t tMax,
                   int32_t pwmMax, int32_t tAlarm, int32_t vAlarm, int32_t pwm) {
    device.setM.push_back({channel, flags, tMin, pwmMin, tMax, pwmMax, tAlarm, vAlarm, pwm});
    return Command("SetM(" + std::to_string(channel) + ")", "Set channel mode: ", [&](bool ok) {
        if (ok)
            device.records.at(channel) = {flags, tMin, pwmMin, tMax, pwmMax, tAlarm, vAlarm, pwm};
    });
}

uint8_t QV725_SavePar(int32_t channel) {
    return Command("SavePar(" + std::to_string(channel) + ")", "Save parameters: ", [](bool) {});
}

uint8_t QV725_CallPar(int32_t channel) {
    return Command("CallPar(" + std::to_string(channel) + ")", "Call parameters: ", [&](bool ok) {
        const auto stored = device.eeprom.find(channel);
        if (ok && stored != device.eeprom.end())
            device.records.at(channel) = stored->second;
    });
}

}  // extern "C"
