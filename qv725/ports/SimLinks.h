// The links running simulated controllers publish in the simulator folder, trusted only when
// the folder is private to this user and the link's simulator is still running.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct SimLinkListing {
    std::vector<std::string> paths;  // folder/<name> of each live link, naturally ordered
    // Why the folder was not looked into (empty when it was, or does not exist).
    std::string ignored;
};

// The live links in folder, which counts only when it is a real folder (not a symbolic link)
// owned by `owner` with mode 0700: anyone else able to add links there could pass off their own
// terminal, or any character device, as a controller. A link counts only while its simulator
// holds a write lock on the lock file beside it (<name>.lock): a link left behind by a
// simulator that was killed may point at a pseudo-terminal number some other program has
// since been given.
SimLinkListing ListSimLinks(const std::string& folder, uid_t owner);

// Text of the reason a folder is ignored.
inline constexpr char SimFolderIgnored[] =
    "simulator folder ignored (it must be this user's, with mode 0700).";
