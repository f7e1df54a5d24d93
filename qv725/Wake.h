// Wake framing over the transport: sending one frame with one write, and receiving one within
// the reply deadline. The frame codec itself is in shared/WakeFrame.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "WakeFrame.h"

// Builds the frame and writes it with one transport write; true when every byte went out.
bool WakeSendFrame(uint8_t address, uint8_t command, uint8_t count, const uint8_t* data);

// Tells the transport how long the reply to the request just sent will be when it carries
// `dataBytes` bytes of data and nothing needs escaping, so that once its first byte is in, the
// rest can be let gather and fetched together. A reply of another length is still read whole.
void WakeExpectReply(size_t dataBytes);

// Sets the transport's read timeout, then reads one frame byte by byte from the transport, all
// within one deadline (ReplyDeadline): the timeout, plus the wire time of the bytes the frame
// announces. Each read waits no longer than the timeout nor than what is left of the deadline.
bool WakeReceiveFrame(int timeoutMs, uint8_t& address, uint8_t& command, uint8_t* data,
                      size_t capacity, uint8_t& count);
