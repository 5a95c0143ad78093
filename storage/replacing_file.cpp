#include "storage/replacing_file.h"

#include <utility>

#include "storage/durable_file.h"
#include "storage/file_io.h"

namespace horalis {

// A name of our own in our own folder: one left by a crash is replaced.
ReplacingFile::ReplacingFile(String target, Leftover leftover) : ReplacingFile(target, target + u".tmp") {
    ours_ = leftover == Leftover::Removed;
}

ReplacingFile::ReplacingFile(String target, String temporary)
    : target_(std::move(target)), temporary_(std::move(temporary)) {}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::open() {
    ready_ = stream_.open(temporary_);
    ours_ = ours_ || ready_;
    return ready_;
}

bool ReplacingFile::writeFlushed(std::string_view bytes) {
    DurableFile file;
    const bool created = file.create(temporary_);
    ours_ = ours_ || created;
    ready_ = created && file.writeFlushed(bytes);
    file.close();
    if (!ready_) discard();
    return ready_;
}

bool ReplacingFile::finish() {
    if (!ready_) return false;
    if (!stream_.isOpen() || stream_.close()) return true;
    discard();
    return false;
}

bool ReplacingFile::commit() {
    if (!finish()) return false;
    // replaceFile puts the bytes on the disk before the name moves: a power
    // cut after the move must not leave the name on data still in a cache.
    if (replaceFile(temporary_, target_)) {
        ours_ = ready_ = false;
        return true;
    }
    discard();
    return false;
}

void ReplacingFile::discard() {
    if (stream_.isOpen()) stream_.close();
    ready_ = false;
    if (!ours_) return;
    ours_ = false;
    removeFile(temporary_);
}

bool writeFileReplacing(const String& target, std::string_view bytes) {
    ReplacingFile file(target, Leftover::Removed);
    return file.writeFlushed(bytes) && file.commit();
}

}  // namespace horalis
