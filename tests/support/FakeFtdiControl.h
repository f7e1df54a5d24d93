// The tests' handle on the stand-in D2XX driver: loaded by its bare name through the library
// search path, exactly as the D2XX backend loads it, so both share one instance.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ScriptedBackend.h"
#include "backends/D2xx.h"
#include "backends/DynamicLibrary.h"

class FakeFtdiControl {
public:
    FakeFtdiControl() {
        if (!library_.Load(D2xxBackend::DefaultLibraryName())) {
            ADD_FAILURE() << "stand-in driver not on the library path";
            return;
        }
        Bind(reset, "FakeFtdi_Reset");
        Bind(queueReply, "FakeFtdi_QueueReply");
        Bind(inject, "FakeFtdi_Inject");
        Bind(failCall, "FakeFtdi_FailCall");
        Bind(limitWrite, "FakeFtdi_LimitWrite");
        Bind(callLog, "FakeFtdi_CallLog");
        Bind(clearLog, "FakeFtdi_ClearLog");
        Bind(isOpen, "FakeFtdi_IsOpen");
    }
    FakeFtdiControl(const FakeFtdiControl&) = delete;
    FakeFtdiControl& operator=(const FakeFtdiControl&) = delete;

    bool Loaded() const { return library_.Loaded() && isOpen != nullptr; }
    void Reply(uint32_t device, const Bytes& bytes) {
        queueReply(device, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    void Inject(uint32_t device, const Bytes& bytes) {
        inject(device, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    std::string Log() { return callLog(); }

    void (*reset)(uint32_t) = nullptr;
    void (*queueReply)(uint32_t, const uint8_t*, uint32_t) = nullptr;
    void (*inject)(uint32_t, const uint8_t*, uint32_t) = nullptr;
    void (*failCall)(const char*, uint32_t) = nullptr;
    void (*limitWrite)(uint32_t) = nullptr;
    const char* (*callLog)() = nullptr;
    void (*clearLog)() = nullptr;
    int (*isOpen)(uint32_t) = nullptr;

private:
    template <class Fn>
    void Bind(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(library_.Symbol(name));
        if (fn == nullptr)
            ADD_FAILURE() << "stand-in driver lacks " << name;
    }

    DynamicLibrary library_;
};
