// One open terminal device (serial port or pseudo-terminal) at file-descriptor level: exclusive
// open, raw 8N1 termios, poll-based timeouts, purge. Shared by the serial and simulator backends.
#pragma once

#include <termios.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class PosixTty {
public:
    // Opens path read-write as an exclusive raw terminal. Returns a driver-style status and,
    // on success, the device in tty; on failure error holds the system's reason (errno).
    // A port another program holds (its lock, or its exclusive claim) is left untouched: no
    // setting is read or changed before the claim is ours. The settings and modem lines found
    // are restored exactly when the device is closed.
    static uint32_t Open(const std::string& path, std::unique_ptr<PosixTty>& tty, int& error);
    static uint32_t Open(const std::string& path, std::unique_ptr<PosixTty>& tty) {
        int ignored = 0;
        return Open(path, tty, ignored);
    }

    ~PosixTty();
    PosixTty(const PosixTty&) = delete;
    PosixTty& operator=(const PosixTty&) = delete;

    uint32_t SetBaudRate(uint32_t baudRate);
    // Codes as the D2XX driver takes them: word length 7 or 8; stop bits 0 (one) or 2 (two);
    // parity 0 none, 1 odd, 2 even.
    uint32_t SetDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity);
    void SetTimeouts(uint32_t readMs, uint32_t writeMs);
    // mask: bit 0 discards pending input, bit 1 pending output.
    uint32_t Purge(uint32_t mask);
    // Writes until every byte is out, the write timeout passes or an error occurs.
    uint32_t Write(const uint8_t* data, uint32_t count, uint32_t& written);
    // Reads until count bytes arrived or the read timeout passed (status 0, fewer bytes).
    // Bytes that are already waiting are fetched together into a small buffer and handed out
    // from there, so a reply read one byte at a time costs a few system calls, not one per byte.
    // When a reply trickles in byte by byte at the line's pace, the next bytes are let gather
    // for a few byte times before they are fetched, instead of waking up for every one of them.
    uint32_t Read(uint8_t* data, uint32_t count, uint32_t& got);

    // At least count more bytes of the reply under way are due back to back: once the buffer
    // is empty, wait until the last of them should be there and fetch them in one read.
    void ExpectBytes(uint32_t count);

    // Bytes a trickling reply is let gather before they are fetched. The last bytes of a reply
    // come at most this many byte times minus one later than they arrive.
    static constexpr int kGatherBytes = 4;

private:
    explicit PosixTty(int fd) : fd_(fd) {}
    // Moves up to count buffered bytes to data; returns how many.
    uint32_t TakeBuffered(uint8_t* data, uint32_t count);

    int fd_;
    bool exclusive_ = false;
    // The line's settings and modem lines as they were found, put back at close.
    bool saved_ = false;
    termios savedSettings_{};
    bool savedModem_ = false;
    int savedModemLines_ = 0;
    uint32_t readMs_ = 200;
    uint32_t writeMs_ = 200;
    // Bytes read from the line and not yet handed out: buffer_[next_, end_).
    uint8_t buffer_[256] = {};
    uint32_t next_ = 0;
    uint32_t end_ = 0;
    // True when the latest read found no more bytes waiting than it took.
    bool drained_ = false;
    // Time of one byte on the line (10 bits at the baud rate); zero while the rate is unknown.
    std::chrono::nanoseconds byteTime_{0};
    // When the latest read fetched bytes of the reply under way; reset by every write, so the
    // first byte of a reply is never waited for longer than it takes to come.
    std::chrono::steady_clock::time_point lastFetch_{};
    bool midReply_ = false;
    // Whether the bytes after the latest fetch were already let gather once.
    bool gathered_ = false;
    // Bytes of the reply still due on the line (announced by ExpectBytes, not yet fetched).
    uint32_t due_ = 0;
    // Whether the device sends its replies at the line's pace: the first fetch of its latest
    // announced reply held fewer bytes than were due. Such a reply is slept through before it
    // is fetched.
    bool paced_ = false;
    // When the latest request has left the line, and whether its reply was slept through.
    std::chrono::steady_clock::time_point lineFreeAt_{};
    bool aheadSlept_ = false;
};
