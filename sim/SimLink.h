// The simulator's public name: a link <folder>/<name> to its pseudo-terminal in the folder
// where the library looks for simulated controllers, guarded by a lock so one name has one
// owner. The lock dies with its process, which is how a stale link is told from a live one.
#pragma once

#include <string>

namespace qv725sim {

// Creates the folder (mode 0700) when missing, or makes an existing one 0700. It must be a real
// directory owned by us, because whatever it links to is opened as a controller. False with a
// message in error otherwise.
bool EnsurePrivateFolder(const std::string& folder, std::string& error);

// A name such as "sim0": not empty, no '/', not "." or "..".
bool IsValidSimName(const std::string& name);

class SimLink {
public:
    SimLink(std::string folder, std::string name);
    ~SimLink();
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    // Takes the lock <folder>/<name>.lock. False when another live simulator holds it
    // (ownedElsewhere set) or the lock file cannot be made (message in error).
    bool Claim(bool& ownedElsewhere, std::string& error);

    // Points the link at target, replacing whatever link was there, in one rename.
    bool Publish(const std::string& target, std::string& error);
    // Removes the link if it still points where we published it.
    void Withdraw();

    const std::string& LinkPath() const { return linkPath_; }

private:
    std::string folder_;
    std::string linkPath_;
    std::string lockPath_;
    std::string target_;
    int lockFd_ = -1;
};

}  // namespace qv725sim
