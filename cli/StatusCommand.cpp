// One reading, as a table or as one JSON document.
#include "StatusCommand.h"

#include "ChannelJson.h"
#include "ChannelText.h"
#include "Controller.h"
#include "SettingsSource.h"

TJsonWriter StatusJson(const TReading& reading, const TChannelNames& names, bool pretty,
                       long number, const std::string& time) {
    TJsonWriter json(pretty);
    json.BeginObject().Key("schema").Int(kJsonSchema);
    if (number > 0) {
        json.Key("reading").Int(number).Key("time").String(time);
    }
    json.Key("channels").BeginArray();
    for (int i = 0; i < 6; ++i) {
        WriteChannelStatus(json, i, names[i], reading.channels[i]);
    }
    json.EndArray().EndObject();
    return json;
}

int RunStatus(const TContext& context) {
    const TChannelNames names =
        ReadChannelNames(SettingsFileFor(context.line.settings), context.err);
    TController controller(context.line.port);
    const TReading reading = ReadAll(controller);
    if (context.line.json) {
        context.PrintJson(StatusJson(reading, names, true));
    } else {
        context.out << StatusTable(reading, names);
    }
    return 0;
}
