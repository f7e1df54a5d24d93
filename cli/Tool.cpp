// The one place where errors become messages and exit codes.
#include "Tool.h"

#include "ChannelCommands.h"
#include "CliError.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Context.h"
#include "EepromCommands.h"
#include "Exceptions.h"
#include "ListCommand.h"
#include "PresetCommands.h"
#include "StatusCommand.h"
#include "Usage.h"
#include "WatchCommand.h"

namespace {

int Dispatch(const TContext& context) {
    const std::string& command = context.line.command;
    if (command == "list") {
        return RunList(context);
    }
    if (command == "status") {
        return RunStatus(context);
    }
    if (command == "watch") {
        return RunWatch(context);
    }
    if (command == "get") {
        return RunGet(context);
    }
    if (command == "set") {
        return RunSet(context);
    }
    if (command == "pwm") {
        return RunPwm(context);
    }
    if (command == "save") {
        return RunSave(context);
    }
    if (command == "recall") {
        return RunRecall(context);
    }
    return context.line.args[0] == "list" ? RunPresetList(context) : RunPresetApply(context);
}

}  // namespace

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TCommandLine line;
    try {
        line = ParseCommandLine(args);
    } catch (const TCliError& error) {
        err << "qv725ctl: " << error.what() << "\n" << UsageHint() << "\n";
        return static_cast<int>(error.Code());
    }
    if (line.help) {
        out << UsageText();
        return 0;
    }
    if (line.version) {
        out << VersionText() << "\n";
        return 0;
    }
    const TContext context{line, out, err};
    int code = static_cast<int>(ExitCode::Failed);
    try {
        code = Dispatch(context);
    } catch (const TCliError& error) {
        err << "qv725ctl: " << error.what() << "\n";
        if (error.Code() == ExitCode::Usage) {
            err << UsageHint() << "\n";
        }
        code = static_cast<int>(error.Code());
    } catch (const EHardwareException& error) {
        // The controller refused or failed: the library's own text.
        err << "qv725ctl: " << error.what() << "\n";
        code = static_cast<int>(ExitCode::Failed);
    } catch (const std::exception& error) {
        err << "qv725ctl: " << error.what() << "\n";
        code = static_cast<int>(ExitCode::Failed);
    }
    out.flush();
    if (!out && code == 0 && line.command != "watch") {
        err << "qv725ctl: the output could not be written\n";
        code = static_cast<int>(ExitCode::Failed);
    }
    return code;
}
