// One contract for every transport backend that can run here: the library finds, opens and
// talks to a controller through it byte for byte, and its failures read the same.
#include <gtest/gtest.h>

#include "BackendRigs.h"
#include "LastError.h"
#include "ScopedLineup.h"
#include "qv725/qv725.h"

namespace {

template <class Rig>
class BackendContract : public ::testing::Test {
protected:
    Rig rig;

    void SetUp() override { FtdioUseBackends({&rig.Backend()}); }
    void TearDown() override {
        QV725_CloseDevice();
        FtdioUseBackends({});
    }
    void Open() {
        rig.Answer(IdentificationFrame("QV-725 contract"));
        ASSERT_EQ(QV725_OpenDevice(), 1);
    }
};

struct RigNames {
    template <class Rig>
    static std::string GetName(int) {
        return Rig::Name;
    }
};

#ifdef _WIN32
using Rigs = ::testing::Types<D2xxRig>;  // Windows reaches the bridge through the driver only
#else
using Rigs = ::testing::Types<D2xxRig, SimPortsRig, SerialPortRig>;
#endif
TYPED_TEST_SUITE(BackendContract, Rigs, RigNames);

TYPED_TEST(BackendContract, FindsAndIdentifiesTheController) {
    this->Open();
    this->rig.Answer(IdentificationFrame("QV-725 contract"));
    const char* text = nullptr;
    ASSERT_EQ(QV725_GetInfo(&text), 1);
    EXPECT_STREQ(text, "QV-725 contract");
    EXPECT_EQ(this->rig.Requests(2), (std::vector<std::string>{"C0 03 00 EB", "C0 03 00 EB"}));
}

TYPED_TEST(BackendContract, FramesTravelByteForByte) {
    this->Open();
    // CR, LF, XON and XOFF both ways: the line must be raw.
    this->rig.Answer(Hex("C0 0A 01 00 83"));
    EXPECT_EQ(QV725_SetPWM(0x11, 0x13, 0x0D, 0x0A, 0x7F, 0xFF), 1);
    this->rig.Answer(Hex("C0 0B 07 00 11 13 0D 0A 00 FF 18"));
    int32_t p[6] = {};
    EXPECT_EQ(QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]), 1);
    EXPECT_EQ(std::vector<int32_t>(p, p + 6),
              (std::vector<int32_t>{0x11, 0x13, 0x0D, 0x0A, 0, 0xFF}));
    this->rig.Answer(Hex("C0 08 01 00 CC"));
    EXPECT_EQ(QV725_SetM(2, 6, 300, 77, 600, 255, 700, 500, 128), 1);
    this->rig.Answer(Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"));
    int32_t t[6] = {};
    EXPECT_EQ(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]), 1);
    EXPECT_EQ(t[0], 250);
    EXPECT_EQ(t[1], -50);
    const auto requests = this->rig.Requests(5);
    EXPECT_EQ(std::vector<std::string>(requests.begin() + 1, requests.end()),
              (std::vector<std::string>{"C0 0A 06 11 13 0D 0A 7F FF 04", "C0 0B 00 9D",
                                        "C0 08 0D 02 06 2C 01 4D 58 02 FF BC 02 F4 01 80 84",
                                        "C0 06 00 14"}));
}

TYPED_TEST(BackendContract, SilentControllerTimesOut) {
    this->Open();
    int32_t t[6] = {};
    EXPECT_EQ(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    // The line is still usable afterwards.
    this->rig.Answer(Hex("C0 0C 01 00 52"));
    EXPECT_EQ(QV725_SavePar(0), 1);
}

TYPED_TEST(BackendContract, OpeningDiscardsStaleInput) {
    // Left on the line from before: would be taken for the identification without a purge.
    this->rig.Stale(IdentificationFrame("XX-000 stale"));
    this->Open();
}

TYPED_TEST(BackendContract, EveryRequestDiscardsStaleInput) {
    this->Open();
    // A temperature reply that came after its request gave up, still on the line.
    this->rig.Stale(Hex("C0 06 0D 00 01 00 02 00 03 00 04 00 05 00 06 00 1E"));
    this->rig.Answer(Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"));
    int32_t t[6] = {};
    EXPECT_EQ(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]), 1) << LastError();
    EXPECT_EQ(t[0], 250) << "the stale reply was taken for this request's";
    EXPECT_EQ(t[1], -50);
}

TYPED_TEST(BackendContract, AnOpenDeviceCannotBeOpenedTwice) {
    this->Open();
    auto other = this->rig.Another();
    uint32_t count = 0;
    ASSERT_EQ(other->CountDevices(count), 0u);
    ASSERT_EQ(count, 1u);
    FtdioHandle handle = 0;
    EXPECT_NE(other->Open(0, handle), 0u);
}

TYPED_TEST(BackendContract, HungUpLineFailsCommands) {
    this->Open();
    this->rig.Hangup();
    int32_t v[6] = {};
    EXPECT_EQ(QV725_GetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
}

TYPED_TEST(BackendContract, CloseOnlyOnce) {
    this->Open();
    EXPECT_EQ(QV725_CloseDevice(), 1);
    EXPECT_EQ(QV725_CloseDevice(), 0);
    // Closed for real: it can be opened again.
    this->Open();
}

#ifndef _WIN32
TEST(SerialPortRigTest, LatencyTimerIsSetThroughSysfs) {
    SerialPortRig rig;
    ScopedLineup lineup({&rig.Backend()});
    rig.Answer(IdentificationFrame("QV-725"));
    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(rig.LatencyTimer(), "2");
}
#endif

}  // namespace
