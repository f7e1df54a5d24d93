// Folder, lock and link of a running simulator.
#include "SimLink.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qv725sim {

namespace {

std::string Errno(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// A write lock on the whole file, as an open-file-description lock where the system has them,
// so that a reader in this very process (a test) sees it too.
bool HoldRecordLock(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
#else
    return ::fcntl(fd, F_SETLK, &lock) == 0;
#endif
}

}  // namespace

bool EnsurePrivateFolder(const std::string& folder, std::string& error) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = Errno("cannot create " + folder);
        return false;
    }
    // Checked through a descriptor of the folder itself, never through a link: a folder that
    // someone else made first (under /tmp anyone can) or a link in its place is refused.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = Errno("cannot open " + folder + " (it must be a folder, not a link)");
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        error = folder + " is not a directory of this user; refusing to publish there";
        return false;
    }
    // Nobody else may plant links where the library looks for controllers, and the library
    // ignores the folder unless its mode is exactly 0700.
    if ((st.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0) {
        ::close(fd);
        error = Errno("cannot make " + folder + " private");
        return false;
    }
    ::close(fd);
    return true;
}

bool IsValidSimName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

SimLink::SimLink(std::string folder, std::string name)
    : folder_(std::move(folder)),
      linkPath_(folder_ + "/" + name),
      lockPath_(folder_ + "/" + name + ".lock") {}

SimLink::~SimLink() {
    Withdraw();
    if (lockFd_ >= 0) {
        // Unlink while still holding the lock: a simulator that opened the old file afterwards
        // notices that it locked a file no longer in the folder and tries again.
        ::unlink(lockPath_.c_str());
        ::close(lockFd_);
    }
}

bool SimLink::Claim(bool& ownedElsewhere, std::string& error) {
    ownedElsewhere = false;
    for (;;) {
        const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            error = Errno("cannot create " + lockPath_);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int saved = errno;
            ::close(fd);
            if (saved == EWOULDBLOCK) {
                ownedElsewhere = true;
                return false;
            }
            errno = saved;
            error = Errno("cannot lock " + lockPath_);
            return false;
        }
        // The file we locked must still be the one in the folder (see the destructor).
        struct stat locked {};
        struct stat current {};
        if (::fstat(fd, &locked) == 0 && ::stat(lockPath_.c_str(), &current) == 0 &&
            locked.st_dev == current.st_dev && locked.st_ino == current.st_ino) {
            // The library asks for this record lock (it never takes one) to tell a live link
            // from one a killed simulator left behind; flock above keeps simulators apart.
            if (!HoldRecordLock(fd)) {
                error = Errno("cannot lock " + lockPath_);
                ::close(fd);
                return false;
            }
            lockFd_ = fd;
            return true;
        }
        ::close(fd);
    }
}

bool SimLink::Publish(const std::string& target, std::string& error) {
    // A fresh link under a temporary name, renamed over the old one: a reader sees either the
    // old link or the new one, never none and never a half-made one.
    const std::string temp = folder_ + "/.new-link." + std::to_string(::getpid());
    ::unlink(temp.c_str());
    if (::symlink(target.c_str(), temp.c_str()) != 0) {
        error = Errno("cannot create link " + temp);
        return false;
    }
    if (::rename(temp.c_str(), linkPath_.c_str()) != 0) {
        error = Errno("cannot publish " + linkPath_);
        ::unlink(temp.c_str());
        return false;
    }
    target_ = target;
    return true;
}

void SimLink::Withdraw() {
    if (target_.empty()) {
        return;
    }
    char buffer[512];
    const ssize_t n = ::readlink(linkPath_.c_str(), buffer, sizeof(buffer) - 1);
    if (n >= 0 && std::string(buffer, static_cast<size_t>(n)) == target_) {
        ::unlink(linkPath_.c_str());
    }
    target_.clear();
}

}  // namespace qv725sim
