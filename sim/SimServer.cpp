// Main loop of qv725-sim. Signals only set a flag through a pipe; all cleanup happens here.
#include "SimServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <thread>

#include "SimFolder.h"
#include "WakeFrame.h"

namespace qv725sim {

namespace {

// Time allowed between two bytes of one request.
constexpr int InterByteTimeoutMs = 100;
// How often the loop wakes up with nothing to do, to advance the model and plug in or out.
constexpr int IdleWakeMs = 100;

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // Nothing to do if the pipe is full: one pending byte is enough to stop.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool InstallSignalHandlers(std::string& error) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = "cannot create the signal pipe";
        return false;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGINT, &action, nullptr) != 0 || ::sigaction(SIGTERM, &action, nullptr) != 0) {
        error = "cannot install the signal handlers";
        return false;
    }
    // Whoever reads our standard output may go away; that must not kill the simulator.
    ::signal(SIGPIPE, SIG_IGN);
    return true;
}

}  // namespace

SimServer::SimServer(const SimOptions& options)
    : options_(options),
      folder_(Qv725SimFolder()),
      start_(Clock::now()),
      model_(options.model),
      eeprom_(options.eepromPath.empty() ? folder_ + "/" + options.name + ".eeprom"
                                         : options.eepromPath),
      faults_(options.faults),
      protocol_(model_, eeprom_),
      responder_(protocol_, faults_) {}

int SimServer::Run() {
    if (!Setup()) {
        return 1;
    }
    std::cout << "ready " << link_->LinkPath() << std::endl;
    Serve();
    Unplug();
    link_.reset();
    Log("stopped");
    return 0;
}

bool SimServer::Setup() {
    std::string error;
    if (!EnsurePrivateFolder(folder_, error)) {
        std::cerr << "qv725-sim: " << error << "\n";
        return false;
    }
    link_ = std::make_unique<SimLink>(folder_, options_.name);
    bool ownedElsewhere = false;
    if (!link_->Claim(ownedElsewhere, error)) {
        if (ownedElsewhere) {
            std::cerr << "qv725-sim: a simulator named '" << options_.name
                      << "' is already running (" << link_->LinkPath()
                      << "); stop it or choose another --name\n";
        } else {
            std::cerr << "qv725-sim: " << error << "\n";
        }
        link_.reset();
        return false;
    }
    switch (eeprom_.Load()) {
        case Eeprom::LoadResult::Loaded:
            break;
        case Eeprom::LoadResult::Missing:
            Log("no EEPROM file " + eeprom_.Path() + " yet; factory parameters");
            break;
        case Eeprom::LoadResult::Damaged:
            std::cerr << "qv725-sim: EEPROM file " << eeprom_.Path()
                      << " is damaged; using factory parameters (the file is moved to "
                      << eeprom_.Path() << ".damaged on the first save)\n";
            break;
    }
    // At power-up the controller runs with what its EEPROM holds.
    for (int i = 0; i < ChannelCount; ++i) {
        model_.SetParams(i, eeprom_.Channel(i));
    }
    if (!InstallSignalHandlers(error)) {
        std::cerr << "qv725-sim: " << error << "\n";
        return false;
    }
    start_ = Clock::now();
    nextStray_ = start_ + std::chrono::duration_cast<Clock::duration>(
                              std::chrono::duration<double>(options_.faults.trickleEvery));
    return PlugIn();
}

bool SimServer::PlugIn() {
    std::string error;
    if (!pty_.Open(error) || !link_->Publish(pty_.SlavePath(), error)) {
        std::cerr << "qv725-sim: " << error << "\n";
        pty_.Close();
        return false;
    }
    reader_ = std::make_unique<ByteReader>(pty_.Master(), InterByteTimeoutMs);
    Log("plugged in at " + pty_.SlavePath());
    return true;
}

void SimServer::Unplug() {
    if (!pty_.IsOpen()) {
        return;
    }
    // Like pulling the cable: the device leaves the list and open handles to it fail, and the
    // replies it still owed are gone with it.
    queued_.clear();
    link_->Withdraw();
    reader_.reset();
    pty_.Close();
    Log("unplugged");
}

void SimServer::Serve() {
    for (;;) {
        const double now = Elapsed();
        model_.Advance(now - advancedTo_);
        advancedTo_ = now;

        const bool plugged = faults_.PluggedAt(now);
        if (!plugged && pty_.IsOpen()) {
            Unplug();
        } else if (plugged && !pty_.IsOpen() && !PlugIn()) {
            // A pseudo-terminal could not be had; try again at the next wake-up.
        }

        pollfd fds[2] = {{signalPipe[0], POLLIN, 0}, {pty_.Master(), POLLIN, 0}};
        const nfds_t count = pty_.IsOpen() ? 2 : 1;
        const int ready = ::poll(fds, count, NextWakeMs());
        if (pty_.IsOpen()) {
            SendDue();
        }
        if (ready < 0 && errno != EINTR) {
            std::perror("qv725-sim: poll");
            return;
        }
        if (ready <= 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            return;
        }
        if (count == 2 && (fds[1].revents & POLLIN)) {
            HandleRequest();
        } else if (count == 2 && fds[1].revents != 0) {
            // Hang-up without data: no slave is open. We keep one open, so this is unexpected;
            // wait a little instead of spinning on it.
            ::poll(fds, 1, IdleWakeMs);
            if (fds[0].revents != 0) {
                return;
            }
        }
    }
}

void SimServer::HandleRequest() {
    // Answer with the state of this moment.
    const double now = Elapsed();
    model_.Advance(now - advancedTo_);
    advancedTo_ = now;

    do {
        const Clock::time_point arrived = Clock::now();
        reader_->ClearTaken();
        uint8_t address = 0;
        uint8_t command = 0;
        uint8_t count = 0;
        uint8_t data[255];
        const bool ok = WakeReadFrame([this](uint8_t& b) { return reader_->ReadByte(b); }, address,
                                      command, data, sizeof(data), count);
        const std::vector<uint8_t>& raw = reader_->Taken();
        if (!ok) {
            if (!raw.empty()) {
                Log("rx invalid: " + HexBytes(raw.data(), raw.size()));
            }
            return;
        }
        Log("rx " + HexBytes(raw.data(), raw.size()));
        // On the wire the request takes its own bytes' time to arrive, counted from its FEND.
        size_t frameStart = 0;
        while (frameStart < raw.size() && raw[frameStart] != wake::FEND) {
            ++frameStart;
        }
        const size_t requestBytes = raw.size() - frameStart;
        const std::vector<uint8_t> frame = responder_.Respond(address, command, data, count);
        if (frame.empty()) {
            Log("no reply");
        } else if (faults_.TakeLate(command)) {
            const auto lateBy = std::chrono::duration_cast<Clock::duration>(
                std::chrono::duration<double>(options_.faults.lateBy));
            const Clock::time_point at = arrived + lateBy;
            queued_.push_back(
                {queued_.empty() || queued_.back().at < at ? at : queued_.back().at, frame});
            Log("late reply queued");
        } else if (!queued_.empty()) {
            queued_.push_back({queued_.back().at, frame});
        } else {
            SendReply(frame, arrived, requestBytes);
        }
    } while (reader_ && reader_->HasBuffered());
}

void SimServer::SendReply(const std::vector<uint8_t>& frame, Clock::time_point requestStart,
                          size_t requestBytes) {
    const auto byteTime =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(WireByteSeconds));
    const Clock::time_point replyStart = requestStart + byteTime * static_cast<long>(requestBytes);
    size_t sent = 0;
    while (sent < frame.size()) {
        size_t chunk = frame.size() - sent;
        if (options_.faults.wireSpeed) {
            // Each byte is handed over when its last bit would have arrived.
            std::this_thread::sleep_until(replyStart + byteTime * static_cast<long>(sent + 1));
            chunk = 1;
        }
        const ssize_t n = ::write(pty_.Master(), frame.data() + sent, chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // Nobody drains the line; a real device would not wait either.
            Log("reply dropped: the line does not take more bytes");
            return;
        }
        sent += static_cast<size_t>(n);
    }
    Log("tx " + HexBytes(frame.data(), frame.size()));
}

void SimServer::SendDue() {
    const Clock::time_point now = Clock::now();
    while (!queued_.empty() && queued_.front().at <= now && pty_.IsOpen()) {
        const std::vector<uint8_t> frame = std::move(queued_.front().frame);
        queued_.pop_front();
        SendReply(frame, Clock::now(), 0);
    }
    if (options_.faults.trickleEvery > 0 && nextStray_ <= now) {
        // One stray byte, never inside a frame: replies go out whole in between.
        const uint8_t stray = StrayByte;
        [[maybe_unused]] const ssize_t n = ::write(pty_.Master(), &stray, 1);
        const auto every = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(options_.faults.trickleEvery));
        nextStray_ = nextStray_ + every > now ? nextStray_ + every : now + every;
    }
}

int SimServer::NextWakeMs() const {
    Clock::time_point next = Clock::now() + std::chrono::milliseconds(IdleWakeMs);
    if (!queued_.empty() && queued_.front().at < next) {
        next = queued_.front().at;
    }
    if (options_.faults.trickleEvery > 0 && nextStray_ < next) {
        next = nextStray_;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

double SimServer::Elapsed() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

void SimServer::Log(const std::string& text) const {
    if (!options_.verbose) {
        return;
    }
    std::fprintf(stderr, "[%9.3f] %s\n", Elapsed(), text.c_str());
}

}  // namespace qv725sim
