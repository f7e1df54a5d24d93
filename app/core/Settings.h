// The program's sections and keys in the settings file, without any window: what the main
// window's LoadSettings/SaveSettings and its construction/destroy steps read and write.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "Color.h"
#include "IniFile.h"

inline constexpr int kChannelCount = 6;
inline constexpr int kHistoryColumnCount = 6;
inline constexpr int kPresetsColumnCount = 2;

// Column widths of the layout, the defaults when the file holds none.
inline constexpr std::array<int32_t, kHistoryColumnCount> kDefaultHistoryColumnWidths = {
    43, 120, 70, 70, 55, 55};
inline constexpr std::array<int32_t, kPresetsColumnCount> kDefaultPresetsColumnWidths = {30, 300};

// Window-side settings: "General" Left, Top, Channel; "Channels" Name0..Name5; "History"
// WithColum0..5; "Presets" WithColum0..1.
struct TWindowSettings {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Channel = 0;  // SelectedChannel, always 0 to 5 after ReadWindowSettings
    std::array<std::string, kChannelCount> ChannelNames;
    std::array<int32_t, kHistoryColumnCount> HistoryColumnWidths = kDefaultHistoryColumnWidths;
    std::array<int32_t, kPresetsColumnCount> PresetsColumnWidths = kDefaultPresetsColumnWidths;
};

// (screen div 2) - (window div 2), div rounding towards minus infinity.
int32_t CentredPosition(int32_t screenSize, int32_t windowSize);

// Defaults of a first start: the window centred on the screen, channel 0, empty names, and the
// column widths the lists have now.
TWindowSettings DefaultWindowSettings(
    int32_t screenWidth, int32_t screenHeight, int32_t windowWidth, int32_t windowHeight,
    const std::array<int32_t, kHistoryColumnCount>& historyColumnWidths =
        kDefaultHistoryColumnWidths,
    const std::array<int32_t, kPresetsColumnCount>& presetsColumnWidths =
        kDefaultPresetsColumnWidths);

// The reading side of LoadSettings: each key, or its value in `defaults` when it is absent or
// not a valid integer. A "Channel" outside 0 to 5 gives 0. Names come back trimmed, as UTF-8
// (StoredTextToUtf8: 8-bit names of older files are Windows-1252), whatever their length.
TWindowSettings ReadWindowSettings(const TIniFile& ini, const TWindowSettings& defaults);
// The writing side of SaveSettings, in this order: "General" Left, Top, Channel; "Channels"
// Name0..Name5; "History" WithColum0..5; "Presets" WithColum0..1. A name equal to what its
// stored value reads as is written back with the stored bytes unchanged; other names as UTF-8.
void WriteWindowSettings(TIniFile& ini, const TWindowSettings& settings);

// Trace colours, "Channels" Color0..Color5.
inline constexpr std::array<TColor, kChannelCount> kDefaultChannelColors = {
    clGreen, clRed, clBlue, clLime, clFuchsia, clMaroon};

// "Scope" colours of the scope widget.
struct TScopeColors {
    TColor BackgroundColor = clBlack;
    TColor GridColor = 0x00408000;
};

// "Graph" colours of the regulation curve graph.
struct TGraphColors {
    TColor BackgroundColor = clWhite;
    TColor GridColor = 0x00DDDDDD;
    TColor NumberColor = clBlack;
    TColor AlarmColor = clRed;
    TColor GraphColor = clGray;
    TColor CursorVColor = clRed;
    TColor CursorHColor = clGreen;
};

// The colour readers take each key's default when it is absent and throw EConvertError
// ("'%s' is not a valid integer value") when a value is neither a colour name nor an integer.
std::array<TColor, kChannelCount> ReadChannelColors(const TIniFile& ini);
void WriteChannelColors(TIniFile& ini, const std::array<TColor, kChannelCount>& colors);

// `defaults` carries the scope widget's own colours (its background is clBlack).
TScopeColors ReadScopeColors(const TIniFile& ini, const TScopeColors& defaults = {});
// Writes BackgroundColor, GridColor.
void WriteScopeColors(TIniFile& ini, const TScopeColors& colors);

TGraphColors ReadGraphColors(const TIniFile& ini);
// Writes BackgroundColor, GridColor, NumberColor, AlarmColor, GraphColor, CursorHColor,
// CursorVColor, in this order.
void WriteGraphColors(TIniFile& ini, const TGraphColors& colors);
