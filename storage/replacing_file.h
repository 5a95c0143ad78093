#pragma once
// A file written beside its target and then put in its place, so that a
// failure at any step (a full disk, a kill, a target held open) leaves the
// target as it was. Every file the program replaces is written through here.
#include <string_view>

#include "base/string.h"
#include "storage/report_stream.h"

namespace horalis {

// Removed: the temporary's name is the writer's own, and whatever stands
// there is removed unless the file is committed, also when it could not be
// created anew (Windows refuses to truncate a hidden or system file, but
// deletes it), so that the next try can succeed. Kept: only a temporary
// made here is removed.
enum class Leftover { Kept, Removed };

class ReplacingFile {
public:
    // The temporary is target + ".tmp" unless one is given (beside target).
    explicit ReplacingFile(String target, Leftover leftover = Leftover::Kept);
    ReplacingFile(String target, String temporary);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    // An uncommitted temporary is removed (see Leftover).
    ~ReplacingFile();

    // Creates the temporary for writing through stream(); false when it cannot.
    // Either this or writeFlushed, once.
    bool open();
    ReportStream& stream() { return stream_; }
    // Creates the temporary holding bytes, flushed to the disk before this
    // returns; false (nothing left behind) when that failed.
    bool writeFlushed(std::string_view bytes);

    // Ends the writing through stream(): false, and the temporary removed,
    // when anything failed to reach the file.
    bool finish();
    // Finishes if need be and replaces the target with the temporary (on the
    // disk before its name moves, tried again while the target is held);
    // false, and the temporary removed, when the target stays as it was.
    bool commit();

private:
    void discard();

    String target_;
    String temporary_;
    ReportStream stream_;
    bool ours_ = false;   // what stands at the temporary's name is ours to remove
    bool ready_ = false;  // the temporary is open or holds its bytes
};

// Writes bytes beside target, flushed to the disk, then replaces target with
// them; a failure leaves target as it was.
bool writeFileReplacing(const String& target, std::string_view bytes);

}  // namespace horalis
