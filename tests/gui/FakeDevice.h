// A scripted stand-in for the device library's exports, linked into the window tests in place of
// libqv725: it plays the readings and parameter sets a test sets up, fails the commands a test
// names with the library's error texts, and records every call in order.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TFakeRecord {
    int32_t flags = 0, tMin = 0, pwmMin = 0, tMax = 0, pwmMax = 0, tAlarm = 0, vAlarm = 0, pwm = 0;
};

struct TFakeDevice {
    // What QV725_OpenDevice answers; whether a device is open now.
    bool openResult = true;
    bool open = false;
    std::array<int32_t, 6> t{}, v{}, pwm{};
    std::array<TFakeRecord, 6> records{};
    // What CallPar(channel) loads into records[channel], for the channels where it is set.
    std::map<int, TFakeRecord> eeprom;
    // Commands ("GetT", "GetV", "GetPWM", "GetM", "SetM", "SetPWM", "SavePar", "CallPar", or one
    // channel's call such as "GetM(1)") that fail with a busy status, with the number of
    // failures still to come (-1: every time). A failing read writes zeros into its outputs, like
    // a device that stopped answering.
    std::map<std::string, int> failures;
    // The same for a garbled reply ("IO error: device not responding." at once); "OpenDevice"
    // too, for a garbled identification.
    std::map<std::string, int> garbles;
    // The same for a reply that never comes ("IO error: device not responding." after the read
    // timeout: the clock moves on by 200 ms).
    std::map<std::string, int> timeouts;
    // The clock the program's command layer measures requests with, in milliseconds; each
    // request that gets a reply moves it on by 2 ms.
    int64_t clockMs = 0;
    std::string lastError;
    // The library's reason for an open that finds no controller ("No controller found: ...");
    // empty: the text stays as it was.
    std::string openFailureText;
    // Every call, e.g. "OpenDevice", "GetT", "GetM(2)", "SavePar(4)", "CloseDevice".
    std::vector<std::string> calls;
    // The arguments of every SetM (channel, flags, T_min, PWM_min, T_max, PWM_max, T_alarm,
    // V_alarm, PWM) and every SetPWM request, in order, the failed ones too.
    std::vector<std::array<int32_t, 9>> setM;
    std::vector<std::array<int32_t, 6>> setPwm;

    // Back to a connected device with zero readings and no calls recorded.
    void Reset();
    // Whether `command` fails now with a busy status (and counts the failure down).
    bool Fails(const std::string& command);
    // The same for one of the maps above.
    static bool Take(std::map<std::string, int>& scripted, const std::string& command);
    // The calls whose text starts with `prefix`, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
};

TFakeDevice& FakeDevice();
