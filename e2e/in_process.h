#pragma once
// e2e/in_process_hook.cpp, hooked into the thread of a window of the program:
// what a case needs done or read inside the program's own process.
#include <windows.h>

#include "base/handles.h"
#include "e2e/framework.h"
#include "e2e/ui.h"

namespace e2e {

class InProcess {
public:
    explicit InProcess(const Window& window) {
        library_.reset(LoadLibraryW((config().driverFolder + L"\\in-process-hook.dll").c_str()));
        auto proc = library_ ? reinterpret_cast<HOOKPROC>(
                                   reinterpret_cast<void*>(GetProcAddress(library_.get(), "inProcessHook")))
                             : nullptr;
        if (proc)
            hook_ = SetWindowsHookExW(WH_GETMESSAGE, proc, library_.get(),
                                      GetWindowThreadProcessId(window.handle(), nullptr));
    }
    ~InProcess() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    InProcess(const InProcess&) = delete;
    InProcess& operator=(const InProcess&) = delete;

    bool ready() const { return hook_ != nullptr; }
    // The actions are listed in e2e/in_process_hook.cpp.
    void request(const Window& target, WPARAM action, LPARAM value) const {
        target.post(RegisterWindowMessageW(L"horalis-e2e-in-process"), action, value);
    }

    // The font a control of the window drew with at the last readFonts
    // (action 4): its height in pixels, and whether it is underlined; 0 when
    // it has none.
    struct ControlFont {
        int height = 0;
        bool underlined = false;
    };
    ControlFont fontOf(const Window& control) const {
        const auto value = reinterpret_cast<INT_PTR>(GetPropW(control.handle(), L"e2e.font"));
        return {static_cast<int>(value >> 1), (value & 1) != 0};
    }
    // Asks for the fonts of the window's controls and waits for them.
    bool readFonts(const Window& window) {
        const INT_PTR round = ++fontRounds_;
        request(window, 4, round);
        return waitUntil([&] { return reinterpret_cast<INT_PTR>(GetPropW(window.handle(), L"e2e.fonts")) == round; },
                         Milliseconds(2000));
    }

private:
    horalis::Module library_;
    HHOOK hook_ = nullptr;
    INT_PTR fontRounds_ = 0;
};

}  // namespace e2e
