#include <windows.h>

#include "storage/durable_file.h"
#include "storage/long_path.h"

namespace horalis {

namespace {

HANDLE openHandle(const String& path, DWORD access, DWORD disposition) {
    if (path.empty() || path.find(u'\0') != String::npos) return INVALID_HANDLE_VALUE;
    const String extended = extendedLengthPath(path);
    // No FILE_SHARE_DELETE: the fold deletes a journal once it holds it all,
    // and a running program's own journal must not go while it appends.
    return CreateFileW(reinterpret_cast<const wchar_t*>(extended.c_str()), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

DurableFile::~DurableFile() { close(); }

bool DurableFile::openForAppend(const String& path) {
    close();
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end,
    // whatever else happened to the file.
    const HANDLE handle = openHandle(path, FILE_APPEND_DATA | SYNCHRONIZE, OPEN_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE) return false;
    handle_ = handle;
    return true;
}

bool DurableFile::create(const String& path) {
    close();
    const HANDLE handle = openHandle(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE) return false;
    handle_ = handle;
    return true;
}

bool DurableFile::writeFlushed(std::string_view bytes) {
    if (handle_ == nullptr) return false;
    const HANDLE handle = static_cast<HANDLE>(handle_);
    while (!bytes.empty()) {
        constexpr DWORD kLargestWrite = 1u << 30;
        const DWORD chunk = bytes.size() > kLargestWrite ? kLargestWrite : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    // The cache would hold the bytes for seconds: only this puts them on the disk.
    return FlushFileBuffers(handle) != 0;
}

void DurableFile::close() {
    if (handle_ == nullptr) return;
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

}  // namespace horalis
