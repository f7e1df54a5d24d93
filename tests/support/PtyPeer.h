// A pseudo-terminal whose master end plays the controller from a thread: it reads each request
// frame the library sends to the slave end and writes the next queued reply, at once or late or
// in pieces; another thread can put a stray byte on the line now and then.
#pragma once

#include <termios.h>

#include <chrono>
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
    using Ms = std::chrono::milliseconds;
    // Part of a reply: bytes written `after` the request arrived.
    struct Piece {
        Ms after;
        Bytes bytes;
    };

    // The reply to the next request (queued behind earlier ones); requests without a queued
    // reply go unanswered.
    void Answer(Bytes reply);
    // A reply to the next request that comes late, or in pieces. Requests that arrive meanwhile
    // wait their turn, as they do at a device that works through them one by one.
    void AnswerInPieces(std::vector<Piece> pieces);
    // Returns once every queued reply has been written and the slave end can read.
    void AwaitAnswered();
    // Puts `byte` on the line every `every` until StopTrickle (or the end).
    void Trickle(uint8_t byte, Ms every);
    void StopTrickle();
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
    // Waits until `until` unless told to stop; false when told to stop.
    bool SleepUntil(std::chrono::steady_clock::time_point until);
    void AwaitReadable();
    void Stop();

    int master_ = -1;
    int slave_ = -1;  // held open so the line stays up between the library's opens
    int wake_[2] = {-1, -1};
    std::string slavePath_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<Piece>> answers_;
    bool answering_ = false;  // a reply taken from answers_ is being written
    std::vector<std::string> requests_;
    Bytes current_;
    std::thread trickle_;
    bool trickling_ = false;
};
