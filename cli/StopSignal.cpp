// Stop requests: on POSIX a signal handler writes to a pipe that the wait polls; on Windows the
// console's control handler sets an event.
#include "StopSignal.h"

#include <algorithm>
#include <csignal>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, 1000LL * 86400));
}

#ifdef _WIN32

HANDLE stopEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT || type == CTRL_CLOSE_EVENT) {
        SetEvent(stopEvent);
        return TRUE;
    }
    return FALSE;
}

#else

volatile std::sig_atomic_t stopRequested = 0;
int stopPipe[2] = {-1, -1};
struct sigaction previousInt {};
struct sigaction previousTerm {};

void OnStopSignal(int) {
    const int saved = errno;
    stopRequested = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
    errno = saved;
}

#endif

}  // namespace

#ifdef _WIN32

TStopSignal::TStopSignal() {
    stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

TStopSignal::~TStopSignal() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    CloseHandle(stopEvent);
    stopEvent = nullptr;
}

bool TStopSignal::Requested() const {
    return WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0;
}

bool TStopSignal::WaitUntil(Clock::time_point deadline) const {
    return WaitForSingleObject(stopEvent, static_cast<DWORD>(RemainingMs(deadline))) ==
           WAIT_OBJECT_0;
}

#else

TStopSignal::TStopSignal() {
    stopRequested = 0;
    if (::pipe(stopPipe) == 0) {
        for (const int fd : stopPipe) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
        }
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &previousInt);
    ::sigaction(SIGTERM, &action, &previousTerm);
}

TStopSignal::~TStopSignal() {
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    for (int& fd : stopPipe) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

bool TStopSignal::Requested() const {
    return stopRequested != 0;
}

bool TStopSignal::WaitUntil(Clock::time_point deadline) const {
    while (stopRequested == 0) {
        const int timeout = RemainingMs(deadline);
        if (timeout == 0) {
            return false;
        }
        pollfd fd{stopPipe[0], POLLIN, 0};
        ::poll(&fd, stopPipe[0] >= 0 ? 1 : 0, timeout);
    }
    return true;
}

#endif
