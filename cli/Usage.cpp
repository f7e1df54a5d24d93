// Help and version texts. The man page qv725ctl.1 says the same at length.
#include "Usage.h"

#include "Version.h"

std::string UsageText() {
    return "Usage: qv725ctl [OPTION]... COMMAND [ARGUMENT]...\n"
           "Reads and sets the QV-725 fan controller from scripts and terminals.\n"
           "\n"
           "Commands:\n"
           "  list                      the ports the library sees and which is the controller\n"
           "  status                    the six channels: name, temperature, fan, PWM, mode,\n"
           "                            alarms\n"
           "  watch                     status again and again until Ctrl+C\n"
           "      --interval SECONDS    time from one reading to the next (default 1)\n"
           "      --count N             stop after N readings\n"
           "      --export DIR          keep hwmon-style files (tempN_input, fanN_input, pwmN)\n"
           "                            and qv725.prom in DIR, replaced at every reading\n"
           "  get CHANNEL               a channel's parameters\n"
           "  set CHANNEL KEY=VALUE...  change a channel's parameters and send them:\n"
           "                            tmin tmax talarm (0 to 100 °C), pmin pmax (0 to 100 %),\n"
           "                            valarm (0 to 9999 rpm), boost auto ta va (on/off)\n"
           "  pwm CHANNEL PERCENT       drive a channel by hand (0 to 100 %); refused while the\n"
           "                            channel is under automatic control\n"
           "  save CHANNEL|all          store parameters in the controller's EEPROM\n"
           "  recall CHANNEL|all        reload parameters from the controller's EEPROM\n"
           "  preset list               the presets of the settings file\n"
           "  preset apply NAME         send a preset's six channels to the controller\n"
           "\n"
           "Channels are numbered 1 to 6. Decimals are written with '.'.\n"
           "\n"
           "Options:\n"
           "  --json            print one JSON document (watch: one JSON line per reading)\n"
           "  --port PORT       use only this port: a device path or serial:<USB serial number>\n"
           "  --settings FILE   the settings file for channel names and presets (default: the\n"
           "                    one Kelvane uses)\n"
           "  -h, --help        show this help\n"
           "  --version         show the version\n"
           "\n"
           "Exit codes: 0 done; 1 the controller refused or failed, or a file could not be read\n"
           "or written; 2 bad command line (nothing was sent); 3 no controller found; 4 the\n"
           "port is in use by another program.\n";
}

std::string UsageHint() {
    return "Try 'qv725ctl --help' for more information.";
}

std::string VersionText() {
    const std::string version = GetVersion();
    return "qv725ctl " + (version.empty() ? std::string("(unknown version)") : version);
}
