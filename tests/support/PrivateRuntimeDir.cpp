// Points XDG_RUNTIME_DIR at a fresh private folder for the whole test program, so that no
// simulated controller running on this machine is ever found by a test. Listed among a test
// program's own sources (not taken from the support library), since nothing calls into it: it
// registers itself with GoogleTest when the program starts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "TempFolder.h"

namespace {

class PrivateRuntimeDir : public ::testing::Environment {
public:
    void SetUp() override {
        folder_ = std::make_unique<TempFolder>(TempFolder::OwnerOnly);
        const std::string path = folder_->Path().string();
        setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
        // The port where a controller last answered is remembered in the cache folder.
        setenv("XDG_CACHE_HOME", (path + "/cache").c_str(), 1);
        unsetenv("QV725_PORT");
    }
    void TearDown() override { folder_.reset(); }

private:
    std::unique_ptr<TempFolder> folder_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new PrivateRuntimeDir);

}  // namespace
