// Several threads call every export of the device library at once against a real qv725-sim,
// built with ThreadSanitizer in the tsan preset (and run as an ordinary test elsewhere). Each
// thread owns one channel and checks that every reply belongs to its own request: what it
// writes with QV725_SetM it reads back with QV725_GetM, and what it saves to the EEPROM comes
// back after QV725_CallPar, while the others do the same on their channels in between. Closing
// and opening the controller race the commands too.
//
// Texts handed out by the library (QV725_GetInfo, QV725_GetLastError) live in buffers that the
// next command of any thread overwrites, and the library's lock is not held while the caller
// reads them. So the threads take the pointers freely, but read a text only inside a section
// that keeps the other threads' commands out (the test's own gate); that is the only safe way
// to read them when several threads issue commands.
#include <gtest/gtest.h>
#include <qv725/qv725.h>
#include <stdlib.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "SimProcess.h"

namespace {

constexpr int Channels = 6;

struct ChannelParams {
    int32_t flags, tMin, pwmMin, tMax, pwmMax, tAlarm, vAlarm, pwm;
    bool operator==(const ChannelParams&) const = default;
};

// Values no other thread and no other round uses. Automatic control stays on, so setting the
// PWM outputs leaves the stored PWM of every channel alone.
ChannelParams ParamsFor(int channel, int round) {
    const int32_t flags = 0x02 | (round & 1) | ((round >> 1 & 1) << 2) | ((round >> 2 & 1) << 3);
    return {flags,
            200 + channel * 100 + round,
            (channel * 40 + round) & 0xFF,
            700 + channel * 100 + round,
            (255 - channel * 10 - round) & 0xFF,
            (1500 + channel * 100 + round) & 0xFFFF,
            (300 + channel * 1000 + round) & 0xFFFF,
            (channel * 30 + round * 7) & 0xFF};
}

uint8_t SetParams(int channel, const ChannelParams& p) {
    return QV725_SetM(channel, p.flags, p.tMin, p.pwmMin, p.tMax, p.pwmMax, p.tAlarm, p.vAlarm,
                      p.pwm);
}

uint8_t GetParams(int channel, ChannelParams& p) {
    return QV725_GetM(channel, &p.flags, &p.tMin, &p.pwmMin, &p.tMax, &p.pwmMax, &p.tAlarm,
                      &p.vAlarm, &p.pwm);
}

class LibraryConcurrency : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args) {
        setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
        std::string error;
        ASSERT_TRUE(sim_.Start(QV725_SIM_EXE, args, runtime_.Path().string(), error)) << error;
        ASSERT_NE(QV725_OpenDevice(), 0);
    }
    void TearDown() override { QV725_CloseDevice(); }

    // Runs body(thread index) on `threads` threads at once.
    template <class Body>
    static void RunThreads(int threads, Body body) {
        std::atomic<int> ready{0};
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t) {
            pool.emplace_back([&, t] {
                ready.fetch_add(1);
                while (ready.load() < threads) {
                    std::this_thread::yield();
                }
                body(t);
            });
        }
        for (std::thread& thread : pool) {
            thread.join();
        }
    }

    TempFolder runtime_{TempFolder::OwnerOnly};
    qv725sim::SimProcess sim_;
    // Commands take it shared; reading a text handed out by the library takes it exclusively.
    std::shared_mutex textGate_;
};

TEST_F(LibraryConcurrency, EveryExportAtOnceAndEachReplyMatchesItsRequest) {
    Start({});
    const char* lastErrorBuffer = nullptr;
    QV725_GetLastError(&lastErrorBuffer);
    constexpr int Rounds = 100;
    std::atomic<int> mismatches{0};
    std::atomic<int> failures{0};

    RunThreads(Channels, [&](int channel) {
        auto check = [&](bool ok) { failures += ok ? 0 : 1; };
        ChannelParams saved = ParamsFor(channel, 0);
        for (int round = 0; round < Rounds; ++round) {
            {
                std::shared_lock<std::shared_mutex> commands(textGate_);
                const ChannelParams mine = ParamsFor(channel, round);
                check(SetParams(channel, mine));
                ChannelParams back{};
                check(GetParams(channel, back));
                mismatches += back == mine ? 0 : 1;

                int32_t v[6];
                check(QV725_GetT(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]));
                check(QV725_GetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]));
                check(QV725_GetPWM(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]));
                check(QV725_SetPWM(10 * channel, 20, 30, 40, 50, round));
                const char* info = nullptr;
                check(QV725_GetInfo(&info));
                const char* error = nullptr;
                QV725_GetLastError(&error);
                mismatches += error == lastErrorBuffer ? 0 : 1;  // the pointer, not the text

                if (round % 10 == 5) {
                    // Store this round's values, overwrite them, recall them.
                    check(QV725_SavePar(channel));
                    saved = mine;
                    check(SetParams(channel, ParamsFor(channel, round + 100)));
                    check(QV725_CallPar(channel));
                    check(GetParams(channel, back));
                    mismatches += back == saved ? 0 : 1;
                }
            }
            if (round % 10 == 0) {
                // The texts, read while no other command can overwrite them.
                std::unique_lock<std::shared_mutex> alone(textGate_);
                const char* info = nullptr;
                check(QV725_GetInfo(&info));
                mismatches += std::string(info).rfind("QV-725", 0) == 0 ? 0 : 1;
                const char* error = nullptr;
                QV725_GetLastError(&error);
                mismatches += std::string(error).empty() ? 0 : 1;
            }
        }
    });

    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(mismatches.load(), 0);
    // Every channel holds what its thread wrote last.
    for (int channel = 0; channel < Channels; ++channel) {
        ChannelParams back{};
        ASSERT_NE(GetParams(channel, back), 0);
        EXPECT_EQ(back, ParamsFor(channel, Rounds - 1)) << "channel " << channel;
    }
}

TEST_F(LibraryConcurrency, FailuresOfOneThreadReachItOnlyWhenItReadsAlone) {
    // A controller that answers every third request or so with "device busy": each thread
    // repeats a command until it goes through. The last-error text belongs to the process, not
    // to a thread, so a thread reads the text of its own failure only when it issues the
    // command and reads the text with the other threads held off.
    Start({"--busy-percent", "30", "--seed", "7"});
    constexpr int Rounds = 50;
    constexpr int Attempts = 60;
    std::atomic<int> mismatches{0};
    std::atomic<int> busy{0};
    std::atomic<int> wrongTexts{0};

    RunThreads(Channels, [&](int channel) {
        auto untilDone = [&](auto command) {
            for (int attempt = 0; attempt < Attempts; ++attempt) {
                if (command()) {
                    return true;
                }
                ++busy;
            }
            return false;
        };
        for (int round = 0; round < Rounds; ++round) {
            {
                std::shared_lock<std::shared_mutex> commands(textGate_);
                const ChannelParams mine = ParamsFor(channel, round);
                ChannelParams back{};
                mismatches += untilDone([&] { return SetParams(channel, mine); }) ? 0 : 1;
                mismatches += untilDone([&] { return GetParams(channel, back); }) ? 0 : 1;
                mismatches += back == mine ? 0 : 1;
            }
            std::unique_lock<std::shared_mutex> alone(textGate_);
            int32_t t[6];
            const uint8_t ok = QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]);
            const char* error = nullptr;
            QV725_GetLastError(&error);
            const std::string expected = ok ? "" : "Get temperature: device busy.";
            wrongTexts += expected == error ? 0 : 1;
        }
    });

    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(wrongTexts.load(), 0);
    EXPECT_GT(busy.load(), 0) << "the controller never said it was busy";
}

TEST_F(LibraryConcurrency, CloseAndOpenRacingCommandsNeverMeetAHalfOpenDevice) {
    // One thread closes and opens the controller again and again while the others read their
    // channels. Each command runs either whole on the open controller or while none is open
    // (a success with zeros, as documented): it never fails, and what it reads is the channel's
    // parameter set or zeros, never the bytes of a device being opened or closed.
    Start({});
    for (int channel = 0; channel < Channels; ++channel) {
        ASSERT_NE(SetParams(channel, ParamsFor(channel, 3)), 0);
    }
    constexpr int Cycles = 60;
    std::atomic<bool> done{false};
    std::atomic<int> opened{0};
    std::atomic<int> failures{0};
    std::atomic<int> garbage{0};
    std::atomic<int> readsWhileOpen{0};
    std::atomic<int> readsWhileClosed{0};

    RunThreads(Channels + 1, [&](int t) {
        if (t == Channels) {
            for (int cycle = 0; cycle < Cycles; ++cycle) {
                QV725_CloseDevice();
                opened += QV725_OpenDevice() != 0 ? 1 : 0;
            }
            done = true;
            return;
        }
        const ChannelParams mine = ParamsFor(t, 3);
        const ChannelParams none{};
        while (!done) {
            ChannelParams back{};
            if (!GetParams(t, back)) {
                ++failures;
            } else if (back == mine) {
                ++readsWhileOpen;
            } else if (back == none) {
                ++readsWhileClosed;
            } else {
                ++garbage;
            }
            int32_t v[6];
            failures += QV725_GetT(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 0 ? 0 : 1;
        }
    });

    EXPECT_EQ(opened.load(), Cycles);
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(garbage.load(), 0);
    EXPECT_GT(readsWhileOpen.load(), 0) << "no command ran while the controller was open";
    std::printf("%d reads on the open controller, %d while none was open\n", readsWhileOpen.load(),
                readsWhileClosed.load());
}

}  // namespace
