// The transport over its backend lineup: device indices across backends, configuration order,
// the close guard, and byte counts that decide success.
#include <gtest/gtest.h>

#include <algorithm>

#include "Ftdio.h"
#include "ScriptedBackend.h"
#include "Wake.h"

namespace {

using Calls = std::vector<std::string>;

class FtdioTest : public ::testing::Test {
protected:
    ScriptedBackend first{2};
    ScriptedBackend second{1};
    FtdioHandle handle = 0;

    void SetUp() override {
        FtdioUseBackends({&first, &second});
        FtdioUseClock(first.Time());
    }
    void TearDown() override { FtdioUseDefaultBackends(); }

    static size_t CountOf(const Calls& calls, const std::string& prefix) {
        return static_cast<size_t>(std::count_if(
            calls.begin(), calls.end(), [&](const auto& c) { return c.rfind(prefix, 0) == 0; }));
    }
};

TEST_F(FtdioTest, CountSumsTheBackendsAndIndicesRunAcrossThem) {
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    EXPECT_EQ(count, 3u);

    ASSERT_TRUE(FtdioOpen(2, handle));
    EXPECT_EQ(handle, ScriptedBackend::HandleOf(0));
    EXPECT_EQ(second.calls().back(), "Open(0)");
    EXPECT_EQ(CountOf(first.calls(), "Open"), 0u);

    ASSERT_TRUE(FtdioOpen(1, handle));
    EXPECT_EQ(first.calls().back(), "Open(1)");
}

TEST_F(FtdioTest, IndexOutsideTheCountFailsWithoutAHandle) {
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    handle = 77;
    EXPECT_FALSE(FtdioOpen(3, handle));
    EXPECT_EQ(handle, 0u);
    EXPECT_NE(FtdioStatus(), 0u);
    EXPECT_FALSE(FtdioOpen(-1, handle));
    EXPECT_EQ(CountOf(first.calls(), "Open") + CountOf(second.calls(), "Open"), 0u);
}

TEST_F(FtdioTest, ABackendThatCannotCountAddsNoDevices) {
    first.Fail("CountDevices", ftstatus::IoError);
    uint32_t count = 99;
    ASSERT_TRUE(FtdioCountDevices(count));
    EXPECT_EQ(count, 1u);
    ASSERT_TRUE(FtdioOpen(0, handle));
    EXPECT_EQ(second.calls().back(), "Open(0)");

    second.Fail("CountDevices", ftstatus::OtherError);
    EXPECT_FALSE(FtdioCountDevices(count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(FtdioStatus(), ftstatus::OtherError);
}

TEST_F(FtdioTest, ConfigureSetsTheLineInOrder) {
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    ASSERT_TRUE(FtdioOpen(0, handle));
    first.ClearCalls();
    ASSERT_TRUE(FtdioConfigure(38400));
    EXPECT_EQ(first.calls(),
              (Calls{"SetLatencyTimer(2)", "SetBaudRate(38400)", "SetDataCharacteristics(8,0,0)",
                     "SetTimeouts(200,200)", "Purge(3)"}));
}

TEST_F(FtdioTest, ConfigureStopsAtTheFirstFailure) {
    struct Case {
        const char* failing;
        Calls expected;
    };
    const Case cases[] = {
        {"SetLatencyTimer", {"SetLatencyTimer(2)"}},
        {"SetBaudRate", {"SetLatencyTimer(2)", "SetBaudRate(38400)"}},
        {"Purge",
         {"SetLatencyTimer(2)", "SetBaudRate(38400)", "SetDataCharacteristics(8,0,0)",
          "SetTimeouts(200,200)", "Purge(3)"}},
    };
    for (const Case& c : cases) {
        ScriptedBackend backend;
        FtdioUseBackends({&backend});
        uint32_t count = 0;
        ASSERT_TRUE(FtdioCountDevices(count));
        ASSERT_TRUE(FtdioOpen(0, handle));
        backend.ClearCalls();
        backend.Fail(c.failing, ftstatus::IoError);
        EXPECT_FALSE(FtdioConfigure(38400)) << c.failing;
        EXPECT_EQ(FtdioStatus(), ftstatus::IoError);
        EXPECT_EQ(backend.calls(), c.expected) << c.failing;
        FtdioUseBackends({});
    }
}

TEST_F(FtdioTest, CloseWithoutAnOpenDeviceNeverReachesTheDriver) {
    handle = 1234;  // a stale copy
    EXPECT_FALSE(FtdioClose(handle));
    EXPECT_EQ(handle, 0u);

    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    ASSERT_TRUE(FtdioOpen(0, handle));
    FtdioHandle copy = handle;
    EXPECT_TRUE(FtdioClose(handle));
    EXPECT_EQ(handle, 0u);
    EXPECT_FALSE(FtdioClose(copy)) << "the released handle is not closed twice";
    EXPECT_EQ(copy, 0u);
    EXPECT_EQ(CountOf(first.calls(), "Close"), 1u);
}

TEST_F(FtdioTest, AFailedOpenLeavesNothingToClose) {
    first.Fail("Open", ftstatus::DeviceNotOpened);
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    EXPECT_FALSE(FtdioOpen(0, handle));
    EXPECT_EQ(FtdioStatus(), ftstatus::DeviceNotOpened);
    handle = 5;
    EXPECT_FALSE(FtdioClose(handle));
    EXPECT_EQ(CountOf(first.calls(), "Close"), 0u);
}

TEST_F(FtdioTest, ASecondOpenClosesTheFirst) {
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    ASSERT_TRUE(FtdioOpen(0, handle));
    ASSERT_TRUE(FtdioOpen(1, handle));
    EXPECT_EQ(first.calls(), (Calls{"CountDevices", "Open(0)", "Close(0)", "Open(1)"}));
    EXPECT_FALSE(first.device(0).open);
    EXPECT_TRUE(first.device(1).open);
}

TEST_F(FtdioTest, OpenCountsWhenNoCountWasMade) {
    ASSERT_TRUE(FtdioOpen(2, handle));
    EXPECT_EQ(second.calls().back(), "Open(0)");
}

TEST_F(FtdioTest, NoTransferWithoutAnOpenDevice) {
    uint8_t b = 0;
    const uint8_t data[] = {1, 2};
    EXPECT_FALSE(FtdioWrite(2, data));
    EXPECT_FALSE(FtdioReadByte(b));
    EXPECT_FALSE(FtdioSetReadTimeout(200));
    EXPECT_FALSE(FtdioConfigure(38400));
    EXPECT_TRUE(first.calls().empty());
}

TEST_F(FtdioTest, ShortWriteAndReadTimeoutFail) {
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    ASSERT_TRUE(FtdioOpen(0, handle));
    const uint8_t data[] = {1, 2, 3, 4};
    first.LimitWrites(3);
    EXPECT_FALSE(FtdioWrite(4, data));
    EXPECT_EQ(FtdioStatus(), 0u) << "the driver call itself succeeded";
    first.LimitWrites(UINT32_MAX);
    EXPECT_TRUE(FtdioWrite(4, data));

    uint8_t b = 0x77;
    EXPECT_FALSE(FtdioReadByte(b)) << "nothing to read: the read times out";
    first.device(0).pending.push_back(0x42);
    EXPECT_TRUE(FtdioReadByte(b));
    EXPECT_EQ(b, 0x42);
    first.Fail("Read", ftstatus::IoError);
    first.device(0).pending.push_back(0x43);
    EXPECT_FALSE(FtdioReadByte(b));
    EXPECT_EQ(FtdioStatus(), ftstatus::IoError);
}

TEST_F(FtdioTest, ReceiveSetsTheTimeoutFirstAndFailsWhenItCannot) {
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    ASSERT_TRUE(FtdioOpen(0, handle));
    first.device(0).pending = {0xC0, 0x06, 0x00, 0x14};
    uint8_t address = 0, command = 0, n = 0, data[200];
    first.ClearCalls();
    ASSERT_TRUE(WakeReceiveFrame(150, address, command, data, sizeof data, n));
    EXPECT_EQ(first.calls(), (Calls{"SetTimeouts(150,200)"}));

    first.device(0).pending = {0xC0, 0x06, 0x00, 0x14};
    first.Fail("SetTimeouts", ftstatus::IoError);
    EXPECT_FALSE(WakeReceiveFrame(200, address, command, data, sizeof data, n));
    EXPECT_EQ(first.device(0).pending.size(), 4u) << "nothing is read";
}

TEST_F(FtdioTest, SendWritesTheWholeFrameAtOnce) {
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    ASSERT_TRUE(FtdioOpen(0, handle));
    const uint8_t data[] = {0xC0, 0xDB, 0, 0, 0, 0};
    ASSERT_TRUE(WakeSendFrame(0, 10, 6, data));
    ASSERT_EQ(first.device(0).writes.size(), 1u);
    EXPECT_EQ(ToHex(first.device(0).writes[0]), "C0 0A 06 DB DC DB DD 00 00 00 00 87");
    first.LimitWrites(11);
    EXPECT_FALSE(WakeSendFrame(0, 10, 6, data));
}

}  // namespace
