// The program's version text: read from the program's version resource on Windows, compiled in
// from the build's version settings elsewhere.
#include "Version.h"

#ifdef _WIN32
// windows.h declares a GetVersion of its own (the system's version number); renamed while it
// is read, it stays out of the way of the program's GetVersion.
#define GetVersion GetVersionOfWindows
#include <windows.h>
#undef GetVersion

#include <cstdio>
#include <vector>

std::string GetFileVersionText(const std::string& path) {
    std::string result;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) {
        return result;
    }
    // The buffer is owned by the vector, so it is freed on every path out of here.
    std::vector<char> buffer(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, buffer.data())) {
        return result;
    }
    void* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &translation, &length) ||
        translation == nullptr || length < 4) {
        return result;
    }
    const auto* words = static_cast<const WORD*>(translation);
    char block[9];
    std::snprintf(block, sizeof block, "%08lX",
                  static_cast<unsigned long>(words[0]) * 65536UL + words[1]);
    const std::string query = std::string("\\StringFileInfo\\") + block + "\\FileVersion";
    void* text = nullptr;
    if (VerQueryValueA(buffer.data(), query.c_str(), &text, &length) && text != nullptr &&
        length > 0) {
        // The value may or may not count its terminating zero; stop at the first zero.
        const char* chars = static_cast<const char*>(text);
        size_t n = 0;
        while (n < length && chars[n] != '\0') {
            ++n;
        }
        result.assign(chars, n);
    }
    return result;
}

std::string GetVersion() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return {};
    }
    return GetFileVersionText(path);
}

#else

#include "VersionInfo.h"

std::string GetVersion() {
    return KELVANE_FILE_VERSION;
}

#endif
