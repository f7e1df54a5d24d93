// Temporary folders for the tests.
#include "TempFolder.h"

#include <stdlib.h>

#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder(Access access) {
#ifdef _WIN32
    // No mkdtemp here: a random name, taken only when the folder did not exist yet.
    std::random_device random;
    for (int attempt = 0; path_.empty(); ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("kelvane-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
        } else if (attempt == 100) {
            throw std::runtime_error("cannot create a temporary folder");
        }
    }
#else
    std::string pattern = (fs::temp_directory_path() / "kelvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder from " + pattern);
    }
    path_ = pattern;
#endif
    if (access == ReadableByAll) {
        fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
    } else {
        fs::permissions(path_, fs::perms::owner_all);
    }
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

fs::path TempFolder::Make(const std::string& sub) const {
    fs::create_directories(path_ / sub);
    return path_ / sub;
}
