// The rig of the tool's end-to-end tests: a qv725-sim in a private runtime folder, the real
// qv725ctl run against it, and the simulator's state read back through the library in this
// process, independently of the tool.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JsonReader.h"
#include "Params.h"
#include "SimProcess.h"
#include "TempFolder.h"
#include "ToolProcess.h"

class CliSimTest : public testing::Test {
protected:
    CliSimTest();
    ~CliSimTest() override;

    // Starts the simulator; with `logRequests` it logs every frame, which RequestCodes() reads.
    void StartSim(const std::vector<std::string>& args = {}, bool logRequests = false);
    // The simulator's link path (its port name).
    std::string SimPort() const { return sim_.LinkPath(); }

    // Runs qv725ctl with `args` and waits for its end. Its runtime folder is this test's, its
    // home and configuration folder are scratch folders, and QV725_PORT is unset unless
    // `environment` ("NAME=value" entries) sets it.
    TToolResult Tool(const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {});
    // Starts qv725ctl without waiting, for watch.
    void StartTool(TToolProcess& tool, const std::vector<std::string>& args,
                   const std::vector<std::string>& environment = {});
    // The tool's standard output parsed as one JSON document; fails the test when it is not.
    static TJsonValue Json(const TToolResult& result);

    // The simulator's state, read through the library in this process.
    TChannelParams SimParams(int channel);
    std::array<int32_t, 6> SimPwm();
    void SimSetParams(int channel, const TChannelParams& params);

    // Stops the simulator and returns the command codes of every request it received, in
    // order (StartSim with logRequests).
    std::vector<int> StopAndTakeRequests();

    // A settings file in the scratch folder with channel names and, when `presets` is not
    // null, the preset store.
    std::string WriteSettings(const std::array<std::string, 6>& names,
                              const TParams* presets = nullptr);

    TempFolder scratch_;
    std::string runtime_;
    qv725sim::SimProcess sim_;
};

// Command codes of the requests, for RequestCodes().
inline constexpr int kCmdGetInfo = 3;
inline constexpr int kCmdSetM = 8;
inline constexpr int kCmdGetM = 9;
inline constexpr int kCmdSetPwm = 10;
inline constexpr int kCmdGetPwm = 11;
inline constexpr int kCmdSavePar = 12;
inline constexpr int kCmdCallPar = 13;
