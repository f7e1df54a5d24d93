// The version text shown on the Common page and in the About box.
#include <gtest/gtest.h>

#include "Version.h"

namespace {

TEST(Version, IsTheFileVersionOfThisBuild) {
    EXPECT_EQ(GetVersion(), "1.0.0.1");
}

}  // namespace
