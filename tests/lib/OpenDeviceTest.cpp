// Finding the controller among the attached devices, and the library with no device open.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "LastError.h"
#include "ScriptedBackend.h"
#include "qv725/qv725.h"

namespace {

using Calls = std::vector<std::string>;

// One candidate's whole turn: opened, configured, asked, and (unless it matched) closed.
Calls Turn(size_t index, bool closed) {
    const std::string i = std::to_string(index);
    Calls calls = {"Open(" + i + ")",
                   "SetLatencyTimer(2)",
                   "SetBaudRate(38400)",
                   "SetDataCharacteristics(8,0,0)",
                   "SetTimeouts(200,200)",
                   "Purge(3)",
                   "Purge(1)",
                   "Write(4)",
                   "SetTimeouts(200,200)"};
    if (closed)
        calls.push_back("Close(" + i + ")");
    return calls;
}

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

class OpenDeviceTest : public ::testing::Test {
protected:
    // Backends outlive the test body: TearDown still closes through them.
    std::deque<ScriptedBackend> backends;
    ScriptedBackend& Make(size_t devices) { return backends.emplace_back(devices); }

    // Time stands still unless a test gives the transport a backend's time: the calls each
    // step makes do not depend on how fast this machine runs them.
    void SetUp() override {
        FtdioUseClock([] { return std::chrono::steady_clock::time_point{}; });
    }

    void TearDown() override {
        QV725_CloseDevice();
        FtdioUseDefaultBackends();
    }
};

TEST_F(OpenDeviceTest, FirstMatchingCandidateWinsAndOthersAreClosed) {
    ScriptedBackend& backend = Make(5);
    FtdioUseBackends({&backend});
    backend.Reply(0, IdentificationFrame("FT232R board"));
    // device 1 stays silent
    backend.Reply(2, IdentificationFrame("qv-725 v1"));
    backend.Reply(3, IdentificationFrame("QV-725 v2"));
    backend.Reply(4, IdentificationFrame("QV-725 v3"));

    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(
        backend.calls(),
        Join({{"CountDevices"}, Turn(0, true), Turn(1, true), Turn(2, true), Turn(3, false)}));
    for (size_t i : {0, 1, 2, 3}) {
        ASSERT_EQ(backend.device(i).writes.size(), 1u);
        EXPECT_EQ(ToHex(backend.device(i).writes[0]), "C0 03 00 EB");
    }
    EXPECT_TRUE(backend.device(3).open);
    EXPECT_TRUE(backend.device(4).writes.empty()) << "the search ends at the first match";
    EXPECT_EQ(LastError(), "");

    // Commands now go to the matching device.
    backend.Reply(3, Hex("C0 0A 01 00 83"));
    EXPECT_EQ(QV725_SetPWM(1, 2, 3, 4, 5, 6), 1);
    EXPECT_EQ(backend.device(3).writes.size(), 2u);
}

TEST_F(OpenDeviceTest, IdentificationMatchIsSixCharactersCaseSensitive) {
    struct Case {
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"QV-725", true},  {"QV-725 v1.0", true}, {"QV-725X", true}, {"QV-72", false},
        {"qv-725", false}, {"QV_725", false},     {"", false},       {" QV-725", false},
    };
    for (const Case& c : cases) {
        ScriptedBackend& backend = Make(1);
        FtdioUseBackends({&backend});
        backend.Reply(0, IdentificationFrame(c.text));
        EXPECT_EQ(QV725_OpenDevice(), c.matches ? 1 : 0) << '"' << c.text << '"';
        EXPECT_EQ(backend.device(0).open, c.matches) << '"' << c.text << '"';
        QV725_CloseDevice();
        FtdioUseBackends({});
    }
}

TEST_F(OpenDeviceTest, CandidatesThatFailToOpenOrConfigureAreSkipped) {
    ScriptedBackend& unopenable = Make(1);
    ScriptedBackend& unconfigurable = Make(1);
    ScriptedBackend& controller = Make(1);
    unopenable.Fail("Open", ftstatus::DeviceNotOpened);
    unconfigurable.Fail("SetBaudRate", ftstatus::IoError);
    controller.Reply(0, IdentificationFrame("QV-725"));
    FtdioUseBackends({&unopenable, &unconfigurable, &controller});

    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(unopenable.calls(), (Calls{"CountDevices", "Open(0)"})) << "nothing to close";
    EXPECT_EQ(unconfigurable.calls(), (Calls{"CountDevices", "Open(0)", "SetLatencyTimer(2)",
                                             "SetBaudRate(38400)", "Close(0)"}));
    EXPECT_TRUE(controller.device(0).open);
}

TEST_F(OpenDeviceTest, NoControllerFound) {
    ScriptedBackend& backend = Make(2);
    FtdioUseBackends({&backend});
    backend.Reply(0, IdentificationFrame("QV-725"));
    backend.Fail("Write", ftstatus::IoError);  // nobody can be asked
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_EQ(LastError(), "No controller found: FTDI device 0: did not answer as a controller.")
        << "the reason names the first port that gave it";
    EXPECT_FALSE(backend.device(0).open);
    EXPECT_FALSE(backend.device(1).open);
    EXPECT_EQ(QV725_CloseDevice(), 0) << "nothing is open";
}

TEST_F(OpenDeviceTest, CountingFailsOrFindsNothing) {
    ScriptedBackend& backend = Make(1);
    FtdioUseBackends({&backend});
    backend.Fail("CountDevices", ftstatus::IoError);
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_EQ(backend.calls(), Calls{"CountDevices"});

    ScriptedBackend& none = Make(0);
    FtdioUseBackends({&none});
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_EQ(none.calls(), Calls{"CountDevices"});
    EXPECT_EQ(LastError(), "No controller found: no FTDI device attached.");
}

TEST_F(OpenDeviceTest, OpeningAgainClosesTheOpenController) {
    ScriptedBackend& backend = Make(2);
    FtdioUseBackends({&backend});
    backend.Reply(0, IdentificationFrame("QV-725"));
    backend.Reply(0, IdentificationFrame("QV-725"));
    ASSERT_EQ(QV725_OpenDevice(), 1);
    backend.ClearCalls();
    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(backend.calls(), Join({{"CountDevices", "Close(0)"}, Turn(0, false)}));
    EXPECT_TRUE(backend.device(0).open);
}

TEST_F(OpenDeviceTest, CloseReportsTheDriversResult) {
    ScriptedBackend& backend = Make(1);
    FtdioUseBackends({&backend});
    backend.Reply(0, IdentificationFrame("QV-725"));
    ASSERT_EQ(QV725_OpenDevice(), 1);
    backend.Fail("Close", ftstatus::IoError);
    EXPECT_EQ(QV725_CloseDevice(), 0);
    // Closed all the same: commands no longer reach the device.
    int32_t t[6];
    EXPECT_EQ(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]), 1);
    EXPECT_EQ(backend.device(0).writes.size(), 1u);
}

// With no device open every command succeeds at once with zeros and sends nothing.
TEST_F(OpenDeviceTest, NoDeviceOpen) {
    ScriptedBackend& backend = Make(1);
    FtdioUseBackends({&backend});
    backend.Reply(0, Hex("C0 06 00 14"));
    const char* info = "x";
    EXPECT_EQ(QV725_GetInfo(&info), 1);
    EXPECT_STREQ(info, "");

    int32_t o[8];
    std::fill(std::begin(o), std::end(o), -1);
    EXPECT_EQ(QV725_GetT(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]), 1);
    EXPECT_TRUE(std::all_of(o, o + 6, [](int32_t v) { return v == 0; }));
    std::fill(std::begin(o), std::end(o), -1);
    EXPECT_EQ(QV725_GetV(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]), 1);
    EXPECT_TRUE(std::all_of(o, o + 6, [](int32_t v) { return v == 0; }));
    std::fill(std::begin(o), std::end(o), -1);
    EXPECT_EQ(QV725_GetPWM(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]), 1);
    EXPECT_TRUE(std::all_of(o, o + 6, [](int32_t v) { return v == 0; }));
    std::fill(std::begin(o), std::end(o), -1);
    EXPECT_EQ(QV725_GetM(1, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7]), 1);
    EXPECT_TRUE(std::all_of(o, o + 8, [](int32_t v) { return v == 0; }));
    EXPECT_EQ(QV725_SetM(1, 2, 3, 4, 5, 6, 7, 8, 9), 1);
    EXPECT_EQ(QV725_SetPWM(1, 2, 3, 4, 5, 6), 1);
    EXPECT_EQ(QV725_SavePar(1), 1);
    EXPECT_EQ(QV725_CallPar(1), 1);
    EXPECT_EQ(LastError(), "");
    EXPECT_TRUE(backend.calls().empty()) << "nothing is sent";
}

}  // namespace
