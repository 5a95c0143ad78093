#pragma once
// Reading, writing and deleting one registry value; each call opens the key
// and closes it again before it returns.
#include "base/handles.h"

namespace horalis {

struct RegistryRead {
    LSTATUS opened;   // RegOpenKeyExW's status
    LSTATUS queried;  // RegQueryValueExW's, ERROR_INVALID_HANDLE when the key did not open
};

// Reads the value into data, size bytes at most (on return: the bytes read).
RegistryRead readRegistryValue(HKEY root, const wchar_t* subkey, const wchar_t* name, void* data, DWORD& size);
// Creates the key when it is missing; the first failing call's status.
LSTATUS writeRegistryValue(HKEY root, const wchar_t* subkey, const wchar_t* name, DWORD type, const void* data,
                           DWORD size);
LSTATUS deleteRegistryValue(HKEY root, const wchar_t* subkey, const wchar_t* name);

}  // namespace horalis
