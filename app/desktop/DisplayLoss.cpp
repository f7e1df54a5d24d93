// The exit hook behind TDisplayLossGuard.
#include "DisplayLoss.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::function<void()>* armedSave = nullptr;
bool hookInstalled = false;

extern "C" void OnProcessExit() {
    if (TDisplayLossGuard::RunArmedSave()) {
        std::fflush(nullptr);
        // Nothing of the program may run after this: its windows are gone with the display.
        _exit(0);
    }
}

}  // namespace

TDisplayLossGuard::TDisplayLossGuard(std::function<void()> saveSettings) {
    delete armedSave;
    armedSave = new std::function<void()>(std::move(saveSettings));
    if (!hookInstalled) {
        hookInstalled = std::atexit(OnProcessExit) == 0;
    }
}

TDisplayLossGuard::~TDisplayLossGuard() {
    delete armedSave;
    armedSave = nullptr;
}

bool TDisplayLossGuard::RunArmedSave() {
    std::function<void()>* save = armedSave;
    if (save == nullptr)
        return false;
    armedSave = nullptr;
    try {
        (*save)();
    } catch (...) {
        std::fputs("Kelvane: the settings could not be written.\n", stderr);
    }
    delete save;
    return true;
}
