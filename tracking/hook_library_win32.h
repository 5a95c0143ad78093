#pragma once
// kbdh.dll and its SetHooks entry, as Horalis.exe and HoralisReporter.exe use them.
#include <windows.h>

#include "tracking/input_hook.h"
#include "base/handles.h"

namespace horalis {

class HookLibrary {
public:
    HookLibrary() = default;
    ~HookLibrary() { unload(); }
    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;

    // Loads the library from the program's own folder only (one planted in
    // the current folder or on PATH must never be loaded) and looks up SetHooks.
    void load();
    bool loaded() const { return bool(module_); }
    bool hasSetHooks() const { return setHooks_ != nullptr; }

    // SetHooks(1, window): window gets the activity message from now on.
    void install(HWND window);
    bool installed() const { return window_ != nullptr; }
    // SetHooks(0) then SetHooks(1) for the same window: the hooks went quiet.
    void reinstall();
    // SetHooks(0, window) if installed, then frees the library.
    void unload();

private:
    Module module_;
    SetHooksFn setHooks_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace horalis
