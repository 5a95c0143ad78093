#include "e2e/framework.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwctype>
#include <mutex>

#include "base/handles.h"
#include "base/program_path.h"

namespace e2e {
namespace {

struct Case {
    const char* name;
    CaseFunction function;
    int deadlineSeconds;
};

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

RunConfig runConfig;

// Under Wine the inherited standard output can be closed behind our back once a
// Unix program is started from Windows code; a private duplicate stays open.
// Every line also goes to the results file, which the script reads.
class Output {
public:
    void open(const std::wstring& resultsFile) {
        HANDLE process = GetCurrentProcess();
        HANDLE duplicate = nullptr;
        if (DuplicateHandle(process, GetStdHandle(STD_OUTPUT_HANDLE), process, &duplicate, 0, FALSE,
                            DUPLICATE_SAME_ACCESS)) {
            console_.reset(duplicate);
        }
        if (!resultsFile.empty()) {
            HANDLE file = CreateFileW(resultsFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) results_.reset(file);
        }
    }

    void line(const std::wstring& text) {
        std::lock_guard lock(mutex_);
        const std::string bytes = narrow(text) + "\n";
        write(console_.get(), bytes);
        if (write(results_.get(), bytes)) FlushFileBuffers(results_.get());
    }

private:
    static bool write(HANDLE handle, const std::string& bytes) {
        DWORD written = 0;
        return handle != nullptr && WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    std::mutex mutex_;
    horalis::KernelHandle console_;
    horalis::KernelHandle results_;
};

Output output;
std::mutex failureMutex;
int currentFailures = 0;
bool currentSkipped = false;

enum class Outcome { Passed, Failed, Skipped };

std::mutex processMutex;
std::vector<HANDLE> startedProcesses;

void terminateStartedProcesses() {
    std::lock_guard lock(processMutex);
    for (HANDLE process : startedProcesses) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
}

std::wstring baseName(const char* path) {
    std::string_view text(path);
    const size_t slash = text.find_last_of("/\\");
    return widen(slash == std::string_view::npos ? text : text.substr(slash + 1));
}

std::wstring folderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

std::wstring fullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    return length == 0 || length >= std::size(buffer) ? path : std::wstring(buffer, length);
}

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

bool matchesFilter(const char* name, const std::vector<std::wstring>& filters) {
    if (filters.empty()) return true;
    const std::wstring wide = widen(name);
    return std::any_of(filters.begin(), filters.end(),
                       [&](const std::wstring& part) { return wide.find(part) != std::wstring::npos; });
}

struct CaseRun {
    const Case* entry;
    TempDir folder;
};

DWORD WINAPI runCaseThread(void* parameter) {
    auto* run = static_cast<CaseRun*>(parameter);
    try {
        run->entry->function(run->folder);
    } catch (const CaseAborted&) {
    } catch (const std::exception& error) {
        recordFailure("", 0, L"exception: " + widen(error.what()));
    } catch (...) {
        recordFailure("", 0, L"unknown exception");
    }
    return 0;
}

// Runs one case on a thread of its own so that a case stuck in a call that
// never returns is cut off at its deadline; the programs it started are ended
// first, which usually frees it.
Outcome runCase(const Case& entry) {
    const std::wstring name = widen(entry.name);
    runConfig.caseName = name;
    const std::wstring folder = runConfig.workFolder + L"\\" + name;
    removeTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    {
        std::lock_guard lock(failureMutex);
        currentFailures = 0;
        currentSkipped = false;
    }
    CaseRun run{&entry, TempDir(folder)};
    const ULONGLONG started = GetTickCount64();
    horalis::KernelHandle thread(CreateThread(nullptr, 0, runCaseThread, &run, 0, nullptr));
    if (!thread) {
        recordFailure("", 0, L"cannot start the case's thread");
    } else if (WaitForSingleObject(thread.get(), static_cast<DWORD>(entry.deadlineSeconds) * 1000) == WAIT_TIMEOUT) {
        recordFailure("", 0, L"deadline of " + std::to_wstring(entry.deadlineSeconds) + L" s passed");
        terminateStartedProcesses();
        if (WaitForSingleObject(thread.get(), 5000) == WAIT_TIMEOUT) TerminateThread(thread.get(), 1);
    }
    terminateStartedProcesses();
    const double seconds = static_cast<double>(GetTickCount64() - started) / 1000.0;
    Outcome outcome;
    {
        std::lock_guard lock(failureMutex);
        outcome = currentFailures ? Outcome::Failed : currentSkipped ? Outcome::Skipped : Outcome::Passed;
    }
    wchar_t timing[32];
    swprintf(timing, std::size(timing), L" (%.1f s)", seconds);
    static constexpr const wchar_t* kLabels[] = {L"PASS ", L"FAIL ", L"SKIP "};
    output.line(kLabels[static_cast<int>(outcome)] + name + timing);
    return outcome;
}

}  // namespace

const RunConfig& config() { return runConfig; }

int registerCase(const char* name, CaseFunction function, int deadlineSeconds) {
    cases().push_back({name, function, deadlineSeconds});
    return static_cast<int>(cases().size());
}

void trackProcess(HANDLE process) {
    std::lock_guard lock(processMutex);
    startedProcesses.push_back(process);
}

void untrackProcess(HANDLE process) {
    std::lock_guard lock(processMutex);
    std::erase(startedProcesses, process);
}

void recordFailure(const char* file, int line, const std::wstring& message) {
    {
        std::lock_guard lock(failureMutex);
        ++currentFailures;
    }
    std::wstring where = L"  ";
    if (*file != '\0') where += baseName(file) + L":" + std::to_wstring(line) + L": ";
    output.line(where + message);
}

void fail(const char* file, int line, const std::wstring& message) {
    recordFailure(file, line, message);
    throw CaseAborted{};
}

void note(const std::wstring& message) { output.line(L"  " + message); }

void skip(const std::wstring& reason) {
    {
        std::lock_guard lock(failureMutex);
        currentSkipped = true;
    }
    note(L"skipped: " + reason);
}

std::wstring widen(std::string_view text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace e2e

namespace {

const wchar_t* kUsage =
    L"usage: horalis_e2e [--list] [--filter TEXT[,TEXT...]] [--app FOLDER] [--work FOLDER]\n"
    L"                   [--screens FOLDER] [--results FILE]\n"
    L"Runs the end-to-end cases whose names contain one of the filter texts (all by default).\n"
    L"--app: folder of Horalis.exe and kbdh.dll (default ..\\bin beside this program).\n";

std::vector<std::wstring> splitList(const std::wstring& text) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(L',', start);
        const std::wstring part = text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        if (!part.empty()) parts.push_back(part);
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    return parts;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace e2e;
    bool listOnly = false;
    std::vector<std::wstring> filters;
    std::wstring resultsFile;
    runConfig.driverFolder = folderOf(horalis::programPath());
    runConfig.appFolder = folderOf(runConfig.driverFolder) + L"\\bin";
    runConfig.screensFolder = runConfig.driverFolder + L"\\screens";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    runConfig.workFolder = std::wstring(temp) + L"horalis-e2e";

    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == L"--list") {
            listOnly = true;
        } else if (option == L"--filter" && hasValue) {
            filters = splitList(argv[++i]);
        } else if (option == L"--app" && hasValue) {
            runConfig.appFolder = fullPath(argv[++i]);
        } else if (option == L"--work" && hasValue) {
            runConfig.workFolder = fullPath(argv[++i]);
        } else if (option == L"--screens" && hasValue) {
            runConfig.screensFolder = fullPath(argv[++i]);
        } else if (option == L"--results" && hasValue) {
            resultsFile = fullPath(argv[++i]);
        } else {
            output.open(L"");
            output.line(kUsage);
            return 2;
        }
    }
    output.open(resultsFile);

    std::vector<const Case*> selected;
    for (const Case& entry : cases()) {
        if (matchesFilter(entry.name, filters)) selected.push_back(&entry);
    }
    std::sort(selected.begin(), selected.end(),
              [](const Case* a, const Case* b) { return std::string_view(a->name) < std::string_view(b->name); });
    if (listOnly) {
        for (const Case* entry : selected) output.line(widen(entry->name));
        return 0;
    }

    CreateDirectoryW(runConfig.workFolder.c_str(), nullptr);
    CreateDirectoryW(runConfig.screensFolder.c_str(), nullptr);
    int counts[3] = {};  // by Outcome
    for (const Case* entry : selected) counts[static_cast<int>(runCase(*entry))] += 1;
    const int failed = counts[static_cast<int>(Outcome::Failed)];
    output.line(std::to_wstring(counts[static_cast<int>(Outcome::Passed)]) + L" passed, " + std::to_wstring(failed) +
                L" failed, " + std::to_wstring(counts[static_cast<int>(Outcome::Skipped)]) + L" skipped");
    return failed == 0 && !selected.empty() ? 0 : 1;
}
