// A stand-in for the kernel's device tree under a scratch folder, put in place of the system's
// through QV725_TEST_SYSROOT for one scope: USB devices with serial ports in sysfs, their
// /dev files (links to pseudo-terminals), and the UUCP lock folder.
#pragma once

#include <map>
#include <string>

#include "TempFolder.h"

class FakeSysfs {
public:
    FakeSysfs();
    ~FakeSysfs();
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    std::string Root() const { return folder_.Path().string(); }
    // Plugs in a USB device at bus position `position` ("1-3") with one serial port `tty`
    // whose device file leads to `target`. Every plug-in gets a new device number.
    void Plug(const std::string& position, const std::string& tty, const std::string& target,
              const std::string& vendor = "0403", const std::string& serial = "");
    void Unplug(const std::string& position);
    // The port's device file, root/dev/<tty>.
    std::string Dev(const std::string& tty) const;
    // The port's latency_timer attribute as last written ("16" until the library writes it).
    std::string LatencyTimer(const std::string& tty) const;
    // Writes root/run/lock/LCK..<tty> naming pid, as terminal programs do.
    void LockUucp(const std::string& tty, long pid) const;

private:
    std::string PortFolder(const std::string& position, const std::string& tty) const;

    TempFolder folder_{TempFolder::OwnerOnly};
    std::map<std::string, std::string> ttys_;  // position -> tty
    int devnum_ = 1;
    bool hadPrevious_ = false;
    std::string previous_;
};
