// Buffered, timed byte reads from the pseudo-terminal master.
#include "ByteReader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace qv725sim {

bool ByteReader::ReadByte(uint8_t& value) {
    while (next_ >= filled_) {
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, timeoutMs_);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0 || (pfd.revents & POLLIN) == 0) {
            return false;
        }
        const ssize_t n = ::read(fd_, buffer_, sizeof(buffer_));
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        next_ = 0;
        filled_ = static_cast<size_t>(n);
    }
    value = buffer_[next_++];
    taken_.push_back(value);
    return true;
}

}  // namespace qv725sim
