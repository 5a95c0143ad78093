// A window of the store applications' frame host counts under the process of
// the window it hosts: a stand-in ApplicationFrameHost.exe frames a child
// window of this driver.
#include <windows.h>

#include <string>

#include "e2e/commands.h"
#include "e2e/driver_window.h"
#include "e2e/framework.h"
#include "e2e/session.h"
#include "e2e/ui.h"
#include "base/handles.h"

namespace {

using e2e::Milliseconds;
using e2e::Window;

constexpr int kAppList = e2e::kAppListId;
constexpr UINT kBringToFront = WM_APP + 1;  // understood by the stand-in frame
constexpr const wchar_t* kFrameTitle = L"Hosted application frame";

std::wstring hostPath() { return e2e::config().driverFolder + L"\\ApplicationFrameHost.exe"; }

// Seconds in a row's time column ("12 sec"); -1 without a row for the path.
int secondsOf(const e2e::ListView& apps, const std::wstring& path) {
    for (int row = 0; row < apps.rowCount(); ++row)
        if (_wcsicmp(apps.cellText(row, 0).c_str(), path.c_str()) == 0) return _wtoi(apps.cellText(row, 1).c_str());
    return -1;
}

}  // namespace

E2E_TEST_WITH_DEADLINE(frame_host_windows_count_under_the_hosted_application, 90) {
    e2e::Session session(tmp);
    session.start();
    Window main = session.waitMainWindow();
    e2e::ListView apps(main.control(kAppList).handle());

    std::wstring commandLine = L"\"" + hostPath() + L"\" " + kFrameTitle;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(hostPath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        tmp.path().c_str(), &startup, &started))
        FAIL(L"cannot start " + hostPath());
    CloseHandle(started.hThread);
    horalis::KernelHandle host(started.hProcess);
    e2e::trackProcess(host.get());
    Window frame;
    ASSERT_TRUE(e2e::waitUntil([&] { return bool(frame = e2e::findTopLevel(started.dwProcessId, L"ApplicationFrameWindow", kFrameTitle)); }));
    auto frameToFront = [&] {
        return e2e::waitUntil([&] {
            SendMessageW(frame.handle(), kBringToFront, 0, 0);
            return GetForegroundWindow() == frame.handle();
        }, Milliseconds(3000), Milliseconds(50));
    };

    // No hosted window yet (an application still starting): the host counts.
    ASSERT_TRUE(frameToFront());
    EXPECT_TRUE(e2e::waitUntil([&] { return secondsOf(apps, hostPath()) >= 2; }));
    EXPECT_EQ(secondsOf(apps, e2e::driverPath()), -1);

    // A child window of this driver inside the frame: from now on the time
    // goes to the driver's executable and the host's stands still.
    e2e::DriverWindow driver(L"Driver beside the frame");
    HWND hosted = nullptr;
    driver.runOnWindowThread([&] {
        hosted = CreateWindowExW(0, L"Static", L"hosted content", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100,
                                 frame.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    });
    ASSERT_TRUE(hosted != nullptr);
    EXPECT_TRUE(GetParent(hosted) == frame.handle());
    ASSERT_TRUE(frameToFront());
    EXPECT_TRUE(e2e::waitUntil([&] { return secondsOf(apps, e2e::driverPath()) >= 3; }));
    const int hostBefore = secondsOf(apps, hostPath());
    Sleep(1500);
    e2e::note(L"host seconds " + e2e::show(hostBefore) + L" then " + e2e::show(secondsOf(apps, hostPath())) +
              L", driver seconds " + e2e::show(secondsOf(apps, e2e::driverPath())));
    EXPECT_EQ(secondsOf(apps, hostPath()), hostBefore);

    driver.runOnWindowThread([&] { DestroyWindow(hosted); });
    e2e::untrackProcess(host.get());
    TerminateProcess(host.get(), 0);
    WaitForSingleObject(host.get(), 5000);
    session.stop();
}
