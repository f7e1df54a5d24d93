// Strict reading of the values a user types: channels, numbers with their accepted range, and
// switches. Every refusal is a usage error that names what is accepted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A channel as users number them, "1" to "6"; returns 0 to 5.
int ParseChannel(std::string_view text);
// "all" (channels 0 to 5) or one channel.
std::vector<int> ParseChannelOrAll(std::string_view text);

// A decimal number with "." as the decimal separator, from min to max inclusive. `what` names
// the value in messages ("tmax", "PERCENT"), `unit` follows the range in them ("°C", "%").
double ParseNumber(std::string_view what, std::string_view text, double min, double max,
                   std::string_view unit);

// on/off (also 1/0, true/false, yes/no; any letter case).
bool ParseSwitch(std::string_view what, std::string_view text);

// A number of seconds above 0 and at most a day, for --interval.
double ParseSeconds(std::string_view what, std::string_view text);
// A whole number of 1 or more, for --count.
long ParseCount(std::string_view what, std::string_view text);
