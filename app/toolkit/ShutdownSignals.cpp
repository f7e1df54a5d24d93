// The self-pipe behind TShutdownSignals: the handler only writes the signal number into a pipe;
// a socket notifier reads it on the user-interface thread.
#include "ShutdownSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace {

int pipeFds[2] = {-1, -1};
struct sigaction previousInt;
struct sigaction previousTerm;

extern "C" void OnShutdownSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Nothing can be done about a full pipe inside a signal handler: one pending byte suffices.
    [[maybe_unused]] const ssize_t written = write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

TShutdownSignals::TShutdownSignals(QObject* parent) : QObject(parent) {
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("Cannot create the signal pipe");
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TShutdownSignals::ReadPipe);

    struct sigaction action {};
    action.sa_handler = OnShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

TShutdownSignals::~TShutdownSignals() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    delete notifier_;
    close(pipeFds[0]);
    close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void TShutdownSignals::ReadPipe() {
    unsigned char byte = 0;
    while (read(pipeFds[0], &byte, 1) == 1)
        emit ShutdownRequested(byte);
}
