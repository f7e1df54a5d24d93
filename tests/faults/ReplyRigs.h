// Two ways of putting a hostile controller behind the library: the scripted transport (the reply
// bytes handed over in-process, so every case is cheap and the bytes left unread can be counted)
// and a real pseudo-terminal that a peer thread answers through the simulator backend. Each
// case starts from a freshly opened controller with nothing stale on the line.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "PtyPeer.h"
#include "ScopedLineup.h"
#include "ScratchFolder.h"
#include "ScriptedBackend.h"
#include "backends/SimPorts.h"
#include "qv725/qv725.h"

// The identification reply of a controller.
inline Bytes ControllerIdentification() {
    return IdentificationFrame("QV-725 v1.0");
}

class ScriptedRig {
public:
    static constexpr const char* Name = "Scripted";
    // Cheap enough to try all 255 other values of every byte.
    static constexpr bool Exhaustive = true;

    ScriptedRig() {
        backend_.Reply(0, ControllerIdentification());
        opened_ = QV725_OpenDevice() != 0;
    }
    bool Opened() const { return opened_; }

    // `reply` answers the next request, with nothing else on the line.
    void Prepare(const Bytes& reply) {
        backend_.device(0).pending.clear();
        backend_.device(0).replies.clear();
        backend_.device(0).writes.clear();
        backend_.Reply(0, reply);
    }
    // `head` is on the line before the request goes out; `tail` answers it.
    void PrepareSplit(const Bytes& head, const Bytes& tail) {
        Prepare(tail);
        backend_.device(0).pending.assign(head.begin(), head.end());
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

    PtyRig() {
        const char* previous = getenv("XDG_RUNTIME_DIR");
        previousRuntime_ = previous != nullptr ? previous : "";
        setenv("XDG_RUNTIME_DIR", folder_.path().c_str(), 1);
        const auto sims = folder_.Make("qv725");
        opened_ = symlink(peer_.SlavePath().c_str(), (sims / "sim0").c_str()) == 0;
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
    void PrepareSplit(const Bytes& head, const Bytes& tail) {
        Open();
        peer_.Stale(head);
        peer_.Answer(tail);
    }
    uint8_t Reopen(const Bytes& reply) {
        QV725_CloseDevice();
        peer_.Answer(reply);
        return QV725_OpenDevice();
    }

private:
    // Closing and opening again purges whatever an earlier case left on the line.
    void Open() {
        QV725_CloseDevice();
        peer_.Answer(ControllerIdentification());
        EXPECT_NE(QV725_OpenDevice(), 0) << "the controller on the pseudo-terminal was not found";
    }

    ScratchFolder folder_;
    std::string previousRuntime_;
    PtyPeer peer_;
    SimPortsBackend backend_;
    ScopedLineup lineup_{{&backend_}};
    bool opened_ = false;
};
