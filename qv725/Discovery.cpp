// Trying the candidates in order, remembering which ports are not the controller, and saying
// why none was found.
#include "Discovery.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Device.h"
#include "PortChoice.h"
#include "RememberedSerial.h"
#include "backends/FtdioBackend.h"

namespace qv725 {

namespace {

constexpr char Lead[] = "No controller found: ";

struct Candidate {
    int index = 0;
    FtdioPortInfo info;
    std::string name;  // as the reason names it
};

// Why a candidate was not the controller, from least to most telling: the reason shown is
// that of the most telling one, since it is the one a user can act on.
enum class Outcome { Gone, Other, NotController, InUse, PermissionDenied };

const char* ReasonText(Outcome outcome) {
    switch (outcome) {
        case Outcome::PermissionDenied:
            return "permission denied (install the udev rule or join the dialout group).";
        case Outcome::InUse:
            return "in use by another program.";
        case Outcome::NotController:
            return "did not answer as a controller.";
        case Outcome::Other:
            return "cannot be opened.";
        case Outcome::Gone:
            break;
    }
    return "not attached.";
}

Outcome OutcomeOf(FtdioOpenFault fault) {
    switch (fault) {
        case FtdioOpenFault::PermissionDenied:
            return Outcome::PermissionDenied;
        case FtdioOpenFault::InUse:
            return Outcome::InUse;
        case FtdioOpenFault::Gone:
            return Outcome::Gone;
        case FtdioOpenFault::None:
        case FtdioOpenFault::Other:
            break;
    }
    return Outcome::Other;
}

// Identities of the ports that did not answer as the controller, as they were plugged in.
std::set<std::string>& ProbedPorts() {
    static std::set<std::string> ports;
    return ports;
}

void SetText(const std::string& text) {
    LibraryState& s = State();
    std::snprintf(s.lastErrorText, sizeof s.lastErrorText, "%s", text.c_str());
}

std::vector<Candidate> ListCandidates(uint32_t count) {
    std::vector<Candidate> candidates;
    std::set<std::string> identities;
    for (uint32_t index = 0; index < count && index <= INT32_MAX; ++index) {
        Candidate c;
        c.index = static_cast<int>(index);
        c.info = FtdioDescribe(c.index);
        c.name = c.info.path.empty() ? "FTDI device " + std::to_string(index) : c.info.path;
        identities.insert(c.info.identity);
        candidates.push_back(std::move(c));
    }
    // A port unplugged since is forgotten: plugged in again it has a new identity anyway.
    std::set<std::string>& probed = ProbedPorts();
    for (auto it = probed.begin(); it != probed.end();) {
        it = identities.count(*it) != 0 ? std::next(it) : probed.erase(it);
    }
    return candidates;
}

// Keeps the one candidate QV725_PORT names, if it names one.
void KeepChosen(std::vector<Candidate>& candidates, const PortChoice& choice) {
    if (choice.text.empty()) {
        return;
    }
    const auto chosen = std::find_if(candidates.begin(), candidates.end(), [&](const Candidate& c) {
        return choice.path.empty() ? c.info.serial == choice.serial
                                   : !c.info.path.empty() && SamePort(c.info.path, choice.path);
    });
    if (chosen == candidates.end()) {
        candidates.clear();
        return;
    }
    Candidate kept = *chosen;
    kept.name = choice.text;
    candidates = {kept};
}

bool Probe(const Candidate& c) {
    LibraryState& s = State();
    if (!FtdioOpen(c.index, s.openMarker)) {
        return false;
    }
    const char* text = nullptr;
    if (FtdioConfigure(BaudRate) && Identify(&text) &&
        std::strncmp(text, Identification, sizeof Identification - 1) == 0) {
        return true;
    }
    // FtdioClose never hands a released handle back to the driver and clears the marker.
    FtdioClose(s.openMarker);
    return false;
}

}  // namespace

bool SearchController() {
    // A controller open before is closed by the first FtdioOpen, as any second open does.
    uint32_t count = 0;
    if (!FtdioCountDevices(count)) {
        SetText(std::string(Lead) + "no FTDI device attached.");
        return false;
    }
    std::vector<Candidate> candidates = ListCandidates(count);
    const PortChoice choice = ChosenPort();
    KeepChosen(candidates, choice);
    const std::string remembered = RememberedSerial();
    std::stable_partition(candidates.begin(), candidates.end(), [&](const Candidate& c) {
        return !remembered.empty() && c.info.serial == remembered;
    });

    bool anyOutcome = false;
    Outcome worst = Outcome::Gone;
    std::string worstName;
    const auto note = [&](Outcome outcome, const std::string& name) {
        if (!anyOutcome || outcome > worst) {
            anyOutcome = true;
            worst = outcome;
            worstName = name;
        }
    };
    std::set<std::string>& probed = ProbedPorts();
    for (const Candidate& c : candidates) {
        // Ports known by their plug-in are probed once; the controller's own port (by its
        // remembered serial number) is always tried, since a controller may miss one reply.
        const bool onceOnly =
            !c.info.identity.empty() && (remembered.empty() || c.info.serial != remembered);
        if (onceOnly && probed.count(c.info.identity) != 0) {
            note(Outcome::NotController, c.name);
            continue;
        }
        if (Probe(c)) {
            RememberSerial(c.info.serial);
            SetText("");
            return true;
        }
        const FtdioOpenFault fault = FtdioLastOpenFault();
        if (fault != FtdioOpenFault::None) {
            note(OutcomeOf(fault), c.name);
            continue;
        }
        if (onceOnly) {
            probed.insert(c.info.identity);
        }
        note(Outcome::NotController, c.name);
    }

    if (anyOutcome) {
        SetText(std::string(Lead) + worstName + ": " + ReasonText(worst));
    } else if (!choice.text.empty()) {
        SetText(std::string(Lead) + choice.text + ": " + ReasonText(Outcome::Gone));
    } else if (const std::string unlisted = FtdioUnlisted(); !unlisted.empty()) {
        SetText(std::string(Lead) + unlisted);
    } else {
        SetText(std::string(Lead) + "no FTDI device attached.");
    }
    return false;
}

void ForgetProbedPorts() {
    ProbedPorts().clear();
}

}  // namespace qv725
