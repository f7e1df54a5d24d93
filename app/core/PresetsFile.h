// The preset store's place in the settings file: section "Presets", key "List", the preset
// stream as hexadecimal text.
#pragma once

#include "IniFile.h"
#include "Params.h"

// Loads `params` from "Presets"/"List" when that key exists (HexToBytes, then LoadFromStream
// from the start of the decoded bytes); returns false and leaves `params` as it is when the key
// is absent. A damaged value throws the load's error ("Stream read error" or "Invalid property
// value"); `params` then keeps its contents, params.LoadFailed() is true, and the settings
// object is unchanged, so the file on disk stays as it was.
bool LoadPresets(const TIniFile& ini, TParams& params);

// Stores `params` as "Presets"/"List" (SaveToStream into an empty buffer, upper-case hex).
// Does nothing when params.LoadFailed(): a store that failed to load never replaces the value
// it was loaded from.
void SavePresets(TIniFile& ini, const TParams& params);
