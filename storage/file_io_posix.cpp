// Native (test) build. Paths are converted to UTF-8, and '\' is taken as '/',
// so that tests can join names Windows-style ("dir\conf.dat") as the program does.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "storage/file_faults.h"
#include "storage/file_io.h"
#include "storage/file_retry.h"
#include "storage/utf8.h"

namespace horalis {

namespace {

// None when the path holds a NUL or a lone surrogate: no other file may be
// opened in its place.
std::optional<std::string> nativePath(const String& path) {
    std::string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        uint32_t c = path[i];
        if (c == 0) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= path.size() || path[i + 1] < 0xDC00 || path[i + 1] > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (path[++i] - 0xDC00);
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        }
        if (c == u'\\') c = u'/';
        appendUtf8(c, out);
    }
    return out;
}

void syncFile(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Names on disk are UTF-8; a byte that is no part of a well-formed sequence
// becomes U+FFFD, so such a name can be shown but never matches a daily name.
String fromNativeName(const char* name) {
    String out;
    decodeUtf8(name, out);
    return out;
}

int64_t changesLeft = -1;

}  // namespace

void stopFileChangesAfter(int64_t changes) { changesLeft = changes; }

bool fileChangeAllowed() {
    if (changesLeft < 0) return true;
    if (changesLeft == 0) return false;
    --changesLeft;
    return true;
}

uint64_t steadyMs() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void pauseMs(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::FILE* openFile(const String& path, const char* mode) {
    const auto native = nativePath(path);
    if (!native || native->empty()) return nullptr;
    if (mode[0] != 'r' && !fileChangeAllowed()) return nullptr;
    return std::fopen(native->c_str(), mode);
}

bool replaceFile(const String& source, const String& target) {
    const auto from = nativePath(source);
    const auto to = nativePath(target);
    if (!from || !to || !fileChangeAllowed()) return false;
    // Data on disk before the name moves, as MOVEFILE_WRITE_THROUGH gives on Windows.
    syncFile(*from, O_RDONLY);
    if (std::rename(from->c_str(), to->c_str()) != 0) return false;
    syncFile(parentOf(*to), O_RDONLY | O_DIRECTORY);
    return true;
}

bool removeFile(const String& path) {
    const auto native = nativePath(path);
    return native && fileChangeAllowed() && std::remove(native->c_str()) == 0;
}

bool renameFileKeepingTarget(const String& source, const String& target) {
    const auto from = nativePath(source);
    const auto to = nativePath(target);
    // A hard link fails when the target exists, as the move without replacing does on Windows.
    if (!from || !to || !fileChangeAllowed() || ::link(from->c_str(), to->c_str()) != 0) return false;
    ::unlink(from->c_str());
    return true;
}

bool pathExists(const String& path) {
    const auto native = nativePath(path);
    struct stat st;
    return native && !native->empty() && ::stat(native->c_str(), &st) == 0;
}

bool createDirectory(const String& path) {
    const auto native = nativePath(path);
    if (!native || native->empty()) return false;
    if (::mkdir(native->c_str(), 0777) == 0) return true;
    struct stat st;
    return errno == EEXIST && ::stat(native->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool listFolderFiles(const String& folder, std::vector<String>& names) {
    const auto native = nativePath(folder);
    if (!native || native->empty()) return false;
    DIR* dir = ::opendir(native->c_str());
    if (dir == nullptr) return false;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st;
        const std::string path = *native + "/" + entry->d_name;
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(fromNativeName(entry->d_name));
    }
    ::closedir(dir);
    return true;
}

bool fileStamp(const String& path, FileStamp& out) {
    const auto native = nativePath(path);
    struct stat st;
    if (!native || native->empty() || ::stat(native->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    out.size = static_cast<uint64_t>(st.st_size);
    out.writeTime = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
    out.identity = static_cast<uint64_t>(st.st_ino);
    return true;
}

}  // namespace horalis
