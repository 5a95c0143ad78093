// kbdh.dll on its own: loaded by the driver, reporting to the driver's window.
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/ui.h"
#include "tracking/input_hook.h"
#include "base/handles.h"

namespace {

using e2e::DriverWindow;
using e2e::Milliseconds;

class HookLibrary {
public:
    HookLibrary() : module_(LoadLibraryW((e2e::config().appFolder + L"\\kbdh.dll").c_str())) {
        if (!module_) FAIL(L"cannot load kbdh.dll from " + e2e::config().appFolder);
        setHooks_ = reinterpret_cast<horalis::SetHooksFn>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), horalis::kSetHooksExport)));
        if (setHooks_ == nullptr) FAIL(L"kbdh.dll does not export SetHooks");
    }
    // Set from the receiving window's thread, as the program does from its own.
    void set(DriverWindow& window, bool on) {
        window.runOnWindowThread([&] { setHooks_(on ? 1 : 0, window.handle()); });
    }
    void setHere(HWND window, bool on) { setHooks_(on ? 1 : 0, window); }

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
    e2e::workFor(Milliseconds(2500), Milliseconds(50));
    Sleep(200);
    const int during = activity() - before;
    EXPECT_TRUE(during >= 2 && during <= 4);
    if (during < 2 || during > 4) e2e::note(L"messages while busy: " + std::to_wstring(during));

    // Removed: input goes unreported.
    library.set(receiver, false);
    const int afterRemoval = activity();
    e2e::workFor(Milliseconds(1500), Milliseconds(50));
    Sleep(200);
    EXPECT_EQ(activity(), afterRemoval);
}

// A program's thread that sets the hooks and then goes busy (the splash pause,
// a long export) must not hold up the user's input or lose it: Windows removes
// a low-level hook that does not answer within LowLevelHooksTimeout, for good.
E2E_TEST(hook_library_reports_input_at_once_while_the_thread_that_set_the_hooks_is_busy) {
    DriverWindow receiver(L"Hook receiver");
    HookLibrary library;
    const auto activity = [&] { return receiver.received(horalis::kWmHookActivity); };
    struct Busy {
        HookLibrary& library;
        HWND window;
    } busy{library, receiver.handle()};
    horalis::KernelHandle thread(CreateThread(nullptr, 0, [](void* p) -> DWORD {
        auto* b = static_cast<Busy*>(p);
        b->library.setHere(b->window, true);
        Sleep(3000);  // a busy thread: no messages handled
        return 0;
    }, &busy, 0, nullptr));
    Sleep(800);

    const ULONGLONG injected = GetTickCount64();
    e2e::tapKey(VK_SHIFT);
    const ULONGLONG returned = GetTickCount64();
    const bool arrived = e2e::waitUntil([&] { return activity() >= 1; }, Milliseconds(2000), Milliseconds(5));
    const ULONGLONG delay = GetTickCount64() - injected;
    e2e::note(L"busy thread: SendInput took " + e2e::show(returned - injected) + L" ms, the report came after " +
              (arrived ? e2e::show(delay) + L" ms" : std::wstring(L"none within 2 s")));
    EXPECT_TRUE(returned - injected < 300);
    EXPECT_TRUE(arrived && delay < 500);

    // Input inside the quiet second still arrives, at its end, with nothing after it.
    Sleep(2200);  // past the trailing report of that key's release
    const int before = activity();
    e2e::tapKey(VK_SHIFT);
    Sleep(300);
    e2e::tapKey(VK_SHIFT);
    EXPECT_TRUE(e2e::waitUntil([&] { return activity() == before + 2; }, Milliseconds(1500)));
    Sleep(1200);
    EXPECT_EQ(activity(), before + 2);

    WaitForSingleObject(thread.get(), 5000);
    library.setHere(receiver.handle(), false);
    const int afterRemoval = activity();
    e2e::tapKey(VK_SHIFT);
    Sleep(300);
    EXPECT_EQ(activity(), afterRemoval);
}
