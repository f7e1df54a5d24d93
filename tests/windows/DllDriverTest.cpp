// qv725.dll as a Windows caller gets it: linked at load time, it loads FTD2XX.dll by name at
// run time (here the stand-in driver on the DLL search path) and finds, reads and closes the
// controller through it.
#include <gtest/gtest.h>

#include "FakeFtdiControl.h"
#include "LastError.h"
#include "qv725/qv725.h"

namespace {

class DllDriverTest : public ::testing::Test {
protected:
    FakeFtdiControl driver;

    void SetUp() override {
        ASSERT_TRUE(driver.Loaded());
        driver.reset(2);
    }
    void TearDown() override { QV725_CloseDevice(); }
};

TEST_F(DllDriverTest, FindsReadsAndClosesTheControllerThroughTheDriver) {
    driver.Reply(0, IdentificationFrame("FT232R"));
    driver.Reply(1, IdentificationFrame("QV-725 v1.0"));
    ASSERT_EQ(QV725_OpenDevice(), 1) << LastError();
    EXPECT_EQ(driver.isOpen(0), 0) << "the other device is closed again";
    EXPECT_EQ(driver.isOpen(1), 1);

    driver.Reply(1, Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"));
    int32_t t[6] = {-1, -1, -1, -1, -1, -1};
    ASSERT_EQ(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]), 1) << LastError();
    EXPECT_EQ(std::vector<int32_t>(t, t + 6), (std::vector<int32_t>{250, -50, 0, 0, 0, 0}));
    EXPECT_EQ(LastError(), "");

    // Nothing queued: the driver's read times out.
    EXPECT_EQ(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_EQ(driver.isOpen(1), 1) << "a failed command leaves the device open";

    EXPECT_EQ(QV725_CloseDevice(), 1);
    EXPECT_EQ(driver.isOpen(1), 0);
}

TEST_F(DllDriverTest, NoControllerAmongTheDevices) {
    driver.Reply(0, IdentificationFrame("FT232R"));
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_EQ(driver.isOpen(0), 0);
    EXPECT_EQ(driver.isOpen(1), 0);
}

}  // namespace
