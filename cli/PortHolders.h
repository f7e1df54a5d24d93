// Which processes hold a device open, as far as /proc tells (Linux; elsewhere nothing is known).
#pragma once

#include <set>
#include <string>
#include <vector>

struct TProcessRef {
    int pid = 0;
    std::string name;  // the command name the kernel keeps, e.g. "kelvane"
};

// The file a device path stands for: the end of its chain of links (a simulator's link names a
// pseudo-terminal), or the path itself.
std::string DeviceBehind(const std::string& path);

// Other processes with `devicePath` (or what it links to) open, found through
// /proc/<pid>/fd. Processes of other users cannot be looked into and are not listed.
std::vector<TProcessRef> ProcessesHolding(const std::string& devicePath);

// The terminal devices (/dev/tty*, /dev/pts/*) this process has open now.
std::set<std::string> OwnOpenTerminals();

// The command name of process pid, as /proc tells it; empty when it does not.
std::string ProcessName(int pid);

// "kelvane (pid 1234)", or several joined by ", ".
std::string DescribeProcesses(const std::vector<TProcessRef>& processes);
