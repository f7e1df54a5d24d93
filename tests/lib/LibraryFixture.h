// A library instance over a scripted transport, with a controller already opened on device 0;
// reply deadlines run on the transport's own time.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ScriptedBackend.h"
#include "qv725/qv725.h"

class LibraryTest : public ::testing::Test {
protected:
    ScriptedBackend backend{1};

    void SetUp() override {
        FtdioUseBackends({&backend});
        FtdioUseClock(backend.Time());
        backend.Reply(0, Hex("C0 03 0B 51 56 2D 37 32 35 20 76 31 2E 30 C1"));  // "QV-725 v1.0"
        ASSERT_TRUE(QV725_OpenDevice());
        backend.device(0).writes.clear();
        backend.ClearCalls();
    }
    void TearDown() override {
        QV725_CloseDevice();
        FtdioUseDefaultBackends();  // and the steady clock
    }

    static std::string LastError() {
        const char* text = nullptr;
        EXPECT_EQ(QV725_GetLastError(&text), 1);
        return text != nullptr ? text : "(null)";
    }
    // The request frames written since the last check, as hex, and forgets them.
    std::vector<std::string> TakeWrites() {
        std::vector<std::string> frames;
        for (const Bytes& w : backend.device(0).writes)
            frames.push_back(ToHex(w));
        backend.device(0).writes.clear();
        return frames;
    }
};
