// The D2XX backend where no usable driver library can be loaded: no devices and no error.
#include <gtest/gtest.h>

#include "backends/D2xx.h"
#include "backends/DynamicLibrary.h"

namespace {

void ExpectAbsent(D2xxBackend& d2xx) {
    uint32_t count = 99;
    EXPECT_EQ(d2xx.CountDevices(count), 0u) << "a missing driver is not an error";
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(d2xx.Available());
    FtdioHandle handle = 0;
    EXPECT_NE(d2xx.Open(0, handle), 0u);
    EXPECT_EQ(handle, 0u);
}

TEST(D2xxAbsent, NoLibraryOnTheSearchPath) {
    if (DynamicLibrary installed; installed.Load(D2xxBackend::DefaultLibraryName())) {
        GTEST_SKIP() << "a D2XX driver is installed on this machine";
    }
    D2xxBackend d2xx;
    ExpectAbsent(d2xx);
}

TEST(D2xxAbsent, UnknownLibraryName) {
    D2xxBackend d2xx("libftd2xx-not-installed.so");
    ExpectAbsent(d2xx);
}

TEST(D2xxAbsent, LibraryLackingOneFunctionCountsAsAbsent) {
    // A stand-in driver built without FT_Purge: every function is resolved up front, so the
    // backend never starts on a device it could not purge.
    D2xxBackend d2xx(KELVANE_INCOMPLETE_FTDI);
    ExpectAbsent(d2xx);
}

}  // namespace
