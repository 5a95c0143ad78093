#pragma once
// A file written so that what it holds is on the disk, not only in a cache,
// when a write returns: the journal appends through it, and the records are
// written beside their place through it (storage/replacing_file.h).
#include <string_view>

#include "base/string.h"

namespace horalis {

class DurableFile {
public:
    DurableFile() = default;
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;
    ~DurableFile();

    // Opens for appending, creating the file when missing. Others may read
    // it meanwhile, but not delete it: a file of a running program stays.
    bool openForAppend(const String& path);
    // Creates or truncates.
    bool create(const String& path);
    // Writes all bytes and then flushes them to the disk; false when either
    // failed (a full disk): what was written of them may be there, torn.
    bool writeFlushed(std::string_view bytes);
    void close();
    bool isOpen() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;  // a HANDLE, or a file descriptor + 1
};

}  // namespace horalis
