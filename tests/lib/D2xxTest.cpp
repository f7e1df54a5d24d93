// The D2XX backend against the stand-in driver: the exact driver calls, their arguments and
// order, and how driver failures reach the library's results.
#include <gtest/gtest.h>

#include "FakeFtdiControl.h"
#include "LastError.h"
#include "backends/D2xx.h"
#include "qv725/qv725.h"

namespace {

// The calls that open, configure and ask one candidate.
std::string Probe(const std::string& dev, int index, size_t replyBytes) {
    std::string log = "FT_Open(" + std::to_string(index) + ")\n" + "FT_SetLatencyTimer(" + dev +
                      ",2)\n" + "FT_SetBaudRate(" + dev + ",38400)\n" +
                      "FT_SetDataCharacteristics(" + dev + ",8,0,0)\n" + "FT_SetTimeouts(" + dev +
                      ",200,200)\n" + "FT_Purge(" + dev + ",3)\n" + "FT_Purge(" + dev + ",1)\n" +
                      "FT_Write(" + dev + ",C0 03 00 EB)\n" + "FT_SetTimeouts(" + dev +
                      ",200,200)\n" + "FT_Read(" + dev + ",1)";
    return log + (replyBytes > 1 ? " x" + std::to_string(replyBytes) : "") + "\n";
}

class D2xxTest : public ::testing::Test {
protected:
    FakeFtdiControl driver;
    D2xxBackend d2xx;

    void SetUp() override {
        ASSERT_TRUE(driver.Loaded());
        driver.reset(3);
        FtdioUseBackends({&d2xx});
        // Time stands still: the driver calls of each step do not depend on how fast this
        // machine runs them.
        FtdioUseClock([] { return std::chrono::steady_clock::time_point{}; });
    }
    void TearDown() override {
        QV725_CloseDevice();
        FtdioUseDefaultBackends();
    }
};

TEST_F(D2xxTest, FindsTheControllerThroughTheDriver) {
    const Bytes other = IdentificationFrame("FT232R");
    const Bytes controller = IdentificationFrame("QV-725 v1.0");
    driver.Reply(0, other);
    // device 1 is silent: its first read times out
    driver.Reply(2, controller);

    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_TRUE(d2xx.Available());
    EXPECT_EQ(driver.Log(), "FT_ListDevices(count,NULL,0x80000000)\n" +
                                Probe("dev0", 0, other.size()) + "FT_Close(dev0)\n" +
                                Probe("dev1", 1, 1) + "FT_Close(dev1)\n" +
                                Probe("dev2", 2, controller.size()));
    EXPECT_EQ(driver.isOpen(2), 1);

    driver.clearLog();
    driver.Reply(2, Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"));
    int32_t t[6] = {};
    ASSERT_EQ(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]), 1);
    EXPECT_EQ(t[0], 250);
    EXPECT_EQ(t[1], -50);
    EXPECT_EQ(driver.Log(),
              "FT_Purge(dev2,1)\nFT_Write(dev2,C0 06 00 "
              "14)\nFT_SetTimeouts(dev2,200,200)\nFT_Read(dev2,1) x17\n");

    driver.clearLog();
    EXPECT_EQ(QV725_CloseDevice(), 1);
    EXPECT_EQ(QV725_CloseDevice(), 0) << "no second close";
    EXPECT_EQ(driver.Log(), "FT_Close(dev2)\n");
}

TEST_F(D2xxTest, FailingLatencyOrBaudCallEndsConfigure) {
    struct Case {
        const char* failing;
        const char* log;
    };
    const Case cases[] = {
        {"FT_SetLatencyTimer",
         "FT_ListDevices(count,NULL,0x80000000)\nFT_Open(0)\nFT_SetLatencyTimer(dev0,2)\n"
         "FT_Close(dev0)\n"},
        {"FT_SetBaudRate",
         "FT_ListDevices(count,NULL,0x80000000)\nFT_Open(0)\nFT_SetLatencyTimer(dev0,2)\n"
         "FT_SetBaudRate(dev0,38400)\nFT_Close(dev0)\n"},
    };
    for (const Case& c : cases) {
        driver.reset(1);
        driver.failCall(c.failing, 4);
        EXPECT_EQ(QV725_OpenDevice(), 0) << c.failing;
        EXPECT_EQ(driver.Log(), c.log) << c.failing;
        EXPECT_EQ(FtdioStatus(), 0u) << "the close that followed succeeded";
    }
}

TEST_F(D2xxTest, FailuresOfCountAndOpen) {
    driver.failCall("FT_ListDevices", 4);
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_EQ(driver.Log(), "FT_ListDevices(count,NULL,0x80000000)\n");

    driver.reset(2);
    driver.failCall("FT_Open", 3);
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_EQ(driver.Log(), "FT_ListDevices(count,NULL,0x80000000)\nFT_Open(0)\nFT_Open(1)\n")
        << "nothing to close after a failed open";
}

class OpenD2xxTest : public D2xxTest {
protected:
    void SetUp() override {
        D2xxTest::SetUp();
        driver.reset(1);
        driver.Reply(0, IdentificationFrame("QV-725"));
        ASSERT_EQ(QV725_OpenDevice(), 1);
        driver.clearLog();
    }
};

TEST_F(OpenD2xxTest, ReadTimeoutIsAFailure) {
    int32_t p[6];
    EXPECT_EQ(QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_EQ(driver.Log(),
              "FT_Purge(dev0,1)\nFT_Write(dev0,C0 0B 00 9D)\nFT_SetTimeouts(dev0,200,200)\n"
              "FT_Read(dev0,1)\n");
    EXPECT_EQ(driver.isOpen(0), 1) << "a failed command leaves the device open";
}

TEST_F(OpenD2xxTest, ShortWriteIsAFailureAndNothingIsRead) {
    driver.limitWrite(3);
    driver.Reply(0, Hex("C0 0C 01 00 52"));
    EXPECT_EQ(QV725_SavePar(0), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_EQ(driver.Log(), "FT_Purge(dev0,1)\nFT_Write(dev0,C0 0C 01 00 52)\n");
}

TEST_F(OpenD2xxTest, StaleInputIsPurgedBeforeEachRequest) {
    // Receive purge (mask 1) first: a failing purge sends nothing.
    driver.failCall("FT_Purge", 4);
    driver.Reply(0, Hex("C0 0C 01 00 52"));
    EXPECT_EQ(QV725_SavePar(0), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_EQ(driver.Log(), "FT_Purge(dev0,1)\n");
}

TEST_F(OpenD2xxTest, DriverErrorsAreNeverReportedByCode) {
    driver.failCall("FT_Read", 4);
    driver.Reply(0, Hex("C0 0B 07 00 0A 14 1E 28 32 3C 15"));
    int32_t p[6];
    EXPECT_EQ(QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_EQ(FtdioStatus(), 4u) << "the driver status is kept";
}

TEST_F(OpenD2xxTest, FailedTimeoutSettingEndsTheReceive) {
    driver.failCall("FT_SetTimeouts", 4);
    driver.Reply(0, Hex("C0 0B 07 00 0A 14 1E 28 32 3C 15"));
    int32_t p[6];
    EXPECT_EQ(QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]), 0);
    EXPECT_EQ(driver.Log(),
              "FT_Purge(dev0,1)\nFT_Write(dev0,C0 0B 00 9D)\nFT_SetTimeouts(dev0,200,200)\n");
}

TEST_F(OpenD2xxTest, ASecondOpenClosesTheFirstBeforeTheDriverSeesIt) {
    driver.Reply(0, IdentificationFrame("QV-725"));
    ASSERT_EQ(QV725_OpenDevice(), 1);
    const std::string log = driver.Log();
    EXPECT_EQ(log.substr(0, log.find("FT_SetLatencyTimer")),
              "FT_ListDevices(count,NULL,0x80000000)\nFT_Close(dev0)\nFT_Open(0)\n");
}

}  // namespace
