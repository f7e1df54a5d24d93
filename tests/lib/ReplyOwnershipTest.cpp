// A reply belongs to its request: input waiting on the line goes before every request, and a
// reply of another command (one that came after its own request gave up) is refused, so a late
// reply never becomes the answer of the next request and shifts every later one.
#include "LibraryFixture.h"

namespace {

using Outputs = std::vector<int32_t>;
using Ms = ScriptedBackend::Ms;

const Bytes kTemperatures = Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED");
const Outputs kTemperatureValues = {250, -50, 0, 0, 0, 0};
const Bytes kFanSpeeds = Hex("C0 07 0D 00 B0 04 FF FF 00 00 34 12 01 00 E8 03 60");
const Outputs kFanSpeedValues = {1200, 65535, 0, 0x1234, 1, 1000};
const Bytes kPwm = Hex("C0 0B 07 00 0A 14 1E 28 32 3C 15");
const Outputs kPwmValues = {10, 20, 30, 40, 50, 60};

uint8_t GetT(Outputs& o) {
    o.assign(6, -1);
    return QV725_GetT(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]);
}
uint8_t GetV(Outputs& o) {
    o.assign(6, -1);
    return QV725_GetV(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]);
}
uint8_t GetPwm(Outputs& o) {
    o.assign(6, -1);
    return QV725_GetPWM(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]);
}

TEST_F(LibraryTest, EveryRequestDropsTheWaitingInputFirst) {
    backend.Reply(0, kTemperatures);
    Outputs t;
    ASSERT_EQ(GetT(t), 1);
    EXPECT_EQ(backend.calls(),
              (std::vector<std::string>{"Purge(1)", "Write(4)", "SetTimeouts(200,200)"}));
}

TEST_F(LibraryTest, AReplyWaitingBeforeTheRequestIsNotItsAnswer) {
    // Another temperature reply is on the line before the request goes out.
    const Bytes stale = Hex("C0 06 0D 00 01 00 02 00 03 00 04 00 05 00 06 00 1E");
    backend.device(0).pending.assign(stale.begin(), stale.end());
    backend.Reply(0, kTemperatures);
    Outputs t;
    EXPECT_EQ(GetT(t), 1);
    EXPECT_EQ(t, kTemperatureValues);
}

TEST_F(LibraryTest, AReplyThatComesAfterItsRequestGaveUpAnswersNoLaterRequest) {
    // The temperature reply comes 300 ms after its request, which gave up before.
    backend.ReplyInPieces(0, {{Ms(300), kTemperatures}});
    Outputs t;
    EXPECT_EQ(GetT(t), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    backend.Advance(Ms(500));  // the next requests come later: the late reply waits on the line
    ASSERT_FALSE(backend.device(0).pending.empty());

    backend.Reply(0, kFanSpeeds);
    backend.Reply(0, kPwm);
    Outputs v;
    EXPECT_EQ(GetV(v), 1) << LastError();
    EXPECT_EQ(v, kFanSpeedValues) << "the temperatures were taken for fan speeds";
    Outputs p;
    EXPECT_EQ(GetPwm(p), 1) << LastError();
    EXPECT_EQ(p, kPwmValues) << "every later answer shifted by one";
}

TEST_F(LibraryTest, ALateReplyArrivingWhileTheNextRequestWaitsIsRefused) {
    // The temperature reply comes 210 ms after its request, while the fan speed request that
    // followed is waiting; the device answers that one after it.
    backend.ReplyInPieces(0, {{Ms(210), kTemperatures}});
    backend.ReplyInPieces(0, {{Ms(30), kFanSpeeds}});
    Outputs t;
    EXPECT_EQ(GetT(t), 0);
    Outputs v;
    EXPECT_EQ(GetV(v), 0) << "a temperature reply was taken for fan speeds";
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_EQ(v, Outputs(6, 0)) << "another command's data reached the outputs";

    backend.Advance(Ms(500));  // the fan speed reply, late too, waits on the line
    backend.Reply(0, kPwm);
    Outputs p;
    EXPECT_EQ(GetPwm(p), 1) << LastError();
    EXPECT_EQ(p, kPwmValues);
}

}  // namespace
