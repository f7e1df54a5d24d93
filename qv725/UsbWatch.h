// Notices when the set of USB devices changes, so that work that only a new device can change
// (loading the D2XX driver, reading the bridges' sysfs attributes) is not redone every second.
#pragma once

#include <chrono>
#include <cstdint>

// Lists the USB devices (on Linux, the names in sysfs's bus/usb/devices: a few system calls)
// and moves the generation on when the set differs from the previous one, or when a minute has
// passed since it last moved (the safety net, and the only trigger where there is no sysfs).
void UsbWatchRefresh(std::chrono::steady_clock::time_point now);
// Starts at 1; backends that remember a generation of 0 redo their work at the next count.
uint64_t UsbWatchGeneration();
