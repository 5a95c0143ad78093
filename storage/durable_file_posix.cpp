// Native (test) build: the same file through stdio, fsync for the disk.
#include <unistd.h>

#include <cstdio>

#include "storage/durable_file.h"
#include "storage/file_faults.h"
#include "storage/file_io.h"

namespace horalis {

DurableFile::~DurableFile() { close(); }

bool DurableFile::openForAppend(const String& path) {
    close();
    handle_ = openFile(path, "ab");
    return handle_ != nullptr;
}

bool DurableFile::create(const String& path) {
    close();
    handle_ = openFile(path, "wb");
    return handle_ != nullptr;
}

bool DurableFile::writeFlushed(std::string_view bytes) {
    auto* file = static_cast<std::FILE*>(handle_);
    if (file == nullptr) return false;
    if (!fileChangeAllowed()) {
        std::fwrite(bytes.data(), 1, bytes.size() / 2, file);
        std::fflush(file);
        return false;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return false;
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

void DurableFile::close() {
    if (handle_ == nullptr) return;
    std::fclose(static_cast<std::FILE*>(handle_));
    handle_ = nullptr;
}

}  // namespace horalis
