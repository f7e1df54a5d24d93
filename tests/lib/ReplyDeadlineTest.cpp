// One deadline per reply: whatever a device sends (a stray byte now and then, a reply slower
// than the line), a command ends within the read timeout plus the wire time of the bytes its
// reply announces, and opening ends within one such deadline per device tried. Time here is the
// scripted transport's own, so the bounds are checked exactly.
#include <ostream>

#include "Device.h"
#include "LibraryFixture.h"
#include "ReplyDeadline.h"

namespace {

using Ms = ScriptedBackend::Ms;
using Us = ScriptedBackend::Us;

// The deadline, from the request on, of a reply that announces `announced` bytes after its
// header (data and CRC), each counted as an escape pair.
double DeadlineMs(size_t announced) {
    const double byteMs = 10.0 * 1000.0 / qv725::BaudRate;
    return qv725::ReplyTimeoutMs +
           static_cast<double>(ReplyDeadline::HeaderBytes + 2 * announced) * byteMs;
}

struct Command {
    const char* name;
    uint8_t (*run)();
};

void PrintTo(const Command& c, std::ostream* os) {
    *os << c.name;
}

const Command commands[] = {
    {"GetInfo", [] { return QV725_GetInfo(nullptr); }},
    {"GetT", [] { return QV725_GetT(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }},
    {"GetV", [] { return QV725_GetV(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }},
    {"GetPWM", [] { return QV725_GetPWM(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }},
    {"GetM",
     [] {
         return QV725_GetM(1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr);
     }},
    {"SetM", [] { return QV725_SetM(1, 2, 300, 77, 600, 255, 700, 500, 128); }},
    {"SetPWM", [] { return QV725_SetPWM(1, 2, 3, 4, 5, 6); }},
    {"SavePar", [] { return QV725_SavePar(1); }},
    {"CallPar", [] { return QV725_CallPar(1); }},
};

class TricklingDeviceTest : public LibraryTest, public ::testing::WithParamInterface<Command> {};

TEST_P(TricklingDeviceTest, AStrayByteEvery150MsHoldsACallNoLongerThanItsDeadline) {
    // No frame ever starts; each stray byte would restart a per-byte timeout.
    backend.Trickle(0, 0x55, Ms(150));
    const auto start = backend.Now();
    EXPECT_EQ(GetParam().run(), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_LE(backend.MsSince(start), DeadlineMs(0));
}

INSTANTIATE_TEST_SUITE_P(Exports, TricklingDeviceTest, ::testing::ValuesIn(commands),
                         [](const auto& info) { return std::string(info.param.name); });

// A GetT reply, each byte `gap` after the one before, the first `first` after the request.
std::vector<ScriptedBackend::Piece> Dribble(Us first, Us gap) {
    const Bytes reply = Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED");
    std::vector<ScriptedBackend::Piece> pieces;
    for (size_t i = 0; i < reply.size(); ++i) {
        pieces.push_back({first + gap * static_cast<long>(i), Bytes{reply[i]}});
    }
    return pieces;
}

TEST_F(LibraryTest, AReplySlowerThanTheLineEndsAtItsDeadline) {
    // A byte every 150 ms: each one well within a read timeout, the whole far beyond.
    backend.ReplyInPieces(0, Dribble(Ms(0), Ms(150)));
    const auto start = backend.Now();
    int32_t t1 = 0;
    EXPECT_EQ(QV725_GetT(&t1, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(LastError(), "IO error: device not responding.");
    EXPECT_LE(backend.MsSince(start), DeadlineMs(14));
}

TEST_F(LibraryTest, AReplyStartingLateAtTheLinesPaceIsTaken) {
    // The first byte just within the read timeout, the rest one byte time (260 us) apart: the
    // deadline allows for the bytes the reply announces.
    backend.ReplyInPieces(0, Dribble(Ms(199), Us(260)));
    int32_t t1 = 0;
    int32_t t2 = 0;
    EXPECT_EQ(QV725_GetT(&t1, &t2, nullptr, nullptr, nullptr, nullptr), 1) << LastError();
    EXPECT_EQ(t1, 250);
    EXPECT_EQ(t2, -50);
}

TEST_F(LibraryTest, NoiseBeforeAReplyIsStillTolerated) {
    // 511 stray bytes at the line's pace, then the reply: all within the read timeout.
    std::vector<ScriptedBackend::Piece> pieces;
    for (int i = 0; i < 511; ++i) {
        pieces.push_back({Us(260) * i, Bytes{0x55}});
    }
    pieces.push_back({Us(260) * 511, Hex("C0 0B 07 00 0A 14 1E 28 32 3C 15")});
    backend.ReplyInPieces(0, pieces);
    int32_t p[6] = {};
    EXPECT_EQ(QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]), 1) << LastError();
    EXPECT_EQ(p[5], 60);
}

TEST(OpenDeadline, EachTricklingCandidateCostsAtMostOneDeadline) {
    constexpr size_t Candidates = 3;
    ScriptedBackend backend(Candidates);
    for (size_t i = 0; i < Candidates; ++i) {
        backend.Trickle(i, 0x55, Ms(150));
    }
    FtdioUseBackends({&backend});
    FtdioUseClock(backend.Time());
    const auto start = backend.Now();
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_LE(backend.MsSince(start), Candidates * DeadlineMs(0));
    for (size_t i = 0; i < Candidates; ++i) {
        EXPECT_EQ(backend.device(i).writes.size(), 1u) << "candidate " << i << " asked once";
    }
    FtdioUseDefaultBackends();
}

}  // namespace
