// Fuzzes LoadFromStream: any bytes either load or fail with the stream's own errors leaving the
// store as it was; a loaded store saves and loads again to the same store and the same bytes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "Exceptions.h"
#include "Params.h"

namespace {

bool SameStore(const TParams& a, const TParams& b) {
    if (a.Count() != b.Count() || a.ActiveIndex() != b.ActiveIndex()) {
        return false;
    }
    for (int i = 0; i < a.Count(); ++i) {
        if (a.Items(i).Name != b.Items(i).Name || a.Items(i).Channels != b.Items(i).Channels) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TParams params;
    const TParams untouched;
    TMemoryStream input(std::span<const uint8_t>(data, size));
    try {
        params.LoadFromStream(input);
    } catch (const EReadError&) {
        if (!params.LoadFailed() || !SameStore(params, untouched))
            std::abort();
        return 0;
    } catch (const EPropertyError&) {
        if (!params.LoadFailed() || !SameStore(params, untouched))
            std::abort();
        return 0;
    }
    if (params.Active() == nullptr || params.Count() < 1) {
        std::abort();
    }
    TMemoryStream first;
    params.SaveToStream(first);
    TParams again;
    first.Seek(0);
    again.LoadFromStream(first);
    if (!SameStore(params, again)) {
        std::abort();
    }
    TMemoryStream second;
    again.SaveToStream(second);
    if (second.Bytes() != first.Bytes()) {
        std::abort();
    }
    return 0;
}
