// Injected faults: busy and silent replies, garbled replies that a receiver must reject, late
// and short replies, the unplug schedule, and reproducibility with a seed.
#include <gtest/gtest.h>

#include <algorithm>

#include "Bytes.h"
#include "Responder.h"
#include "WakeFrame.h"

namespace qv725sim {
namespace {

std::vector<uint8_t> RequestFrame(uint8_t command, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> frame(wake::SendBufferSize);
    frame.resize(
        WakeBuildFrame(0, command, static_cast<uint8_t>(data.size()), data.data(), frame.data()));
    return frame;
}

bool Parses(const std::vector<uint8_t>& frame) {
    size_t next = 0;
    uint8_t address = 0;
    uint8_t command = 0;
    uint8_t count = 0;
    uint8_t data[255];
    return WakeReadFrame(
        [&](uint8_t& b) {
            if (next >= frame.size()) {
                return false;
            }
            b = frame[next++];
            return true;
        },
        address, command, data, sizeof(data), count);
}

struct Device {
    explicit Device(const FaultOptions& options)
        : model(ModelOptions{}),
          eeprom(""),
          faults(options),
          protocol(model, eeprom),
          responder(protocol, faults) {}
    ControllerModel model;
    Eeprom eeprom;
    FaultPolicy faults;
    Protocol protocol;
    Responder responder;
};

TEST(FaultTest, BusyAnswersStatusTwoWithoutDoingAnything) {
    FaultOptions options;
    options.busyPercent = 100;
    Device device(options);
    const std::vector<uint8_t> setM = Bytes("02 00 00 00 00 00 00 00 00 00 00 00 00");
    const std::vector<uint8_t> reply =
        *device.responder.RespondToBytes(RequestFrame(CmdSetM, setM));
    EXPECT_EQ(reply, RequestFrame(CmdSetM, {StatusBusy}));
    EXPECT_EQ(device.model.Params(2), FactoryChannelParams());
    EXPECT_EQ(*device.responder.RespondToBytes(RequestFrame(CmdGetT, {})),
              RequestFrame(CmdGetT, {StatusBusy}));
    // Echo and identification carry no status byte and are answered as usual, so the device
    // can still be found.
    EXPECT_EQ(*device.responder.RespondToBytes(RequestFrame(CmdEcho, {1, 2})),
              RequestFrame(CmdEcho, {1, 2}));
    const auto info = *device.responder.RespondToBytes(RequestFrame(CmdInfo, {}));
    EXPECT_EQ(std::string(info.begin() + 3, info.begin() + 9), "QV-725");
}

TEST(FaultTest, BusyPercentIsRoughlyTheShareOfRequests) {
    FaultOptions options;
    options.busyPercent = 30;
    options.seed = 7;
    Device device(options);
    int busy = 0;
    const int total = 2000;
    for (int i = 0; i < total; ++i) {
        const auto reply = *device.responder.RespondToBytes(RequestFrame(CmdGetV, {}));
        busy += reply == RequestFrame(CmdGetV, {StatusBusy}) ? 1 : 0;
    }
    EXPECT_NEAR(busy, total * 30 / 100, total * 5 / 100);
}

TEST(FaultTest, SilentNeverAnswers) {
    FaultOptions options;
    options.silent = true;
    Device device(options);
    for (const int command : {int{CmdInfo}, int{CmdGetT}, int{CmdEcho}, 99}) {
        const auto reply =
            device.responder.RespondToBytes(RequestFrame(static_cast<uint8_t>(command), {}));
        ASSERT_TRUE(reply.has_value());
        EXPECT_TRUE(reply->empty());
    }
}

TEST(FaultTest, GarbledRepliesAreAlwaysRejectedAndKeepTheirLength) {
    // Replies of every shape, including ones full of bytes that need stuffing.
    const std::vector<std::pair<uint8_t, std::vector<uint8_t>>> requests = {
        {CmdGetT, {}},
        {CmdGetV, {}},
        {CmdGetPWM, {}},
        {CmdInfo, {}},
        {CmdGetM, {1}},
        {CmdEcho, {}},
        {CmdEcho, {0xC0}},
        {CmdEcho, std::vector<uint8_t>(40, 0xDB)},
        {CmdEcho, Bytes("C0 DB C0 DB 11 13")},
        {55, {}}};
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        FaultOptions clean;
        FaultOptions garbling;
        garbling.garblePercent = 100;
        garbling.seed = seed;
        Device reference(clean);
        Device device(garbling);
        for (const auto& [command, data] : requests) {
            const auto good = *reference.responder.RespondToBytes(RequestFrame(command, data));
            const auto bad = *device.responder.RespondToBytes(RequestFrame(command, data));
            EXPECT_NE(bad, good);
            EXPECT_EQ(bad.size(), good.size());
            EXPECT_EQ(bad[0], wake::FEND);
            EXPECT_FALSE(Parses(bad)) << "seed " << seed << " command " << int(command);
        }
    }
}

TEST(FaultTest, ShortRepliesSaySuccessWithHalfTheirData) {
    FaultOptions options;
    options.shortPercent = 100;
    Device device(options);
    Device reference(FaultOptions{});
    const struct {
        uint8_t command;
        std::vector<uint8_t> data;
        size_t length;
    } cases[] = {
        {CmdGetT, {}, 6},
        {CmdGetV, {}, 6},
        {CmdGetPWM, {}, 3},
        {CmdGetM, {2}, 6},
        {CmdSetPWM, {1, 2, 3, 4, 5, 6}, 0},
        {CmdCallPar, {1}, 0},
    };
    for (const auto& c : cases) {
        const auto good = *reference.responder.RespondToBytes(RequestFrame(c.command, c.data));
        const auto cut = *device.responder.RespondToBytes(RequestFrame(c.command, c.data));
        ASSERT_TRUE(Parses(cut)) << int(c.command);
        EXPECT_EQ(cut[1], c.command);
        EXPECT_EQ(cut[2], c.length) << int(c.command);
        // What is left is the start of the good reply.
        EXPECT_TRUE(std::equal(cut.begin() + 3, cut.begin() + 3 + static_cast<long>(c.length),
                               good.begin() + 3))
            << int(c.command);
    }
    // Refusals, the identification and echoes keep their length.
    EXPECT_EQ(*device.responder.RespondToBytes(RequestFrame(CmdGetM, {9})),
              RequestFrame(CmdGetM, {StatusInvalidParameters}));
    const auto info = *device.responder.RespondToBytes(RequestFrame(CmdInfo, {}));
    EXPECT_EQ(info, *reference.responder.RespondToBytes(RequestFrame(CmdInfo, {})));
    EXPECT_EQ(*device.responder.RespondToBytes(RequestFrame(CmdEcho, {1, 2})),
              RequestFrame(CmdEcho, {1, 2}));
}

TEST(FaultTest, LateRepliesAreOnlyThoseWithAStatusByte) {
    FaultOptions options;
    options.latePercent = 100;
    FaultPolicy policy(options);
    EXPECT_TRUE(policy.TakeLate(CmdGetT));
    EXPECT_TRUE(policy.TakeLate(CmdSetM));
    EXPECT_FALSE(policy.TakeLate(CmdInfo)) << "the device can still be found";
    EXPECT_FALSE(policy.TakeLate(CmdEcho));
    EXPECT_FALSE(FaultPolicy().TakeLate(CmdGetT)) << "without the option nothing is late";
}

TEST(FaultTest, GarbleNeedsAByteOutsideEscapes) {
    FaultPolicy policy;
    std::vector<uint8_t> onlyEscapes = Bytes("C0 02 01 DB DC");
    EXPECT_FALSE(policy.Garble(onlyEscapes));
    EXPECT_EQ(onlyEscapes, Bytes("C0 02 01 DB DC"));
}

TEST(FaultTest, UnplugScheduleAlternates) {
    FaultOptions options;
    options.unplugEvery = 5;
    options.unplugFor = 2;
    const FaultPolicy policy(options);
    const struct {
        double t;
        bool plugged;
    } cases[] = {{0, true},   {4.99, true}, {5.0, false},  {6.99, false},
                 {7.0, true}, {11.9, true}, {12.1, false}, {14.5, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(policy.PluggedAt(c.t), c.plugged) << c.t << " s";
    }
    EXPECT_TRUE(FaultPolicy().PluggedAt(1e6)) << "without the option it stays plugged";
}

TEST(FaultTest, SameSeedSameFaults) {
    FaultOptions options;
    options.busyPercent = 50;
    options.garblePercent = 50;
    options.shortPercent = 50;
    options.seed = 99;
    Device a(options);
    Device b(options);
    for (int i = 0; i < 100; ++i) {
        const auto request = RequestFrame(CmdGetM, {static_cast<uint8_t>(i % 6)});
        ASSERT_EQ(*a.responder.RespondToBytes(request), *b.responder.RespondToBytes(request));
    }
}

}  // namespace
}  // namespace qv725sim
