// Parsing of typed values: the program's number reader, plus messages that say what to type.
#include "ValueParse.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "CliError.h"
#include "NumberFormat.h"

namespace {

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// Range bounds as typed: 100, 0.5, 9999.
std::string BoundText(double value) {
    std::string text = FormatFixed(value, 15, 6);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

std::string RangeText(double min, double max, std::string_view unit) {
    std::string text = "from " + BoundText(min) + " to " + BoundText(max);
    if (!unit.empty()) {
        text += " " + std::string(unit);
    }
    return text;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace

int ParseChannel(std::string_view text) {
    if (!AllDigits(text) || text.size() > 2 || std::stoi(std::string(text)) < 1 ||
        std::stoi(std::string(text)) > 6) {
        throw UsageError("channel must be a whole number from 1 to 6, not " + Quoted(text));
    }
    return std::stoi(std::string(text)) - 1;
}

std::vector<int> ParseChannelOrAll(std::string_view text) {
    if (Lower(text) == "all") {
        return {0, 1, 2, 3, 4, 5};
    }
    if (!AllDigits(text) || text.size() > 2 || std::stoi(std::string(text)) < 1 ||
        std::stoi(std::string(text)) > 6) {
        throw UsageError("channel must be 'all' or a whole number from 1 to 6, not " +
                         Quoted(text));
    }
    return {std::stoi(std::string(text)) - 1};
}

double ParseNumber(std::string_view what, std::string_view text, double min, double max,
                   std::string_view unit) {
    double value = 0;
    const std::string range = RangeText(min, max, unit);
    if (text.find(',') != std::string_view::npos) {
        std::string dotted(text);
        std::replace(dotted.begin(), dotted.end(), ',', '.');
        throw UsageError(std::string(what) + ": " + Quoted(text) +
                         " is not a number; write decimals with '.', as in " + dotted + " (" +
                         range + ")");
    }
    if (!ParseFloat(text, value) || !std::isfinite(value)) {
        throw UsageError(std::string(what) + ": " + Quoted(text) + " is not a number (" + range +
                         ")");
    }
    if (value < min || value > max) {
        throw UsageError(std::string(what) + " must be " + range + ", not " + std::string(text));
    }
    return value;
}

bool ParseSwitch(std::string_view what, std::string_view text) {
    const std::string lower = Lower(text);
    if (lower == "on" || lower == "1" || lower == "true" || lower == "yes") {
        return true;
    }
    if (lower == "off" || lower == "0" || lower == "false" || lower == "no") {
        return false;
    }
    throw UsageError(std::string(what) + " must be on or off, not " + Quoted(text));
}

double ParseSeconds(std::string_view what, std::string_view text) {
    constexpr double kDay = 86400;
    double value = 0;
    if (text.find(',') != std::string_view::npos || !ParseFloat(text, value) ||
        !std::isfinite(value) || value <= 0 || value > kDay) {
        throw UsageError(std::string(what) + " must be a number of seconds above 0 and at most " +
                         "86400, with '.' for decimals, not " + Quoted(text));
    }
    return value;
}

long ParseCount(std::string_view what, std::string_view text) {
    if (!AllDigits(text) || text.size() > 9 || std::stol(std::string(text)) < 1) {
        throw UsageError(std::string(what) + " must be a whole number of 1 or more, not " +
                         Quoted(text));
    }
    return std::stol(std::string(text));
}
