// Listing the simulator folder without following links out of it or trusting what others made.
#include "SimLinks.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "NaturalOrder.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// True while some process holds a write lock on the lock file (an open-file-description lock
// where the system has them, so a holder in this very process counts too). Only asks: taking
// the lock, even briefly, could turn a starting simulator away.
bool LockHeld(int folder, const std::string& name) {
    const int fd =
        openat(folder, (name + ".lock").c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
#ifdef F_OFD_GETLK
    const int asked = fcntl(fd, F_OFD_GETLK, &query);
#else
    const int asked = fcntl(fd, F_GETLK, &query);
#endif
    close(fd);
    return asked == 0 && query.l_type != F_UNLCK;
}

}  // namespace

SimLinkListing ListSimLinks(const std::string& folder, uid_t owner) {
    SimLinkListing listing;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // Missing is ordinary (no simulator has run); anything else (a link, a file) is not
        // the folder a simulator makes.
        if (errno != ENOENT) {
            listing.ignored = SimFolderIgnored;
        }
        return listing;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != owner ||
        (st.st_mode & 07777) != 0700) {
        close(fd);
        listing.ignored = SimFolderIgnored;
        return listing;
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return listing;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.' || EndsWith(name, ".lock")) {
            continue;
        }
        struct stat link {};
        struct stat target {};
        if (fstatat(fd, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(link.st_mode) ||
            link.st_uid != owner) {
            continue;
        }
        if (fstatat(fd, name.c_str(), &target, 0) != 0 || !S_ISCHR(target.st_mode)) {
            continue;
        }
        if (LockHeld(fd, name)) {
            names.push_back(name);
        }
    }
    closedir(dir);
    SortNaturally(names);
    for (const std::string& name : names) {
        listing.paths.push_back(folder + "/" + name);
    }
    return listing;
}
