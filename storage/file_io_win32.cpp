#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/handles.h"
#include "storage/file_io.h"
#include "storage/held_file_win32.h"
#include "storage/long_path.h"

namespace horalis {

namespace {

// Win32 wants NUL-terminated text; a path with a NUL inside would name
// another file, so it is refused instead. A long path goes in its extended
// form, which every Windows from 7 on takes whatever the long-path setting.
class WidePath {
public:
    explicit WidePath(const String& path) {
        static_assert(sizeof(wchar_t) == sizeof(char16_t));
        if (path.empty() || path.find(u'\0') != String::npos) return;
        path_ = extendedLengthPath(path);
        valid_ = true;
    }
    const wchar_t* get() const { return valid_ ? reinterpret_cast<const wchar_t*>(path_.c_str()) : nullptr; }

private:
    String path_;
    bool valid_ = false;
};

// The C runtime's stream over a handle it then owns (fclose closes both).
std::FILE* streamOver(KernelHandle handle, int flags, const char* mode) {
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), flags);
    if (descriptor == -1) return nullptr;
    handle.release();
    std::FILE* file = _fdopen(descriptor, mode);
    if (file == nullptr) _close(descriptor);
    return file;
}

}  // namespace

uint64_t steadyMs() {
    return GetTickCount64();
}

void pauseMs(uint32_t ms) {
    Sleep(ms);
}

std::FILE* openFile(const String& path, const char* mode) {
    const WidePath widePath(path);
    const wchar_t* wide = widePath.get();
    if (wide == nullptr || mode == nullptr) return nullptr;
    const bool reading = std::string_view(mode) == "rb";
    if (!reading && std::string_view(mode) != "wb") return nullptr;
    // A reader shares everything, so that it never keeps a writer (the other
    // program, or this one) from replacing or deleting the file; a writer
    // lets others read what it writes.
    const DWORD access = reading ? GENERIC_READ : GENERIC_WRITE;
    const DWORD share = reading ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : FILE_SHARE_READ;
    const DWORD disposition = reading ? OPEN_EXISTING : CREATE_ALWAYS;
    KernelHandle handle;
    const bool opened = retryWhileHeld([&] {
        const HANDLE h = CreateFileW(wide, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return attemptAfterFileError(GetLastError());
        handle.reset(h);
        return Attempt::Done;
    });
    if (!opened) return nullptr;
    return streamOver(std::move(handle), reading ? _O_RDONLY | _O_BINARY : _O_WRONLY | _O_BINARY, mode);
}

bool replaceFile(const String& source, const String& target) {
    const WidePath fromPath(source);
    const WidePath toPath(target);
    const wchar_t* from = fromPath.get();
    const wchar_t* to = toPath.get();
    if (from == nullptr || to == nullptr) return false;
    // MOVEFILE_WRITE_THROUGH makes only the move itself durable: without
    // FlushFileBuffers first, a power cut just after it can leave the new
    // name on data that never reached the disk. FlushFileBuffers needs a
    // handle with write access; it writes the file's cached data whichever
    // handle wrote it.
    {
        const HANDLE h =
            CreateFileW(from, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        const KernelHandle written(h);
        if (!FlushFileBuffers(written.get())) return false;
    }
    // A target held open without delete sharing refuses the move until it is closed.
    return retryWhileHeld([&] {
        return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? Attempt::Done
                                                                                           : attemptAfterFileError(GetLastError());
    });
}

bool removeFile(const String& path) {
    const WidePath widePath(path);
    const wchar_t* wide = widePath.get();
    return wide != nullptr && DeleteFileW(wide) != 0;
}

bool renameFileKeepingTarget(const String& source, const String& target) {
    const WidePath fromPath(source);
    const WidePath toPath(target);
    const wchar_t* from = fromPath.get();
    const wchar_t* to = toPath.get();
    // Without MOVEFILE_REPLACE_EXISTING the move fails when target exists.
    return from != nullptr && to != nullptr && MoveFileExW(from, to, MOVEFILE_WRITE_THROUGH) != 0;
}

bool pathExists(const String& path) {
    const WidePath widePath(path);
    const wchar_t* wide = widePath.get();
    return wide != nullptr && GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

bool createDirectory(const String& path) {
    const WidePath widePath(path);
    const wchar_t* wide = widePath.get();
    if (wide == nullptr) return false;
    if (CreateDirectoryW(wide, nullptr)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    const DWORD attributes = GetFileAttributesW(wide);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool listFolderFiles(const String& folder, std::vector<String>& names) {
    if (WidePath(folder).get() == nullptr) return false;
    const WidePath pattern(folder + u"\\*");
    WIN32_FIND_DATAW data;
    // FindExInfoBasic skips the short 8.3 names, which nothing here reads.
    const HANDLE first = FindFirstFileExW(pattern.get(), FindExInfoBasic, &data,
                                          FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    const FindHandle find(first);
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        names.emplace_back(reinterpret_cast<const char16_t*>(data.cFileName));
    } while (FindNextFileW(find.get(), &data));
    return true;
}

bool fileStamp(const String& path, FileStamp& out) {
    const WidePath widePath(path);
    const wchar_t* wide = widePath.get();
    if (wide == nullptr) return false;
    // FindFirstFileExW's size and time may lag behind on NTFS ("may not be
    // current", its documentation says); the open file's own information is.
    // Reading attributes takes no part in sharing, so a file open for writing
    // elsewhere can be stamped too. On FAT the write time has 2 s steps: the
    // size and the file index still tell a file rewritten within them.
    const HANDLE opened = CreateFileW(wide, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    const KernelHandle file(opened);
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    out.size = (uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    out.writeTime = (uint64_t{information.ftLastWriteTime.dwHighDateTime} << 32) | information.ftLastWriteTime.dwLowDateTime;
    out.identity = (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    return true;
}

}  // namespace horalis
