// The transport operations the library calls: count, open, configure, close, write a block,
// read one byte, set the read timeout. Beneath them sit the backends (D2XX driver, Linux serial
// ports, simulated controllers), whose device indices follow one another in that order.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// Driver-style handle: 0 means no device. Never a pointer the caller may dereference.
using FtdioHandle = uintptr_t;

bool FtdioCountDevices(uint32_t& count);
bool FtdioOpen(int index, FtdioHandle& handleCopy);
bool FtdioConfigure(int baudRate);
bool FtdioClose(FtdioHandle& handleCopy);
bool FtdioWrite(int count, const uint8_t* data);
bool FtdioReadByte(uint8_t& value);
bool FtdioSetReadTimeout(int timeoutMs);
// Discards the input waiting in the driver (and any read ahead of it): the receive purge.
bool FtdioPurgeReceive();
// Tells the transport that at least `count` more bytes of the reply under way are due back to
// back, so it may let them gather and fetch them together. A hint only: what is read, and when
// a read fails, stay the same. Makes no driver call and leaves FtdioStatus alone.
void FtdioExpectBytes(int count);
// Time one byte takes on the line at the rate of the latest successful configuration (10 bits:
// start, 8 data bits, stop); zero before any.
std::chrono::nanoseconds FtdioByteTime();
// The clock that reply deadlines are measured on: the steady clock unless a test put its own in
// place (FtdioUseClock, backends/FtdioBackend.h).
std::chrono::steady_clock::time_point FtdioNow();
struct FtdioPortInfo;
enum class FtdioOpenFault;
// What the backend owning device index (of the latest count) tells of it before it is opened.
FtdioPortInfo FtdioDescribe(int index);
// The first place a backend did not trust at the latest count ("<place>: <reason>"), or empty.
std::string FtdioUnlisted();
// Why the latest FtdioOpen failed (None after a successful one).
FtdioOpenFault FtdioLastOpenFault();
// Status of the most recent driver call (0 means success); kept, not reported further.
uint32_t FtdioStatus();
