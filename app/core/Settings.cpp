// Reading and writing the program's sections and keys of the settings file.
#include "Settings.h"

#include "ColorText.h"
#include "TextEncoding.h"

namespace {

std::string Indexed(const char* stem, int index) {
    return stem + std::to_string(index);
}

TColor ReadColor(const TIniFile& ini, const char* section, const std::string& key,
                 TColor defaultValue) {
    return StringToColor(ini.ReadString(section, key, ColorToString(defaultValue)));
}

void WriteColor(TIniFile& ini, const char* section, const std::string& key, TColor color) {
    ini.WriteString(section, key, ColorToString(color));
}

}  // namespace

int32_t CentredPosition(int32_t screenSize, int32_t windowSize) {
    // div rounds towards minus infinity: an arithmetic shift right by one (defined in C++20).
    return (screenSize >> 1) - (windowSize >> 1);
}

TWindowSettings DefaultWindowSettings(
    int32_t screenWidth, int32_t screenHeight, int32_t windowWidth, int32_t windowHeight,
    const std::array<int32_t, kHistoryColumnCount>& historyColumnWidths,
    const std::array<int32_t, kPresetsColumnCount>& presetsColumnWidths) {
    TWindowSettings settings;
    settings.Left = CentredPosition(screenWidth, windowWidth);
    settings.Top = CentredPosition(screenHeight, windowHeight);
    settings.HistoryColumnWidths = historyColumnWidths;
    settings.PresetsColumnWidths = presetsColumnWidths;
    return settings;
}

TWindowSettings ReadWindowSettings(const TIniFile& ini, const TWindowSettings& defaults) {
    TWindowSettings s;
    s.Left = ini.ReadInteger("General", "Left", defaults.Left);
    s.Top = ini.ReadInteger("General", "Top", defaults.Top);
    s.Channel = ini.ReadInteger("General", "Channel", defaults.Channel);
    if (s.Channel < 0 || s.Channel >= kChannelCount) {
        s.Channel = 0;  // the channel indexes six-element arrays everywhere
    }
    for (int i = 0; i < kChannelCount; ++i) {
        const std::string key = Indexed("Name", i);
        s.ChannelNames[i] = ini.ValueExists("Channels", key)
                                ? StoredTextToUtf8(ini.ReadString("Channels", key, ""))
                                : defaults.ChannelNames[i];
    }
    for (int j = 0; j < kHistoryColumnCount; ++j) {
        s.HistoryColumnWidths[j] =
            ini.ReadInteger("History", Indexed("WithColum", j), defaults.HistoryColumnWidths[j]);
    }
    for (int j = 0; j < kPresetsColumnCount; ++j) {
        s.PresetsColumnWidths[j] =
            ini.ReadInteger("Presets", Indexed("WithColum", j), defaults.PresetsColumnWidths[j]);
    }
    return s;
}

void WriteWindowSettings(TIniFile& ini, const TWindowSettings& s) {
    ini.WriteInteger("General", "Left", s.Left);
    ini.WriteInteger("General", "Top", s.Top);
    ini.WriteInteger("General", "Channel", s.Channel);
    for (int i = 0; i < kChannelCount; ++i) {
        // A name that still reads as the text the file holds keeps the file's bytes (8-bit text
        // of an older install stays 8-bit); a changed one is written as UTF-8.
        const std::string key = Indexed("Name", i);
        const std::string stored = ini.ReadString("Channels", key, "");
        const bool unchanged =
            ini.ValueExists("Channels", key) && StoredTextToUtf8(stored) == s.ChannelNames[i];
        ini.WriteString("Channels", key, unchanged ? stored : s.ChannelNames[i]);
    }
    for (int j = 0; j < kHistoryColumnCount; ++j) {
        ini.WriteInteger("History", Indexed("WithColum", j), s.HistoryColumnWidths[j]);
    }
    for (int j = 0; j < kPresetsColumnCount; ++j) {
        ini.WriteInteger("Presets", Indexed("WithColum", j), s.PresetsColumnWidths[j]);
    }
}

std::array<TColor, kChannelCount> ReadChannelColors(const TIniFile& ini) {
    std::array<TColor, kChannelCount> colors{};
    for (int i = 0; i < kChannelCount; ++i) {
        colors[i] = ReadColor(ini, "Channels", Indexed("Color", i), kDefaultChannelColors[i]);
    }
    return colors;
}

void WriteChannelColors(TIniFile& ini, const std::array<TColor, kChannelCount>& colors) {
    for (int i = 0; i < kChannelCount; ++i) {
        WriteColor(ini, "Channels", Indexed("Color", i), colors[i]);
    }
}

TScopeColors ReadScopeColors(const TIniFile& ini, const TScopeColors& defaults) {
    TScopeColors c;
    c.BackgroundColor = ReadColor(ini, "Scope", "BackgroundColor", defaults.BackgroundColor);
    c.GridColor = ReadColor(ini, "Scope", "GridColor", defaults.GridColor);
    return c;
}

void WriteScopeColors(TIniFile& ini, const TScopeColors& colors) {
    WriteColor(ini, "Scope", "BackgroundColor", colors.BackgroundColor);
    WriteColor(ini, "Scope", "GridColor", colors.GridColor);
}

TGraphColors ReadGraphColors(const TIniFile& ini) {
    const TGraphColors d;
    TGraphColors c;
    c.BackgroundColor = ReadColor(ini, "Graph", "BackgroundColor", d.BackgroundColor);
    c.GridColor = ReadColor(ini, "Graph", "GridColor", d.GridColor);
    c.NumberColor = ReadColor(ini, "Graph", "NumberColor", d.NumberColor);
    c.AlarmColor = ReadColor(ini, "Graph", "AlarmColor", d.AlarmColor);
    c.GraphColor = ReadColor(ini, "Graph", "GraphColor", d.GraphColor);
    c.CursorVColor = ReadColor(ini, "Graph", "CursorVColor", d.CursorVColor);
    c.CursorHColor = ReadColor(ini, "Graph", "CursorHColor", d.CursorHColor);
    return c;
}

void WriteGraphColors(TIniFile& ini, const TGraphColors& colors) {
    WriteColor(ini, "Graph", "BackgroundColor", colors.BackgroundColor);
    WriteColor(ini, "Graph", "GridColor", colors.GridColor);
    WriteColor(ini, "Graph", "NumberColor", colors.NumberColor);
    WriteColor(ini, "Graph", "AlarmColor", colors.AlarmColor);
    WriteColor(ini, "Graph", "GraphColor", colors.GraphColor);
    WriteColor(ini, "Graph", "CursorHColor", colors.CursorHColor);
    WriteColor(ini, "Graph", "CursorVColor", colors.CursorVColor);
}
