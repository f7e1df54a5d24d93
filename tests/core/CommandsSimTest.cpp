// The device command layer against the simulated controller: failing calls raise the library's
// own last-error text, exactly.
#include <gtest/gtest.h>
#include <qv725/qv725.h>
#include <signal.h>

#include <cstdlib>

#include "Commands.h"
#include "SimProcess.h"
#include "TempFolder.h"

namespace {

// Runs one simulator in a private runtime folder, so only it can be found, and opens it.
class SimulatedController : public ::testing::Test {
protected:
    void StartAndOpen(const std::vector<std::string>& args) {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        savedRuntimeDir_ = old ? old : "";
        hadRuntimeDir_ = old != nullptr;
        setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
        std::string error;
        ASSERT_TRUE(sim_.Start(KELVANE_SIM_EXECUTABLE, args, runtime_.Path().string(), error))
            << error;
        ASSERT_NE(QV725_OpenDevice(), 0);
    }
    void TearDown() override {
        QV725_CloseDevice();
        if (hadRuntimeDir_) {
            setenv("XDG_RUNTIME_DIR", savedRuntimeDir_.c_str(), 1);
        } else {
            unsetenv("XDG_RUNTIME_DIR");
        }
    }

    TempFolder runtime_;
    qv725sim::SimProcess sim_;
    std::string savedRuntimeDir_;
    bool hadRuntimeDir_ = false;
};

std::string MessageOf(void (*call)()) {
    try {
        call();
    } catch (const EHardwareException& e) {
        EXPECT_EQ(e.HelpContext(), 0);
        return e.what();
    }
    return "(no exception)";
}

TEST_F(SimulatedController, BusyRepliesRaiseTheCommandsText) {
    StartAndOpen({"--busy-percent", "100"});
    EXPECT_EQ(MessageOf([] {
                  int32_t t[6];
                  CmdGetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]);
              }),
              "Get temperature: device busy.");
    EXPECT_EQ(MessageOf([] { CmdSetM(2, 6, 300, 77, 600, 255, 700, 500, 128); }),
              "Set channel mode: device busy.");
    EXPECT_EQ(MessageOf([] { CmdSavePar(1); }), "Save Params: device busy.");
    EXPECT_EQ(MessageOf([] { CmdSetPWM(1, 2, 3, 4, 5, 6); }), "Set PWM: device busy.");
}

TEST_F(SimulatedController, UnpluggedDeviceRaisesIoError) {
    StartAndOpen({});
    int32_t t[6] = {};
    EXPECT_NO_THROW(CmdGetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]));
    ASSERT_TRUE(sim_.Signal(SIGKILL));
    ASSERT_GE(sim_.Wait(10000), 0);
    EXPECT_EQ(MessageOf([] {
                  int32_t v[6];
                  CmdGetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
              }),
              "IO error: device not responding.");
}

}  // namespace
