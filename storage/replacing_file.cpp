#include "storage/replacing_file.h"

#include <utility>

#include "storage/durable_file.h"
#include "storage/file_io.h"

namespace horalis {

// A name of our own in our own folder: one left by a crash is replaced.
ReplacingFile::ReplacingFile(String target) : ReplacingFile(target, target + u".tmp") {}

ReplacingFile::ReplacingFile(String target, String temporary)
    : target_(std::move(target)), temporary_(std::move(temporary)) {}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::open() {
    discard();
    made_ = stream_.open(temporary_);
    return made_;
}

bool ReplacingFile::writeFlushed(std::string_view bytes) {
    discard();
    DurableFile file;
    made_ = file.create(temporary_);
    const bool written = made_ && file.writeFlushed(bytes);
    file.close();
    if (!written) discard();
    return written;
}

bool ReplacingFile::finish() {
    if (!made_) return false;
    if (!stream_.isOpen() || stream_.close()) return true;
    discard();
    return false;
}

bool ReplacingFile::commit() {
    if (!finish()) return false;
    // replaceFile puts the bytes on the disk before the name moves: a power
    // cut after the move must not leave the name on data still in a cache.
    if (replaceFile(temporary_, target_)) {
        made_ = false;
        return true;
    }
    discard();
    return false;
}

void ReplacingFile::discard() {
    if (stream_.isOpen()) stream_.close();
    if (!made_) return;
    made_ = false;
    removeFile(temporary_);
}

bool writeFileReplacing(const String& target, std::string_view bytes) {
    ReplacingFile file(target);
    return file.writeFlushed(bytes) && file.commit();
}

}  // namespace horalis
