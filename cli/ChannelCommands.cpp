// One channel: its parameter set read, changed and sent; its PWM driven by hand.
#include "ChannelCommands.h"

#include "ChannelJson.h"
#include "ChannelText.h"
#include "ChannelUnits.h"
#include "CliError.h"
#include "Controller.h"
#include "ParamEdits.h"
#include "SettingsSource.h"
#include "ValueParse.h"

namespace {

std::string NameOf(const TContext& context, int channel) {
    return ReadChannelNames(SettingsFileFor(context.line.settings), context.err)[channel];
}

void PrintParamsJson(const TContext& context, int channel, const std::string& name,
                     const TChannelParams& params) {
    TJsonWriter json(true);
    json.BeginObject().Key("schema").Int(kJsonSchema);
    json.Key("channel").Int(channel + 1).Key("name").String(name);
    WriteParamsMembers(json, params);
    json.EndObject();
    context.PrintJson(json);
}

}  // namespace

int RunGet(const TContext& context) {
    const int channel = ParseChannel(context.line.args[0]);
    const std::string name = NameOf(context, channel);
    TController controller(context.line.port);
    const TChannelParams params = controller.Params(channel);
    if (context.line.json) {
        PrintParamsJson(context, channel, name, params);
    } else {
        context.out << ParamsBlock(channel, name, params);
    }
    return 0;
}

int RunSet(const TContext& context) {
    const int channel = ParseChannel(context.line.args[0]);
    const TParamEdits edits = TParamEdits::Parse(
        std::vector<std::string>(context.line.args.begin() + 1, context.line.args.end()));
    const std::string name = NameOf(context, channel);
    TController controller(context.line.port);
    TChannelParams params = controller.Params(channel);
    // The set carries the channel's PWM as it is now: switching automatic control off keeps
    // the fan at the speed the curve gave it.
    params.PWM = controller.Pwm()[channel];
    edits.ApplyTo(params);
    controller.SendParams(channel, params);
    if (context.line.json) {
        PrintParamsJson(context, channel, name, params);
    } else {
        context.out << ChannelTitle(channel, name) << ": sent " << ParamsLine(params) << "\n";
    }
    return 0;
}

int RunPwm(const TContext& context) {
    const int channel = ParseChannel(context.line.args[0]);
    const int32_t pwm = PwmFromPercent(ParseNumber("PERCENT", context.line.args[1], 0, 100, "%"));
    const std::string name = NameOf(context, channel);
    TController controller(context.line.port);
    if (controller.Params(channel).Auto != 0) {
        throw TCliError(ExitCode::Failed,
                        "channel " + std::to_string(channel + 1) +
                            " is under automatic control; nothing was sent. Switch it to manual "
                            "first: qv725ctl set " +
                            std::to_string(channel + 1) + " auto=off");
    }
    TSix outputs = controller.Pwm();
    outputs[channel] = pwm;
    controller.SendPwm(outputs);
    if (context.line.json) {
        TJsonWriter json(true);
        json.BeginObject().Key("schema").Int(kJsonSchema);
        json.Key("channel").Int(channel + 1).Key("name").String(name);
        json.Key("pwm").Tenths(PercentTenths(pwm)).Key("pwm_raw").Int(pwm);
        json.Key("volts").Tenths(VoltTenths(pwm));
        json.EndObject();
        context.PrintJson(json);
    } else {
        context.out << ChannelTitle(channel, name) << ": PWM " << TenthsText(PercentTenths(pwm))
                    << " % (" << TenthsText(VoltTenths(pwm)) << " V)\n";
    }
    return 0;
}
