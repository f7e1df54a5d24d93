// Two ways of putting a hostile controller behind the library: the scripted transport (the reply
// bytes handed over in-process, so every case is cheap and the bytes left unread can be counted,
// on the transport's own time) and a real pseudo-terminal that a peer thread answers through the
// simulator backend, in real time. Each case starts from a freshly opened controller with
// nothing stale on the line.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>

#include "FakeSimLink.h"
#include "PtyPeer.h"
#include "ScopedLineup.h"
#include "TempFolder.h"
#include "ScriptedBackend.h"
#include "backends/SimPorts.h"
#include "qv725/qv725.h"

// The identification reply of a controller.
inline Bytes ControllerIdentification() {
    return IdentificationFrame("QV-725 v1.0");
}

using RigMs = std::chrono::milliseconds;

class ScriptedRig {
public:
    static constexpr const char* Name = "Scripted";
    // Cheap enough to try all 255 other values of every byte.
    static constexpr bool Exhaustive = true;
    // How far past a reply's deadline a call may end: time here is the transport's own, which
    // passes only while the library waits.
    static constexpr double DeadlineSlackMs = 0;

    ScriptedRig() {
        FtdioUseClock(backend_.Time());
        backend_.Reply(0, ControllerIdentification());
        opened_ = QV725_OpenDevice() != 0;
    }
    ~ScriptedRig() { FtdioUseClock({}); }
    bool Opened() const { return opened_; }

    // `reply` answers the next request, with nothing else on the line.
    void Prepare(const Bytes& reply) { PrepareInPieces({{RigMs(0), reply}}); }
    // The next request is answered with `pieces`, each `after` the request.
    void PrepareInPieces(const std::vector<std::pair<RigMs, Bytes>>& pieces) {
        ScriptedBackend::Device& d = backend_.device(0);
        d.pending.clear();
        d.due.clear();
        d.replies.clear();
        d.writes.clear();
        d.trickleEvery = RigMs(0);
        std::vector<ScriptedBackend::Piece> scripted;
        for (const auto& [after, bytes] : pieces) {
            scripted.push_back({after, bytes});
        }
        backend_.ReplyInPieces(0, scripted);
    }
    // `head` answers the next request at once, `tail` follows 20 ms later.
    void PrepareSplit(const Bytes& head, const Bytes& tail) {
        PrepareInPieces({{RigMs(0), head}, {RigMs(20), tail}});
    }
    // The next request is answered as queued; what comes late meanwhile waits on the line.
    void Queue(const Bytes& reply) { backend_.Reply(0, reply); }
    // Lets the late replies reach the line before the next request goes out.
    void AwaitLateReplies() { backend_.Advance(RigMs(1000)); }
    // The device puts `byte` on the line every `every`.
    void Trickle(uint8_t byte, RigMs every) { backend_.Trickle(0, byte, every); }
    // The rig's time, and the milliseconds spent since a time of it.
    std::chrono::steady_clock::time_point Now() const { return backend_.Now(); }
    double MsSince(std::chrono::steady_clock::time_point since) const {
        return backend_.MsSince(since);
    }
    // Bytes of the reply that the library left unread.
    size_t Unread() { return backend_.device(0).pending.size(); }
    // The last request frame the library wrote.
    Bytes LastRequest() {
        const auto& writes = backend_.device(0).writes;
        return writes.empty() ? Bytes{} : writes.back();
    }
    // Opens again from scratch, answering the identification request with `reply`.
    uint8_t Reopen(const Bytes& reply) {
        QV725_CloseDevice();
        Prepare(reply);
        return QV725_OpenDevice();
    }

private:
    ScriptedBackend backend_{1};
    ScopedLineup lineup_{{&backend_}};
    bool opened_ = false;
};

class PtyRig {
public:
    static constexpr const char* Name = "Pty";
    // A case whose reply leaves the library waiting costs a whole read timeout here.
    static constexpr bool Exhaustive = false;
    // Real time: a call ends at its deadline, give or take how soon this machine gets round to
    // noticing. Generous, so that only a deadline that is not kept can fail the bound.
    static constexpr double DeadlineSlackMs = 2000;

    PtyRig() {
        const char* previous = getenv("XDG_RUNTIME_DIR");
        previousRuntime_ = previous != nullptr ? previous : "";
        setenv("XDG_RUNTIME_DIR", folder_.Path().c_str(), 1);
        link_ = std::make_unique<FakeSimLink>(folder_.Path() / "qv725", "sim0", peer_.SlavePath());
        opened_ = true;
    }
    ~PtyRig() {
        QV725_CloseDevice();
        setenv("XDG_RUNTIME_DIR", previousRuntime_.c_str(), 1);
    }
    bool Opened() const { return opened_; }

    void Prepare(const Bytes& reply) {
        Open();
        peer_.Answer(reply);
    }
    void PrepareInPieces(const std::vector<std::pair<RigMs, Bytes>>& pieces) {
        Open();
        std::vector<PtyPeer::Piece> answer;
        for (const auto& [after, bytes] : pieces) {
            answer.push_back({after, bytes});
        }
        peer_.AnswerInPieces(answer);
    }
    void PrepareSplit(const Bytes& head, const Bytes& tail) {
        PrepareInPieces({{RigMs(0), head}, {RigMs(20), tail}});
    }
    void Queue(const Bytes& reply) { peer_.Answer(reply); }
    void AwaitLateReplies() { peer_.AwaitAnswered(); }
    void Trickle(uint8_t byte, RigMs every) { peer_.Trickle(byte, every); }
    std::chrono::steady_clock::time_point Now() const { return std::chrono::steady_clock::now(); }
    double MsSince(std::chrono::steady_clock::time_point since) const {
        return std::chrono::duration<double, std::milli>(Now() - since).count();
    }
    uint8_t Reopen(const Bytes& reply) {
        QV725_CloseDevice();
        peer_.Answer(reply);
        return QV725_OpenDevice();
    }

private:
    // Closing and opening again purges whatever an earlier case left on the line.
    void Open() {
        peer_.StopTrickle();
        QV725_CloseDevice();
        peer_.Answer(ControllerIdentification());
        EXPECT_NE(QV725_OpenDevice(), 0) << "the controller on the pseudo-terminal was not found";
    }

    TempFolder folder_{TempFolder::OwnerOnly};
    std::string previousRuntime_;
    PtyPeer peer_;
    std::unique_ptr<FakeSimLink> link_;
    SimPortsBackend backend_;
    ScopedLineup lineup_{{&backend_}};
    bool opened_ = false;
};
