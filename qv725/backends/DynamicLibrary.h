// A shared library loaded at run time by name (dlopen / LoadLibrary), unloaded on destruction.
#pragma once

#include <string>

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads name through the system's ordinary library search; false when it cannot be found.
    bool Load(const std::string& name);
    bool Loaded() const { return handle_ != nullptr; }
    // The address of symbol, or nullptr when the library lacks it.
    void* Symbol(const char* symbol) const;
    void Unload();

private:
    void* handle_ = nullptr;
};
