#include "base/registry.h"

namespace horalis {

RegistryRead readRegistryValue(HKEY root, const wchar_t* subkey, const wchar_t* name, void* data, DWORD& size) {
    HKEY raw = nullptr;
    RegistryRead result{RegOpenKeyExW(root, subkey, 0, KEY_READ, &raw), ERROR_INVALID_HANDLE};
    if (result.opened == ERROR_SUCCESS) {
        RegistryKey key(raw);
        result.queried = RegQueryValueExW(key.get(), name, nullptr, nullptr, static_cast<BYTE*>(data), &size);
    }
    return result;
}

LSTATUS writeRegistryValue(HKEY root, const wchar_t* subkey, const wchar_t* name, DWORD type, const void* data,
                           DWORD size) {
    HKEY raw = nullptr;
    const LSTATUS status =
        RegCreateKeyExW(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) return status;
    RegistryKey key(raw);
    return RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

LSTATUS deleteRegistryValue(HKEY root, const wchar_t* subkey, const wchar_t* name) {
    HKEY raw = nullptr;
    const LSTATUS status = RegOpenKeyExW(root, subkey, 0, KEY_WRITE, &raw);
    if (status != ERROR_SUCCESS) return status;
    RegistryKey key(raw);
    return RegDeleteValueW(key.get(), name);
}

}  // namespace horalis
