// Listing and probing the ports one by one through the library.
#include "ListCommand.h"

#include <qv725/qv725.h>

#include <algorithm>

#include "ChannelJson.h"
#include "Controller.h"
#include "Environment.h"
#include "OpenFailure.h"
#include "PortHolders.h"
#include "PortList.h"

namespace {

struct TVerdict {
    TPortCandidate port;
    std::string state;  // controller, permission-denied, in-use, not-a-controller, absent, unknown
    std::string identification;  // a controller's identification text
    std::string reason;          // why it is not the controller
    std::vector<TProcessRef> holders;
};

std::string LastError() {
    const char* text = nullptr;
    QV725_GetLastError(&text);
    return text != nullptr ? std::string(text) : std::string();
}

std::string StateOf(OpenFailureKind kind) {
    switch (kind) {
        case OpenFailureKind::PermissionDenied:
            return "permission-denied";
        case OpenFailureKind::InUse:
            return "in-use";
        case OpenFailureKind::NotController:
            return "not-a-controller";
        case OpenFailureKind::NoDevice:
            return "absent";
        case OpenFailureKind::Other:
            break;
    }
    return "unknown";
}

TVerdict Probe(const TPortCandidate& port) {
    TVerdict verdict{port, "", "", "", {}};
    // A port the listing already knows to be out of reach is not opened at all.
    if (port.state == "permission-denied") {
        verdict.state = port.state;
        verdict.reason = "permission denied (install the udev rule or join the dialout group).";
        return verdict;
    }
    if (port.state == "in-use") {
        verdict.state = port.state;
        verdict.reason = "in use by another program.";
        verdict.holders = HoldersOfPort(port.name);
        if (verdict.holders.empty() && port.holderPid > 0) {
            verdict.holders.push_back({port.holderPid, ProcessName(port.holderPid)});
        }
        return verdict;
    }
    RestrictSearchToPort(port.name);
    const std::set<std::string> terminalsBefore = OwnOpenTerminals();
    if (QV725_OpenDevice() != 0) {
        if (OpenedAnotherPort(port.name, terminalsBefore)) {
            verdict.state = "unknown";
            verdict.reason =
                "not probed alone: this version of the qv725 library does not keep to one port "
                "(QV725_PORT)";
        } else {
            const char* info = nullptr;
            const bool identified = QV725_GetInfo(&info) != 0;
            verdict.state = "controller";
            verdict.identification = identified && info != nullptr ? info : "";
        }
        QV725_CloseDevice();
        return verdict;
    }
    const TOpenFailure failure = ClassifyOpenFailure(LastError());
    verdict.state = StateOf(failure.kind);
    verdict.reason = OpenFailureDetail(failure);
    if (failure.kind == OpenFailureKind::InUse) {
        verdict.holders = HoldersOfPort(port.name);
    }
    return verdict;
}

std::string Details(const TVerdict& v) {
    if (v.state == "controller") {
        return v.identification;
    }
    std::string text = v.reason;
    if (!v.holders.empty()) {
        text += " Held by " + DescribeProcesses(v.holders) + ".";
    }
    return text;
}

void PrintText(const TContext& context, const std::vector<TVerdict>& verdicts) {
    if (verdicts.empty()) {
        context.out << "No ports found.\n";
        return;
    }
    const bool withSerial = std::any_of(verdicts.begin(), verdicts.end(),
                                        [](const TVerdict& v) { return !v.port.serial.empty(); });
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"PORT", "SERIAL", "DESCRIPTION", "STATE", "DETAILS"});
    for (const TVerdict& v : verdicts) {
        rows.push_back({v.port.name, v.port.serial, v.port.description, v.state, Details(v)});
    }
    std::vector<size_t> widths(5, 0);
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i == 1 && !withSerial) {
                continue;
            }
            line += row[i];
            if (i + 1 < row.size()) {
                line += std::string(widths[i] - row[i].size() + 2, ' ');
            }
        }
        context.out << line.substr(0, line.find_last_not_of(' ') + 1) << "\n";
    }
}

void PrintJson(const TContext& context, const std::vector<TVerdict>& verdicts) {
    TJsonWriter json(true);
    json.BeginObject().Key("schema").Int(kJsonSchema).Key("ports").BeginArray();
    for (const TVerdict& v : verdicts) {
        json.BeginObject();
        json.Key("port").String(v.port.name);
        json.Key("serial").String(v.port.serial);
        json.Key("description").String(v.port.description);
        json.Key("state").String(v.state);
        json.Key("identification").String(v.identification);
        json.Key("reason").String(v.reason);
        json.Key("held_by").BeginArray();
        for (const TProcessRef& p : v.holders) {
            json.BeginObject().Key("pid").Int(p.pid).Key("name").String(p.name).EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray().EndObject();
    context.PrintJson(json);
}

}  // namespace

int RunList(const TContext& context) {
    std::vector<TPortCandidate> candidates = ListPortCandidates();
    if (context.line.port) {
        const auto known =
            std::find_if(candidates.begin(), candidates.end(),
                         [&](const TPortCandidate& c) { return c.name == *context.line.port; });
        candidates = {
            known != candidates.end() ? *known : TPortCandidate{*context.line.port, "", "", "", 0}};
    }
    const std::optional<std::string> savedPort = GetEnv("QV725_PORT");
    std::vector<TVerdict> verdicts;
    for (const TPortCandidate& candidate : candidates) {
        verdicts.push_back(Probe(candidate));
    }
    SetEnv("QV725_PORT", savedPort);

    if (context.line.json) {
        PrintJson(context, verdicts);
    } else {
        PrintText(context, verdicts);
    }
    const auto has = [&](const char* state) {
        return std::any_of(verdicts.begin(), verdicts.end(),
                           [&](const TVerdict& v) { return v.state == state; });
    };
    if (has("controller")) {
        return static_cast<int>(ExitCode::Done);
    }
    context.err << "qv725ctl: No controller found"
                << (verdicts.empty() ? ": no FTDI device attached." : ".") << "\n";
    return static_cast<int>(has("in-use") ? ExitCode::PortInUse : ExitCode::NoController);
}
