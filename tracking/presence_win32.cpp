#include "tracking/presence_win32.h"

#include <windows.h>
#include <audiopolicy.h>
#include <shellapi.h>

#include <string>

#include "tracking/foreground_app.h"

namespace horalis {
namespace {

std::wstring processImage(DWORD processId) {
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &size)) return {};
    return std::wstring(path, size);
}

bool samePath(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// An active session of one of the device's sessions belongs to the process,
// or to another process of the same executable: browsers play sound from a
// helper process of their own, not the one that owns the window.
bool deviceHasActiveSession(IMMDevice* device, DWORD processId, const std::wstring& image) {
    void* raw = nullptr;
    if (FAILED(device->Activate(__uuidof(IAudioSessionManager2), CLSCTX_ALL, nullptr, &raw))) return false;
    const Com<IAudioSessionManager2> manager(static_cast<IAudioSessionManager2*>(raw));
    IAudioSessionEnumerator* rawSessions = nullptr;
    if (FAILED(manager.get()->GetSessionEnumerator(&rawSessions))) return false;
    const Com<IAudioSessionEnumerator> sessions(rawSessions);
    int count = 0;
    if (FAILED(sessions.get()->GetCount(&count))) return false;
    for (int i = 0; i < count; ++i) {
        IAudioSessionControl* rawControl = nullptr;
        if (FAILED(sessions.get()->GetSession(i, &rawControl))) continue;
        const Com<IAudioSessionControl> control(rawControl);
        AudioSessionState state = AudioSessionStateInactive;
        if (FAILED(control.get()->GetState(&state)) || state != AudioSessionStateActive) continue;
        void* rawControl2 = nullptr;
        if (FAILED(control.get()->QueryInterface(__uuidof(IAudioSessionControl2), &rawControl2))) continue;
        const Com<IAudioSessionControl2> control2(static_cast<IAudioSessionControl2*>(rawControl2));
        // S_OK only: AUDCLNT_S_NO_SINGLE_PROCESS names no one process.
        DWORD owner = 0;
        if (control2.get()->GetProcessId(&owner) != S_OK || owner == 0) continue;
        if (owner == processId || samePath(processImage(owner), image)) return true;
    }
    return false;
}

}  // namespace

bool Win32PresenceSignals::foregroundPlaysSound() {
    HWND window = GetForegroundWindow();
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId) || processId == 0) return false;
    // A store application's sound comes from its own process, not the frame host's.
    String path;
    if (!identifyForegroundApplication(reinterpret_cast<WindowRef>(window), path)) return false;
    const std::wstring image = toWide(path);
    if (!devices_) {
        void* raw = nullptr;
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(IMMDeviceEnumerator), &raw)))
            return false;
        devices_.reset(static_cast<IMMDeviceEnumerator*>(raw));
    }
    // Every active output, not only the default: a call often plays on a headset.
    IMMDeviceCollection* rawCollection = nullptr;
    if (FAILED(devices_.get()->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &rawCollection))) return false;
    const Com<IMMDeviceCollection> collection(rawCollection);
    UINT count = 0;
    if (FAILED(collection.get()->GetCount(&count))) return false;
    for (UINT i = 0; i < count; ++i) {
        IMMDevice* rawDevice = nullptr;
        if (FAILED(collection.get()->Item(i, &rawDevice))) continue;
        const Com<IMMDevice> device(rawDevice);
        if (deviceHasActiveSession(device.get(), processId, image)) return true;
    }
    return false;
}

// QUNS_BUSY: a full-screen application or presentation settings;
// QUNS_RUNNING_D3D_FULL_SCREEN: a full-screen Direct3D program (games, some
// players); QUNS_PRESENTATION_MODE: Windows' own presentation mode.
bool Win32PresenceSignals::screenHeld() {
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(SHQueryUserNotificationState(&state))) return false;
    return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE;
}

}  // namespace horalis
