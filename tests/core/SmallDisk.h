// A small disk for tests that need one to fill up: a tmpfs of a given size, mounted in a child
// process that has a mount namespace of its own, so nothing reaches the machine's mount table and
// the disk goes away with the child.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

struct SmallDiskRun {
    // False when this system lets no test mount a disk (no mount namespaces); `message` says why.
    bool mounted = false;
    // What the body reported: empty when every check in it held.
    std::string message;
};

// Mounts a tmpfs of `bytes` over `folder` inside a child process and runs `body` there with the
// folder's path; `body` returns "" when its checks held, else what went wrong.
SmallDiskRun RunOnSmallDisk(const std::string& folder, size_t bytes,
                            const std::function<std::string(const std::string&)>& body);
