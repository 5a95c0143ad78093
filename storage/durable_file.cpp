#include "storage/durable_file.h"

#include "storage/file_io.h"

namespace horalis {

bool writeFileReplacing(const String& target, std::string_view bytes) {
    // A name of our own in our own folder: one left by a crash is replaced.
    const String temporary = target + u".tmp";
    DurableFile file;
    // Flushed before the replace: a power cut after it must not leave the
    // new name on a file whose bytes never reached the disk.
    const bool written = file.create(temporary) && file.writeFlushed(bytes);
    file.close();
    if (written && replaceFile(temporary, target)) return true;
    removeFile(temporary);
    return false;
}

}  // namespace horalis
