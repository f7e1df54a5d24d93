// A shared library loaded at run time by name (dlopen / LoadLibrary).
#include "DynamicLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

DynamicLibrary::~DynamicLibrary() {
    Unload();
}

bool DynamicLibrary::Load(const std::string& name) {
    Unload();
#ifdef _WIN32
    handle_ = reinterpret_cast<void*>(LoadLibraryA(name.c_str()));
#else
    // A driver may run threads of its own (the D2XX driver does, per open device): its code
    // stays mapped until the process ends, even after the last dlclose.
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
#endif
    return handle_ != nullptr;
}

void* DynamicLibrary::Symbol(const char* symbol) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), symbol));
#else
    return dlsym(handle_, symbol);
#endif
}

void DynamicLibrary::Unload() {
    if (handle_ == nullptr) {
        return;
    }
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
}
