// What the library costs while no controller is attached: a caller that looks for the
// controller once a second, as the program does while OFF-Line, against a fake sysfs tree
// (QV725_TEST_SYSROOT) with no USB serial port, or with two FTDI bridges whose ports lead to
// pseudo-terminals that never answer (a printer, a GPS receiver). System calls are counted from
// outside (strace) by comparing runs of different length.
//   bench_idle_driver <seconds> none|foreign [--plug]
// prints: seconds=<n> opened=<successful opens> probe_bytes=<bytes written to the foreign
//         ports in all> [online_ms=<from a controller's bridge appearing to the open>]
// With --plug, after the idle seconds a controller (qv725-sim) is plugged in behind a third
// FTDI bridge right after a search, the worst moment, and the searches go on once a second.
#include <fcntl.h>
#include <qv725/qv725.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "SimProcess.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text << "\n";
}

// One USB device at bus position `position` with the serial port `tty` leading to `target`.
void Plug(const fs::path& root, const std::string& position, const std::string& tty,
          const std::string& target, const std::string& serial) {
    const fs::path device = root / "sys/devices/pci0000:00/usb1" / position;
    const fs::path port = device / (position + ":1.0") / tty;
    fs::create_directories(port);
    Write(device / "idVendor", "0403");
    Write(device / "busnum", "1");
    Write(device / "devnum", std::to_string(10 + tty.back()));
    Write(device / "serial", serial);
    Write(port / "latency_timer", "16");
    fs::create_symlink(device, root / "sys/bus/usb/devices" / position);
    fs::create_symlink(port, root / "sys/bus/usb-serial/devices" / tty);
    fs::create_symlink(target, root / "dev" / tty);
}

// A pseudo-terminal nobody answers on; returns the master and names the slave.
int OpenSilentTerminal(std::string& slave) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        return -1;
    }
    slave = ptsname(master);
    fcntl(master, F_SETFL, O_NONBLOCK);
    return master;
}

size_t Drain(int master) {
    size_t total = 0;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(master, buffer, sizeof buffer)) > 0) {
        total += static_cast<size_t>(n);
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_idle_driver <seconds> none|foreign [--plug]\n");
        return 2;
    }
    const int seconds = std::atoi(argv[1]);
    const bool foreign = std::strcmp(argv[2], "foreign") == 0;
    const bool plug = argc > 3 && std::strcmp(argv[3], "--plug") == 0;

    std::string pattern = (fs::temp_directory_path() / "qv725-idle-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return 1;
    }
    const fs::path base = pattern;
    const fs::path root = base / "root";
    for (const char* folder :
         {"sys/bus/usb/devices", "sys/bus/usb-serial/devices", "dev", "run/lock"}) {
        fs::create_directories(root / folder);
    }
    fs::create_directories(base / "runtime");
    fs::create_directories(base / "sim-runtime");
    fs::permissions(base / "runtime", fs::perms::owner_all);
    setenv("QV725_TEST_SYSROOT", root.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (base / "runtime").c_str(), 1);
    setenv("XDG_CACHE_HOME", (base / "cache").c_str(), 1);
    unsetenv("QV725_PORT");

    std::vector<int> masters;
    if (foreign) {
        for (int i = 0; i < 2; ++i) {
            std::string slave;
            const int master = OpenSilentTerminal(slave);
            if (master < 0) {
                return 1;
            }
            masters.push_back(master);
            Plug(root, "1-" + std::to_string(i + 1), "ttyUSB" + std::to_string(i), slave,
                 "FOREIGN" + std::to_string(i));
        }
    }

    int opened = 0;
    auto next = Clock::now();
    for (int s = 0; s < seconds; ++s) {
        opened += QV725_OpenDevice() != 0 ? 1 : 0;
        next += std::chrono::seconds(1);
        std::this_thread::sleep_until(next);
    }
    size_t probeBytes = 0;
    for (const int master : masters) {
        probeBytes += Drain(master);
    }
    std::printf("seconds=%d opened=%d probe_bytes=%zu", seconds, opened, probeBytes);

    if (plug) {
        qv725sim::SimProcess sim;
        std::string error;
        if (!sim.Start(QV725_SIM_EXE, {}, (base / "sim-runtime").string(), error)) {
            std::printf(" online_ms=-1\n");
            fs::remove_all(base);
            return 1;
        }
        const std::string pty = fs::read_symlink(sim.LinkPath()).string();
        QV725_OpenDevice();  // a search just before the bridge appears: the longest wait
        next = Clock::now() + std::chrono::seconds(1);
        const auto plugged = Clock::now();
        Plug(root, "1-9", "ttyUSB9", pty, "CONTROLLER");
        double onlineMs = -1;
        for (int s = 0; s < 5 && onlineMs < 0; ++s) {
            std::this_thread::sleep_until(next);
            next += std::chrono::seconds(1);
            if (QV725_OpenDevice() != 0) {
                onlineMs =
                    std::chrono::duration<double, std::milli>(Clock::now() - plugged).count();
            }
        }
        QV725_CloseDevice();
        std::printf(" online_ms=%.0f", onlineMs);
    }
    std::printf("\n");
    for (const int master : masters) {
        close(master);
    }
    fs::remove_all(base);
    return 0;
}
