#include "e2e/session.h"

#include "e2e/commands.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace e2e {
namespace {

constexpr const wchar_t* kProgramName = L"Horalis.exe";
constexpr const wchar_t* kHookLibraryName = L"kbdh.dll";
// Built beside this driver: a kbdh.dll without the SetHooks export.
constexpr const wchar_t* kHookLibraryWithoutExport = L"kbdh-without-sethooks.dll";

std::wstring upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towupper(c); });
    return text;
}

std::wstring variableName(const std::wstring& entry) {
    // Entries like "=C:=C:\\folder" keep their leading '='.
    const size_t equals = entry.find(L'=', 1);
    return upper(entry.substr(0, equals));
}

void copyFileOrFail(const std::wstring& from, const std::wstring& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
        FAIL(L"cannot copy " + from + L" to " + to + L" (error " + std::to_wstring(GetLastError()) + L")");
}

}  // namespace

std::wstring environmentWith(const std::optional<std::wstring>& appData) {
    std::vector<std::wstring> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
            std::wstring text(entry);
            if (variableName(text) != L"APPDATA") entries.push_back(std::move(text));
        }
        FreeEnvironmentStringsW(block);
    }
    if (appData) entries.push_back(L"APPDATA=" + *appData);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::wstring& a, const std::wstring& b) { return variableName(a) < variableName(b); });
    std::wstring environment;
    for (const std::wstring& entry : entries) environment += entry + L'\0';
    environment += L'\0';
    return environment;
}


bool fileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Session::Session(const TempDir& folder, HookLibrary hooks)
    : folder_(folder.path()), ownAppData_(folder.file(L"AppData")), appData_(ownAppData_) {
    CreateDirectoryW(ownAppData_.c_str(), nullptr);
    program_ = prepareProgramFolder(folder, hooks);
}

Session::~Session() {
    if (process_) {
        untrackProcess(process_.get());
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

// Installed as is, the program runs from the build's own folder; otherwise from
// a copy of it in which the hook library is missing or replaced.
std::wstring Session::prepareProgramFolder(const TempDir& folder, HookLibrary hooks) const {
    const std::wstring& installed = config().appFolder;
    if (!fileExists(installed + L"\\" + kProgramName)) FAIL(L"no " + std::wstring(kProgramName) + L" in " + installed);
    if (hooks == HookLibrary::Present) return installed + L"\\" + kProgramName;

    const std::wstring copy = folder.file(L"program");
    CreateDirectoryW(copy.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((installed + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || _wcsicmp(name.c_str(), kHookLibraryName) == 0)
                continue;
            copyFileOrFail(installed + L"\\" + name, copy + L"\\" + name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (hooks == HookLibrary::PresentInCopy)
        copyFileOrFail(installed + L"\\" + kHookLibraryName, copy + L"\\" + kHookLibraryName);
    if (hooks == HookLibrary::WithoutSetHooks)
        copyFileOrFail(config().driverFolder + L"\\" + kHookLibraryWithoutExport, copy + L"\\" + kHookLibraryName);
    if (hooks == HookLibrary::DropsItsHooks)
        copyFileOrFail(config().driverFolder + L"\\kbdh-dropping.dll", copy + L"\\" + kHookLibraryName);
    if (hooks == HookLibrary::NeverReports)
        copyFileOrFail(config().driverFolder + L"\\kbdh-silent.dll", copy + L"\\" + kHookLibraryName);
    return copy + L"\\" + kProgramName;
}

void Session::start() {
    if (process_) FAIL(L"the program was started already");
    std::wstring environment = environmentWith(appData_);
    std::wstring commandLine = L"\"" + program_ + L"\"" + arguments_;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    // The case's folder as current directory keeps the build folder out of the
    // library search.
    if (!CreateProcessW(program_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.data(), folder_.c_str(), &startup, &started)) {
        FAIL(L"cannot start " + program_ + L" (error " + std::to_wstring(GetLastError()) + L")");
    }
    CloseHandle(started.hThread);
    process_.reset(started.hProcess);
    processId_ = started.dwProcessId;
    trackProcess(process_.get());
}

std::vector<std::wstring> Session::setHooksCalls() const {
    const std::wstring folder = program_.substr(0, program_.find_last_of(L'\\'));
    const std::string log = readBytes(folder + L"\\sethooks.log");
    std::vector<std::wstring> calls;
    for (size_t start = 0; start < log.size();) {
        const size_t end = log.find('\n', start);
        calls.push_back(widen(log.substr(start, end - start)));
        start = end == std::string::npos ? log.size() : end + 1;
    }
    return calls;
}

bool Session::isRunning() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Session::waitExited(Milliseconds timeout) const {
    return !process_ || WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

Window Session::waitMainWindow(Milliseconds timeout, std::source_location where) {
    Window main;
    const bool shown = waitUntil([&] {
        for (const Window& window : windows()) {
            if (window.className() == L"#32770" && !window.owner() && window.caption() == L"Horalis" &&
                window.isVisible()) {
                main = window;
                return true;
            }
        }
        return !isRunning();
    }, timeout);
    if (!main)
        fail(where.file_name(), static_cast<int>(where.line()),
             shown ? L"the program ended before its main window showed" : L"the main window did not show");
    return main;
}

std::vector<MessageBoxWindow> Session::openMessageBoxes() const {
    std::vector<MessageBoxWindow> boxes;
    for (const Window& window : windows()) {
        if (window.className() == L"#32770" && window.owner() && window.isVisible() && !window.caption().empty())
            boxes.emplace_back(window.handle());
    }
    return boxes;
}

MessageBoxWindow Session::waitMessageBox(std::wstring_view caption, Milliseconds timeout,
                                         std::source_location where) {
    MessageBoxWindow box;
    waitUntil([&] {
        for (const Window& window : windows()) {
            // The main window is a dialog captioned "Horalis" as well; its list tells it apart.
            if (window.className() == L"#32770" && window.isVisible() && window.caption() == caption &&
                !seenBoxes_.contains(window.handle()) && !window.control(1003)) {
                box = MessageBoxWindow(window.handle());
                return true;
            }
        }
        return false;
    }, timeout);
    if (!box)
        fail(where.file_name(), static_cast<int>(where.line()),
             L"no message box \"" + std::wstring(caption) + L"\" appeared");
    seenBoxes_.insert(box.handle());
    return box;
}

Window Session::waitWindow(std::wstring_view className, std::wstring_view caption, Milliseconds timeout,
                           std::source_location where) {
    Window found;
    waitUntil([&] { return bool(found = findTopLevel(processId(), className, caption)); }, timeout);
    if (!found)
        fail(where.file_name(), static_cast<int>(where.line()),
             L"no window " + std::wstring(className) + L" \"" + std::wstring(caption) + L"\" appeared");
    return found;
}

void Session::stop(std::source_location where) {
    if (!isRunning()) return;
    for (const Window& window : windows()) {
        if (window.isVisible() && !window.isResponsive()) {
            recordFailure(where.file_name(), static_cast<int>(where.line()),
                          L"the program stopped answering: " + window.describe());
            break;
        }
    }
    untrackProcess(process_.get());
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
    process_.reset();
}

}  // namespace e2e
