#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/handles.h"
#include "storage/file_io.h"
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

}  // namespace

std::FILE* openFile(const String& path, const char* mode) {
    const WidePath widePath(path);
    const wchar_t* wide = widePath.get();
    if (wide == nullptr || mode == nullptr) return nullptr;
    std::wstring wideMode;
    for (const char* m = mode; *m != '\0'; ++m) wideMode.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*m)));
    return _wfopen(wide, wideMode.c_str());
}

bool replaceFile(const String& source, const String& target) {
    const WidePath fromPath(source);
    const WidePath toPath(target);
    const wchar_t* from = fromPath.get();
    const wchar_t* to = toPath.get();
    if (from == nullptr || to == nullptr) return false;
    return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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
