#pragma once
// Contract with the input-hook library kbdh.dll.
#include <cstdint>

namespace horalis {

// Posted by kbdh.dll to the registered window soon after user input.
inline constexpr unsigned kWmHookActivity = 0x517;  // WM_USER + 0x117

inline constexpr const wchar_t* kHookLibraryName = L"kbdh.dll";
inline constexpr const char* kSetHooksExport = "SetHooks";
inline constexpr const wchar_t* kCantLoadHookLibrary = L"Can't load 'kbdh.dll'!";
inline constexpr const wchar_t* kCantFindSetHooks = L"Can't find 'SetHooks' inside 'kbdh.dll'!";

// void SetHooks(int on, HWND window), C calling convention.
using SetHooksFn = void (*)(int32_t on, void* window);

}  // namespace horalis
