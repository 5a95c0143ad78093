#pragma once
// The one kind of text stream through which every file is written and read:
// UTF-16 in, Windows-1251 bytes out, LF written as CR LF, no byte-order mark,
// integers grouped by three with a no-break space (0xA0), as the Russian locale does.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/string.h"

namespace horalis {

// Integer text with the Russian grouping: 1800 -> "1\xA0" "800" (as UTF-16).
String formatGroupedInt(int64_t value);

class ReportStream {
public:
    ReportStream() = default;
    ReportStream(const ReportStream&) = delete;
    ReportStream& operator=(const ReportStream&) = delete;
    ~ReportStream();

    // Creates or truncates the file at a UTF-16 path. False when it cannot be opened.
    bool open(const String& path);
    // A stream that only collects its bytes (tests, benchmarks).
    void openInMemory();
    bool isOpen() const { return open_; }

    ReportStream& operator<<(StringView text);
    ReportStream& operator<<(const String& text) { return *this << StringView(text); }
    ReportStream& operator<<(const char16_t* text) { return *this << StringView(text); }
    ReportStream& operator<<(const char* ascii);  // 7-bit literal, widened
    ReportStream& operator<<(int32_t value);
    ReportStream& operator<<(int64_t value);

    // Writes a text with a different rule for characters Windows-1251 lacks.
    void writeEncoded(std::string_view cp1251Bytes);
    // Writes bytes as they are: no encoding, no line-end change.
    void writeBytes(std::string_view bytes);

    // Flushes and closes. False when any write, the flush or the close failed.
    bool close();
    // The bytes written so far (in-memory streams keep all of them).
    const std::string& bytes() const { return buffer_; }

private:
    void flushIfLarge();
    std::string buffer_;
    void* file_ = nullptr;  // std::FILE*
    bool open_ = false;
    bool inMemory_ = false;
    bool failed_ = false;
};

// Reads a whole file at a UTF-16 path into bytes. False when it cannot be opened.
bool readFileBytes(const String& path, std::string& bytes, size_t limit = 1 << 20);

}  // namespace horalis
