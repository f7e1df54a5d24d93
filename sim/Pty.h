// A pseudo-terminal whose slave side stands in for the controller's serial port. Both sides are
// raw, so that CR and the XON/XOFF bytes pass unchanged, and the simulator keeps its own slave
// descriptor open so the slave stays usable while clients come and go.
#pragma once

#include <string>

namespace qv725sim {

class Pty {
public:
    Pty() = default;
    ~Pty() { Close(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Creates the pair; false with a message in error on failure.
    bool Open(std::string& error);
    void Close();

    bool IsOpen() const { return master_ >= 0; }
    // Non-blocking master descriptor: requests are read from it, replies written to it.
    int Master() const { return master_; }
    // The slave's device path, e.g. /dev/pts/3.
    const std::string& SlavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace qv725sim
