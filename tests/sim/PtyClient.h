// A test's own client of the simulator's pseudo-terminal: raw mode, one frame out, one frame
// back with a bounded wait. Independent of the device library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv725sim {

struct Frame {
    bool ok = false;
    uint8_t command = 0;
    std::vector<uint8_t> data;
};

class PtyClient {
public:
    // With makeRaw false the line is used with whatever settings it has.
    explicit PtyClient(const std::string& path, bool makeRaw = true);
    int Fd() const { return fd_; }
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const std::vector<uint8_t>& bytes);
    // Reads one frame, each byte within timeoutMs.
    Frame Read(int timeoutMs = 2000);
    // Reads up to n bytes as they are, each within timeoutMs; fewer when one does not come.
    std::vector<uint8_t> ReadBytes(size_t n, int timeoutMs);
    Frame Exchange(uint8_t command, const std::vector<uint8_t>& data, int timeoutMs = 2000);
    // Waits up to timeoutMs for the line to hang up (the simulator went away).
    bool WaitHangUp(int timeoutMs);

private:
    bool ReadByte(uint8_t& b, int timeoutMs);

    int fd_ = -1;
};

}  // namespace qv725sim
