// The device library against the real qv725-sim over a pseudo-terminal, through the public C
// header only: found with no setting but the runtime folder, every command, and the faults as
// the library reports them: busy, silent, garbled, late and short replies, and a line that
// carries a stray byte now and then.
#include <gtest/gtest.h>
#include <qv725/qv725.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "LastError.h"
#include "TempFolder.h"
#include "SimProcess.h"

namespace qv725sim {
namespace {

class LibraryTest : public testing::Test {
protected:
    LibraryTest() { ::setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1); }
    ~LibraryTest() override { QV725_CloseDevice(); }

    void Start(SimProcess& sim, const std::vector<std::string>& args = {}) {
        std::string error;
        ASSERT_TRUE(sim.Start(QV725_SIM_EXE, args, runtime_.Path().string(), error)) << error;
    }

    TempFolder runtime_{TempFolder::OwnerOnly};
};

TEST_F(LibraryTest, FindsTheSimulatorAndReadsItsChannels) {
    SimProcess sim;
    Start(sim);
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();

    const char* info = nullptr;
    ASSERT_TRUE(QV725_GetInfo(&info)) << LastError();
    EXPECT_STREQ(info, "QV-725 sim 1.0");

    int32_t t[6] = {};
    ASSERT_TRUE(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5])) << LastError();
    EXPECT_EQ(LastError(), "");
    for (int i = 0; i < 6; ++i) {
        // A fresh simulator sits near its 24 degC ambient.
        EXPECT_GT(t[i], 150) << "channel " << i;
        EXPECT_LT(t[i], 800) << "channel " << i;
    }
    int32_t v[6] = {};
    ASSERT_TRUE(QV725_GetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5])) << LastError();
    for (int i = 0; i < 6; ++i) {
        EXPECT_GE(v[i], 0);
        EXPECT_LT(v[i], 3000);
    }
    int32_t p[6] = {};
    ASSERT_TRUE(QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5])) << LastError();
    for (int i = 0; i < 6; ++i) {
        EXPECT_GE(p[i], 77) << "factory curve starts at 77";
        EXPECT_LE(p[i], 255);
    }
}

TEST_F(LibraryTest, ParametersRoundTripAndPersistInTheEeprom) {
    const std::string eeprom = runtime_.File("lib.eeprom");
    {
        SimProcess sim;
        Start(sim, {"--eeprom", eeprom});
        ASSERT_TRUE(QV725_OpenDevice()) << LastError();
        ASSERT_TRUE(QV725_SetM(2, 6, 300, 77, 600, 255, 850, 500, 128)) << LastError();
        EXPECT_EQ(LastError(), "");
        int32_t f = 0, tMin = 0, pMin = 0, tMax = 0, pMax = 0, tA = 0, vA = 0, pwm = 0;
        ASSERT_TRUE(QV725_GetM(2, &f, &tMin, &pMin, &tMax, &pMax, &tA, &vA, &pwm)) << LastError();
        EXPECT_EQ(f, 6);
        EXPECT_EQ(tMin, 300);
        EXPECT_EQ(pMin, 77);
        EXPECT_EQ(tMax, 600);
        EXPECT_EQ(pMax, 255);
        EXPECT_EQ(tA, 850);
        EXPECT_EQ(vA, 500);
        EXPECT_EQ(pwm, 128);
        ASSERT_TRUE(QV725_SavePar(2)) << LastError();

        // Change it without saving, then recall the saved set.
        ASSERT_TRUE(QV725_SetM(2, 0, 100, 10, 200, 20, 300, 40, 50)) << LastError();
        ASSERT_TRUE(QV725_CallPar(2)) << LastError();
        ASSERT_TRUE(QV725_GetM(2, &f, &tMin, &pMin, &tMax, &pMax, &tA, &vA, &pwm)) << LastError();
        EXPECT_EQ(f, 6);
        EXPECT_EQ(tA, 850);
        EXPECT_EQ(pwm, 128);

        // Manual PWM reads back as set.
        ASSERT_TRUE(QV725_SetM(0, 0, 300, 77, 600, 255, 700, 500, 90)) << LastError();
        ASSERT_TRUE(QV725_SetPWM(200, 1, 2, 3, 4, 5)) << LastError();
        int32_t p[6] = {};
        ASSERT_TRUE(QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5])) << LastError();
        EXPECT_EQ(p[0], 200);

        // Out of range: refused before it is sent, with the text the controller would give.
        EXPECT_FALSE(QV725_SetM(6, 0, 0, 0, 0, 0, 0, 0, 0));
        EXPECT_EQ(LastError(), "Set channel mode: invalid parameters.");
        EXPECT_FALSE(QV725_SavePar(9));
        EXPECT_EQ(LastError(), "Save Params: invalid parameters.");
        QV725_CloseDevice();
    }
    // A new simulator on the same EEPROM starts with the saved set.
    SimProcess sim;
    Start(sim, {"--eeprom", eeprom});
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();
    int32_t f = 0, tMin = 0, pMin = 0, tMax = 0, pMax = 0, tA = 0, vA = 0, pwm = 0;
    ASSERT_TRUE(QV725_GetM(2, &f, &tMin, &pMin, &tMax, &pMax, &tA, &vA, &pwm)) << LastError();
    EXPECT_EQ(f, 6);
    EXPECT_EQ(tA, 850);
    EXPECT_EQ(vA, 500);
}

TEST_F(LibraryTest, BusyControllerIsReportedAsBusy) {
    SimProcess sim;
    Start(sim, {"--busy-percent", "100"});
    ASSERT_TRUE(QV725_OpenDevice()) << "identification is never busy: " << LastError();
    int32_t t[6] = {1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]));
    EXPECT_EQ(LastError(), "Get temperature: device busy.");
    EXPECT_FALSE(QV725_SavePar(0));
    EXPECT_EQ(LastError(), "Save Params: device busy.");
}

TEST_F(LibraryTest, SilentControllerIsNotFound) {
    SimProcess sim;
    Start(sim, {"--silent"});
    EXPECT_FALSE(QV725_OpenDevice());
    EXPECT_EQ(LastError(),
              "No controller found: " + sim.LinkPath() + ": did not answer as a controller.");
}

TEST_F(LibraryTest, GarbledRepliesAreRejected) {
    SimProcess sim;
    Start(sim, {"--garble-percent", "100"});
    EXPECT_FALSE(QV725_OpenDevice()) << "a garbled identification does not match";
    EXPECT_EQ(LastError(),
              "No controller found: " + sim.LinkPath() + ": did not answer as a controller.");
}

TEST_F(LibraryTest, StoppedSimulatorLeavesTheDeviceList) {
    SimProcess sim;
    Start(sim);
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();
    ASSERT_TRUE(sim.Signal(SIGTERM));
    ASSERT_EQ(sim.Wait(10000), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(sim.LinkPath())));
    int32_t t[6] = {};
    EXPECT_FALSE(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]));
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    QV725_CloseDevice();
    EXPECT_FALSE(QV725_OpenDevice());
}

TEST_F(LibraryTest, SimulatorsAreTriedInNameOrder) {
    // Both identify themselves; only the busy one fails to read, which tells which one won.
    SimProcess later;
    Start(later, {"--name", "sim1"});
    SimProcess first;
    Start(first, {"--name", "sim0", "--busy-percent", "100"});
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();
    int32_t t[6] = {};
    EXPECT_FALSE(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]));
    EXPECT_EQ(LastError(), "Get temperature: device busy.");
}

TEST_F(LibraryTest, SilentSimulatorIsPassedOver) {
    SimProcess answering;
    Start(answering, {"--name", "sim1"});
    SimProcess silent;
    Start(silent, {"--name", "sim0", "--silent"});
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();
    int32_t t[6] = {};
    EXPECT_TRUE(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5])) << LastError();
}

TEST_F(LibraryTest, LateRepliesAreNeverTakenForAnotherCommandsAnswer) {
    // 40 % of the replies come 0.4 s late, and the device answers in order, so a late reply
    // lands while a later request waits, or before one is sent. Readings of another kind are
    // never taken for this command's: temperatures, fan speeds and PWM values each stay in
    // their own range. (A late reply of the same command cannot be told from the answer: it is
    // a reading of the same kind, at most a few requests old.)
    SimProcess sim;
    Start(sim, {"--late-percent", "40", "--seed", "3"});
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();
    int succeeded = 0;
    int failed = 0;
    auto count = [&](bool ok) {
        (ok ? succeeded : failed) += 1;
        if (!ok) {
            EXPECT_EQ(LastError(), "IO error: device not responding.");
        }
        return ok;
    };
    for (int round = 0; round < 20; ++round) {
        int32_t v[6] = {};
        if (count(QV725_GetT(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]))) {
            for (int i = 0; i < 6; ++i)
                EXPECT_TRUE(v[i] > 150 && v[i] < 800) << "temperature " << v[i];
        }
        if (count(QV725_GetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]))) {
            for (int i = 0; i < 6; ++i)
                EXPECT_TRUE(v[i] >= 0 && v[i] < 3000) << "fan speed " << v[i];
        }
        if (count(QV725_GetPWM(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]))) {
            for (int i = 0; i < 6; ++i)
                EXPECT_TRUE(v[i] >= 77 && v[i] <= 255) << "PWM " << v[i];
        }
    }
    EXPECT_GT(failed, 0) << "no reply came late";
    EXPECT_GT(succeeded, 0);
}

TEST_F(LibraryTest, ShortRepliesAreRefused) {
    SimProcess sim;
    Start(sim, {"--short-percent", "100"});
    ASSERT_TRUE(QV725_OpenDevice()) << "the identification is never cut: " << LastError();
    int32_t v[8] = {};
    EXPECT_FALSE(QV725_GetT(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]));
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_FALSE(QV725_GetM(1, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]));
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_FALSE(QV725_SetPWM(1, 2, 3, 4, 5, 6)) << "a reply without its status byte";
    EXPECT_EQ(LastError(), "IO error: device not responding.");
}

TEST_F(LibraryTest, ATricklingLineHoldsNoCallPastItsDeadline) {
    // A stray byte every 150 ms, and replies that come a minute late: each call gives up at
    // its deadline (0.2 s) instead of waiting on byte after byte. The bound is generous, so
    // that only a deadline that is not kept can fail it.
    SimProcess sim;
    Start(sim, {"--trickle-every", "0.15", "--late-percent", "100", "--late-by", "60"});
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();
    using Clock = std::chrono::steady_clock;
    for (int call = 0; call < 3; ++call) {
        const auto start = Clock::now();
        int32_t t[6] = {};
        EXPECT_FALSE(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]));
        EXPECT_EQ(LastError(), "IO error: device not responding.");
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(2)) << "call " << call;
    }
}

TEST_F(LibraryTest, OpeningOverTricklingDevicesTakesOneDeadlineEach) {
    SimProcess first;
    Start(first, {"--name", "sim0", "--silent", "--trickle-every", "0.15"});
    SimProcess second;
    Start(second, {"--name", "sim1", "--silent", "--trickle-every", "0.15"});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(QV725_OpenDevice());
    EXPECT_EQ(LastError(),
              "No controller found: " + first.LinkPath() + ": did not answer as a controller.")
        << "the first of equally telling reasons";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

TEST_F(LibraryTest, StrayBytesBetweenRepliesDoNoHarm) {
    SimProcess sim;
    Start(sim, {"--trickle-every", "0.02"});
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();
    for (int i = 0; i < 30; ++i) {
        int32_t t[6] = {};
        ASSERT_TRUE(QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]))
            << "call " << i << ": " << LastError();
    }
}

}  // namespace
}  // namespace qv725sim
