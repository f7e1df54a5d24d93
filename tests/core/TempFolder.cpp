// Temporary folders and whole-file helpers for the tests.
#include "TempFolder.h"

#include <stdlib.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
#ifdef _WIN32
    // No mkdtemp here: a random name, taken only when the folder did not exist yet.
    std::random_device random;
    for (int attempt = 0; path_.empty(); ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("kelvane-core-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
        } else if (attempt == 100) {
            throw std::runtime_error("cannot create a temporary folder");
        }
    }
#else
    std::string pattern = (fs::temp_directory_path() / "kelvane-core-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
#endif
    // Readable by others, so tests that drop root's privileges can still reach their files.
    fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}
