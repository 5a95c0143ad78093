#include "e2e/process_resources.h"

#include <winternl.h>

#include <vector>

#include "base/handles.h"

namespace e2e {
namespace {

// Which way each figure was read, for the notes.
bool gdiFromTable = false;
bool userFromWindows = false;
bool kernelFromSystemList = false;

// One entry of the GDI handle table that the PEB points to (x64 layout).
struct GdiTableEntry {
    ULONGLONG object;
    DWORD owner;
    WORD unique;
    BYTE type;
    BYTE flags;
    ULONGLONG user;
};
static_assert(sizeof(GdiTableEntry) == 24);
constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kPebGdiTableOffset = 0xF8;

// SYSTEM_HANDLE_TABLE_ENTRY_INFO of class 16.
struct SystemHandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR attributes;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

using QueryProcessFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
using QuerySystemFn = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);

FARPROC ntdll(const char* name) { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name); }

long gdiTableCount(HANDLE process) {
    auto query = reinterpret_cast<QueryProcessFn>(reinterpret_cast<void*>(ntdll("NtQueryInformationProcess")));
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (query(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return -1;
    void* table = nullptr;
    if (!ReadProcessMemory(process, static_cast<char*>(static_cast<void*>(basic.PebBaseAddress)) + kPebGdiTableOffset,
                           &table, sizeof table, nullptr) ||
        table == nullptr)
        return -1;
    std::vector<GdiTableEntry> entries(kGdiTableEntries);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiTableEntry), nullptr))
        return -1;
    long used = 0;
    for (const GdiTableEntry& entry : entries)
        if (entry.type != 0) ++used;
    return used;
}

struct WindowCount {
    DWORD processId;
    long count = 0;
};

BOOL CALLBACK countChild(HWND, LPARAM parameter) {
    ++reinterpret_cast<WindowCount*>(parameter)->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM parameter) {
    auto* counting = reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != counting->processId) return TRUE;
    ++counting->count;
    EnumChildWindows(window, countChild, parameter);
    return TRUE;
}

long windowCount(DWORD processId) {
    WindowCount counting{processId};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&counting));
    return counting.count;
}

long systemHandleCount(DWORD processId) {
    auto query = reinterpret_cast<QuerySystemFn>(reinterpret_cast<void*>(ntdll("NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<char> buffer(1 << 20);
    ULONG length = 0;
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length)) ==
           kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return -1;
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entry = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(void*));
    long count = 0;
    for (ULONG i = 0; i < entries; ++i)
        if (entry[i].processId == static_cast<USHORT>(processId)) ++count;
    return count;
}

}  // namespace

ProcessResources readProcessResources(DWORD processId) {
    ProcessResources counts;
    horalis::KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return counts;

    SetLastError(ERROR_SUCCESS);
    const DWORD gdi = GetGuiResources(process.get(), GR_GDIOBJECTS);
    gdiFromTable = gdi == 0 && GetLastError() != ERROR_SUCCESS;
    counts.gdiObjects = gdiFromTable ? gdiTableCount(process.get()) : static_cast<long>(gdi);

    SetLastError(ERROR_SUCCESS);
    const DWORD user = GetGuiResources(process.get(), GR_USEROBJECTS);
    userFromWindows = user == 0 && GetLastError() != ERROR_SUCCESS;
    counts.userObjects = userFromWindows ? windowCount(processId) : static_cast<long>(user);

    DWORD handles = 0;
    // Every process holds some handles: none at all means the call is a stub.
    kernelFromSystemList = !GetProcessHandleCount(process.get(), &handles) || handles == 0;
    counts.kernelHandles = kernelFromSystemList ? systemHandleCount(processId) : static_cast<long>(handles);
    return counts;
}

std::wstring describe(const ProcessResources& resources) {
    return L"GDI " + std::to_wstring(resources.gdiObjects) + (gdiFromTable ? L" (handle table)" : L"") + L", USER " +
           std::to_wstring(resources.userObjects) + (userFromWindows ? L" (windows)" : L"") + L", kernel " +
           std::to_wstring(resources.kernelHandles) + (kernelFromSystemList ? L" (system handle list)" : L"");
}

}  // namespace e2e
