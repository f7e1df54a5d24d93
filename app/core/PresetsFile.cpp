// The preset store's value "Presets"/"List" in the settings file.
#include "PresetsFile.h"

namespace {
constexpr const char* kSection = "Presets";
constexpr const char* kKey = "List";
}  // namespace

bool LoadPresets(const TIniFile& ini, TParams& params) {
    const auto bytes = ini.ReadBinaryHex(kSection, kKey);
    if (!bytes) {
        return false;
    }
    TMemoryStream stream(*bytes);
    params.LoadFromStream(stream);
    return true;
}

void SavePresets(TIniFile& ini, const TParams& params) {
    if (params.LoadFailed()) {
        return;  // keep the stored value: it holds the user's presets we could not read
    }
    TMemoryStream stream;
    params.SaveToStream(stream);
    ini.WriteBinaryHex(kSection, kKey, stream.Bytes());
}
