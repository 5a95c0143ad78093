#pragma once
// Opening files by their UTF-16 path, so a data folder under a user name
// outside the ANSI code page still works.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/string.h"

namespace horalis {

// The native (test) build takes paths as UTF-8 and reads '\' as '/', so that
// names joined the Windows way ("folder\conf.dat") work there too.

// mode: "rb", "wb" as for fopen. Returns nullptr on failure.
std::FILE* openFile(const String& path, const char* mode);
// Replaces target with source (same folder), atomically where the platform
// can: source's bytes reach the disk before the name moves, the move is
// written through, and a target another program holds is tried again.
// Files are replaced through ReplacingFile (storage/replacing_file.h).
bool replaceFile(const String& source, const String& target);
bool removeFile(const String& path);
// Gives a file a new name in the same folder; false, changing nothing, when
// a file of that name exists.
bool renameFileKeepingTarget(const String& source, const String& target);
// True when something exists at path (also when it cannot be opened).
bool pathExists(const String& path);
// Creates the last component of path; true when it exists afterwards.
bool createDirectory(const String& path);
// Appends the names of the files in a folder (not its subfolders), in no
// particular order; false when the folder cannot be read.
bool listFolderFiles(const String& folder, std::vector<String>& names);

// What tells a file's contents apart from what it held before: its size, its
// last write time and which file it is (a file put in its place is another).
// Equal stamps mean the file is as it was when the stamp was taken; take the
// stamp before reading, so that a change during the read shows next time.
struct FileStamp {
    uint64_t size = 0;
    uint64_t writeTime = 0;  // the platform's own units
    uint64_t identity = 0;
    bool operator==(const FileStamp&) const = default;
};
bool fileStamp(const String& path, FileStamp& out);

}  // namespace horalis
