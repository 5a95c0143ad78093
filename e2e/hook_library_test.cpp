// kbdh.dll on its own: loaded by the driver, reporting to the driver's window.
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/ui.h"
#include "tracking/input_hook.h"
#include "base/handles.h"

namespace {

using e2e::DriverWindow;
using e2e::Milliseconds;

void moveMouse(int dx) {
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = dx;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof(INPUT));
}

// Keeps the user busy for a while: a key press or a mouse move every 50 ms.
void typeFor(Milliseconds duration) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(duration.count());
    for (int step = 0; GetTickCount64() < end; ++step) {
        if (step % 2 == 0) e2e::tapKey(VK_SHIFT); else moveMouse(step % 4 == 1 ? 3 : -3);
        Sleep(50);
    }
}

class HookLibrary {
public:
    HookLibrary() : module_(LoadLibraryW((e2e::config().appFolder + L"\\kbdh.dll").c_str())) {
        if (!module_) FAIL(L"cannot load kbdh.dll from " + e2e::config().appFolder);
        setHooks_ = reinterpret_cast<horalis::SetHooksFn>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), horalis::kSetHooksExport)));
        if (setHooks_ == nullptr) FAIL(L"kbdh.dll does not export SetHooks");
    }
    // Low-level hooks run on the thread that set them, so they are set on the
    // receiving window's thread, which pumps messages.
    void set(DriverWindow& window, bool on) {
        window.runOnWindowThread([&] { setHooks_(on ? 1 : 0, window.handle()); });
    }

private:
    horalis::Module module_;
    horalis::SetHooksFn setHooks_ = nullptr;
};

}  // namespace

E2E_TEST(hook_library_reports_input_about_once_a_second_until_removed) {
    DriverWindow receiver(L"Hook receiver");
    HookLibrary library;
    library.set(receiver, true);
    const auto activity = [&] { return receiver.received(horalis::kWmHookActivity); };

    Sleep(300);
    EXPECT_EQ(activity(), 0);  // no input, no message

    // A single key press after a quiet spell is reported at once.
    e2e::tapKey(VK_SHIFT);
    EXPECT_TRUE(e2e::waitUntil([&] { return activity() == 1; }, Milliseconds(500)));

    // Busy for 2.5 s: reported about once a second, not once per event.
    Sleep(1100);
    const int before = activity();
    typeFor(Milliseconds(2500));
    Sleep(200);
    const int during = activity() - before;
    EXPECT_TRUE(during >= 2 && during <= 4);
    if (during < 2 || during > 4) e2e::note(L"messages while busy: " + std::to_wstring(during));

    // Removed: input goes unreported.
    library.set(receiver, false);
    const int afterRemoval = activity();
    typeFor(Milliseconds(1500));
    Sleep(200);
    EXPECT_EQ(activity(), afterRemoval);
}
