// The device command layer: wrappers over the library with no device open, and the exception
// raised from a last-error text.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "Commands.h"

namespace {

// A stand-in for the library's last-error buffer.
char fakeErrorText[64];
const char* FakeLastError() {
    return fakeErrorText;
}
const char* NoLastError() {
    return nullptr;
}

TEST(Commands, EveryWrapperSucceedsWithZerosWithoutDevice) {
    std::array<int32_t, 8> out;
    out.fill(77);
    EXPECT_NO_THROW(CmdGetT(&out[0], &out[1], &out[2], &out[3], &out[4], &out[5]));
    EXPECT_EQ(out, (std::array<int32_t, 8>{0, 0, 0, 0, 0, 0, 77, 77}));
    out.fill(77);
    EXPECT_NO_THROW(CmdGetV(&out[0], &out[1], &out[2], &out[3], &out[4], &out[5]));
    EXPECT_EQ(out, (std::array<int32_t, 8>{0, 0, 0, 0, 0, 0, 77, 77}));
    out.fill(77);
    EXPECT_NO_THROW(CmdGetPWM(&out[0], &out[1], &out[2], &out[3], &out[4], &out[5]));
    EXPECT_EQ(out, (std::array<int32_t, 8>{0, 0, 0, 0, 0, 0, 77, 77}));
    out.fill(77);
    EXPECT_NO_THROW(
        CmdGetM(2, &out[0], &out[1], &out[2], &out[3], &out[4], &out[5], &out[6], &out[7]));
    EXPECT_EQ(out, (std::array<int32_t, 8>{}));
    EXPECT_NO_THROW(CmdSetM(2, 6, 300, 77, 600, 255, 700, 500, 128));
    EXPECT_NO_THROW(CmdSetPWM(1, 2, 3, 4, 5, 6));
    EXPECT_NO_THROW(CmdSavePar(0));
    EXPECT_NO_THROW(CmdCallPar(5));
}

TEST(Commands, RaisedExceptionCarriesTheTextExactly) {
    std::strcpy(fakeErrorText, "Get temperature: device busy.");
    try {
        RaiseLastErrorFrom(&FakeLastError);
    } catch (const EHardwareException& e) {
        std::strcpy(fakeErrorText, "overwritten by the next request");
        EXPECT_STREQ(e.what(), "Get temperature: device busy.");  // a copy, not the buffer
        EXPECT_EQ(e.HelpContext(), 0);
        const Exception& base = e;
        EXPECT_EQ(base.Message(), "Get temperature: device busy.");
    }
}

TEST(Commands, MissingTextGivesAnEmptyMessage) {
    EXPECT_THROW(
        {
            try {
                RaiseLastErrorFrom(&NoLastError);
            } catch (const EHardwareException& e) {
                EXPECT_STREQ(e.what(), "");
                throw;
            }
        },
        EHardwareException);
}

TEST(Commands, LibraryLastErrorIsRaisedAsIs) {
    // Without a device the library's last-error text is empty; the wrapper adds nothing to it.
    int32_t t[6];
    CmdGetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]);
    try {
        CmdRaiseLastError();
    } catch (const std::exception& e) {
        EXPECT_NE(dynamic_cast<const EHardwareException*>(&e), nullptr);
        EXPECT_STREQ(e.what(), "");
    }
}

// Which failures are sent again at once: statuses always (the controller answered), the library's
// "IO error" only when it came before the read timeout could have run out (a garbled reply).
TEST(Commands, BriefLineErrorsAreTheOnesSentAgain) {
    struct Case {
        const char* text;
        int64_t elapsedMs;
        bool brief;
    };
    const Case cases[] = {
        {"Get temperature: device busy.", 3, true},
        {"Get temperature: device busy.", 450, true},
        {"Set channel mode: invalid packet.", 4, true},
        {"IO error: device not responding.", 5, true},
        {"IO error: device not responding.", kTimeoutFloorMs - 1, true},
        {"IO error: device not responding.", kTimeoutFloorMs, false},
        {"IO error: device not responding.", 200, false},
        {"IO error: device not responding.", 600, false},
        {"Set channel mode: invalid parameters.", 3, false},
        {"Get PWM: device not ready.", 3, false},
        {"Get fan RPM: unknown.", 3, false},
        {"System error: unknown.", 3, false},
        {"", 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsBriefLineError(c.text, c.elapsedMs), c.brief)
            << "'" << c.text << "' after " << c.elapsedMs << " ms";
    }
    // A timeout is told by its length, which a platform timer may cut a tick short.
    EXPECT_LT(kTimeoutFloorMs, 200);
}

}  // namespace
