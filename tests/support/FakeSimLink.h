// A link published the way a running simulator publishes it: in the simulator folder (made
// private, mode 0700), beside its lock file, which it holds until released.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class FakeSimLink {
public:
    FakeSimLink(const std::filesystem::path& folder, const std::string& name,
                const std::string& target) {
        std::filesystem::create_directories(folder);
        chmod(folder.c_str(), 0700);
        EXPECT_EQ(symlink(target.c_str(), (folder / name).c_str()), 0);
        lock_ = open((folder / (name + ".lock")).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        EXPECT_EQ(fcntl(lock_, F_OFD_SETLK, &lock), 0);
    }
    ~FakeSimLink() { Release(); }
    FakeSimLink(const FakeSimLink&) = delete;
    FakeSimLink& operator=(const FakeSimLink&) = delete;

    // The simulator ends without removing its link (killed): the lock goes, the link stays.
    void Release() {
        if (lock_ >= 0) {
            close(lock_);
            lock_ = -1;
        }
    }

private:
    int lock_ = -1;
};
