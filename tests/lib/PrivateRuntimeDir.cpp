// Points XDG_RUNTIME_DIR at a fresh private folder for the whole test program, so that no
// simulated controller running on this machine is ever found by a test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class PrivateRuntimeDir : public ::testing::Environment {
public:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qv725-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
        // The port where a controller last answered is remembered in the cache folder.
        setenv("XDG_CACHE_HOME", (folder_ + "/cache").c_str(), 1);
        unsetenv("QV725_PORT");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

private:
    std::string folder_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new PrivateRuntimeDir);

}  // namespace
