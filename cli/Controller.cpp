// Opening and closing the controller and its commands, on the program's device command layer.
#include "Controller.h"

#include <qv725/qv725.h>

#include "CliError.h"
#include "Commands.h"
#include "Environment.h"
#include "OpenFailure.h"
#include "PortHolders.h"
#include "PortList.h"

namespace {

std::string LastError() {
    const char* text = nullptr;
    QV725_GetLastError(&text);
    return text != nullptr ? std::string(text) : std::string();
}

// The error for a failed search: the library's reason, and for a port in use who holds it.
TCliError OpenError(const TOpenFailure& failure) {
    std::string message = failure.reason;
    if (failure.kind == OpenFailureKind::InUse) {
        const std::vector<TProcessRef> holders = HoldersOfPort(failure.port);
        if (!holders.empty()) {
            message += " It is held by " + DescribeProcesses(holders) + ".";
        }
    }
    return TCliError(OpenFailureExitCode(failure), message);
}

TSix ReadSix(void (*command)(int32_t*, int32_t*, int32_t*, int32_t*, int32_t*, int32_t*)) {
    TSix values{};
    command(&values[0], &values[1], &values[2], &values[3], &values[4], &values[5]);
    return values;
}

}  // namespace

std::vector<TProcessRef> HoldersOfPort(const std::string& port) {
    const std::string serialLead = "serial:";
    if (port.rfind(serialLead, 0) != 0) {
        return ProcessesHolding(port);
    }
    // A port named by its bridge's serial number: the device path the listing gives it.
    for (const TPortCandidate& candidate : ListPortCandidates()) {
        if (candidate.serial == port.substr(serialLead.size()) &&
            candidate.name.rfind(serialLead, 0) != 0) {
            return ProcessesHolding(candidate.name);
        }
    }
    return {};
}

void RestrictSearchToPort(const std::optional<std::string>& port) {
    if (port) {
        SetEnv("QV725_PORT", port);
    }
}

bool OpenedAnotherPort(const std::string& port, const std::set<std::string>& terminalsBefore) {
    if (port.rfind("serial:", 0) == 0) {
        return false;
    }
    const std::string device = DeviceBehind(port);
    bool another = false;
    for (const std::string& terminal : OwnOpenTerminals()) {
        if (terminalsBefore.count(terminal) == 0) {
            if (terminal == device) {
                return false;
            }
            another = true;
        }
    }
    return another;
}

TController::TController(const std::optional<std::string>& port) {
    RestrictSearchToPort(port);
    const std::set<std::string> terminalsBefore = OwnOpenTerminals();
    if (QV725_OpenDevice() == 0) {
        throw OpenError(ClassifyOpenFailure(LastError()));
    }
    // The port asked for, by --port or by QV725_PORT in the environment.
    const std::optional<std::string> wanted = port ? port : GetEnv("QV725_PORT");
    if (wanted && !wanted->empty() && OpenedAnotherPort(*wanted, terminalsBefore)) {
        QV725_CloseDevice();
        throw TCliError(ExitCode::NoController,
                        "No controller found: " + *wanted +
                            ": the qv725 library opened another port; this version of it does "
                            "not keep to one port (QV725_PORT).");
    }
}

TController::~TController() {
    QV725_CloseDevice();
}

TSix TController::Temperatures() {
    return ReadSix(&CmdGetT);
}

TSix TController::FanSpeeds() {
    return ReadSix(&CmdGetV);
}

TSix TController::Pwm() {
    return ReadSix(&CmdGetPWM);
}

TChannelParams TController::Params(int channel) {
    TChannelParams params;
    int32_t flags = 0;
    CmdGetM(channel, &flags, &params.T_min, &params.PWM_min, &params.T_max, &params.PWM_max,
            &params.T_alarm, &params.V_alarm, &params.PWM);
    params.SetMode(flags);
    return params;
}

void TController::SendParams(int channel, const TChannelParams& p) {
    // The whole set in one request, as the Channel page sends it.
    CmdSetM(channel, p.Mode(), p.T_min, p.PWM_min, p.T_max, p.PWM_max, p.T_alarm, p.V_alarm, p.PWM);
}

void TController::SendPwm(const TSix& pwm) {
    CmdSetPWM(pwm[0], pwm[1], pwm[2], pwm[3], pwm[4], pwm[5]);
}

void TController::Save(int channel) {
    CmdSavePar(channel);
}

void TController::Recall(int channel) {
    CmdCallPar(channel);
}
