#include "tracking/hook_library_win32.h"

#include "base/libraries.h"

namespace horalis {

void HookLibrary::load() {
    unload();
    module_ = loadFromProgramFolder(kHookLibraryName);
    if (!module_) return;
    FARPROC entry = GetProcAddress(module_.get(), kSetHooksExport);
    setHooks_ = reinterpret_cast<SetHooksFn>(reinterpret_cast<void*>(entry));
}

void HookLibrary::install(HWND window) {
    if (!setHooks_) return;
    setHooks_(1, window);
    window_ = window;
}

void HookLibrary::reinstall() {
    if (!installed()) return;
    setHooks_(0, window_);
    setHooks_(1, window_);
}

void HookLibrary::unload() {
    if (setHooks_ && window_) setHooks_(0, window_);
    window_ = nullptr;
    setHooks_ = nullptr;
    module_.reset();
}

}  // namespace horalis
