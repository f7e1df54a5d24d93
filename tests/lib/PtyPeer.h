// A pseudo-terminal whose master end plays the controller from a thread: it reads each request
// frame the library sends to the slave end and writes the next queued reply.
#pragma once

#include <termios.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ScriptedBackend.h"

class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    // The slave end, which the library opens like a serial port.
    const std::string& SlavePath() const { return slavePath_; }
    // The reply to the next request (queued behind earlier ones); requests without a queued
    // reply go unanswered.
    void Answer(Bytes reply);
    // Puts bytes on the line now, and returns once the slave end can read them.
    void Stale(const Bytes& bytes);
    // The request frames received so far (as hex), waiting until there are at least n.
    std::vector<std::string> Requests(size_t n);
    // Puts the line back into the terminal's cooked defaults (line editing, echo, CR/LF
    // translation, XON/XOFF), as a device would be that nobody set up.
    void Cook();
    // The line's current settings, as seen from the slave end.
    termios SlaveSettings() const;
    // Stops answering and closes the master end: the line hangs up.
    void Hangup();

private:
    void Run();
    bool ReadByte(uint8_t& b);
    void Stop();

    int master_ = -1;
    int slave_ = -1;  // held open so the line stays up between the library's opens
    int wake_[2] = {-1, -1};
    std::string slavePath_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Bytes> answers_;
    std::vector<std::string> requests_;
    Bytes current_;
};
