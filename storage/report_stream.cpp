#include "storage/report_stream.h"

#include <algorithm>
#include <cstdio>

#include "storage/cp1251.h"
#include "storage/file_io.h"

namespace horalis {

namespace {

constexpr size_t kFlushThreshold = 256 * 1024;

std::FILE* asFile(void* file) { return static_cast<std::FILE*>(file); }

// Appends bytes with every LF turned into CR LF, as a text-mode stream would.
void appendWithCrLf(std::string& out, std::string_view bytes) {
    size_t start = 0;
    for (size_t lf = bytes.find('\n'); lf != std::string_view::npos; lf = bytes.find('\n', start)) {
        out.append(bytes.substr(start, lf - start));
        out.append("\r\n");
        start = lf + 1;
    }
    out.append(bytes.substr(start));
}

}  // namespace

String formatGroupedInt(int64_t value) {
    // Magnitude as unsigned, so the most negative value needs no special case.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char16_t buf[32];
    int n = 0;
    int inGroup = 0;
    do {
        if (inGroup == 3) {
            buf[n++] = u'\u00A0';
            inGroup = 0;
        }
        buf[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
        ++inGroup;
    } while (magnitude != 0);
    if (value < 0) buf[n++] = u'-';
    String out;
    out.reserve(static_cast<size_t>(n));
    while (n > 0) out.push_back(buf[--n]);
    return out;
}

ReportStream::~ReportStream() {
    if (open_) close();
}

bool ReportStream::open(const String& path) {
    if (open_) close();
    buffer_.clear();
    failed_ = false;
    inMemory_ = false;
    std::FILE* file = openFile(path, "wb");
    if (file == nullptr) return false;
    file_ = file;
    open_ = true;
    return true;
}

void ReportStream::openInMemory() {
    if (open_) close();
    buffer_.clear();
    failed_ = false;
    inMemory_ = true;
    open_ = true;
}

ReportStream& ReportStream::operator<<(StringView text) {
    if (!open_) return *this;
    size_t start = 0;
    for (size_t lf = text.find(u'\n'); lf != StringView::npos; lf = text.find(u'\n', start)) {
        encodeCp1251(text.substr(start, lf - start), buffer_);
        buffer_.append("\r\n");
        start = lf + 1;
    }
    encodeCp1251(text.substr(start), buffer_);
    flushIfLarge();
    return *this;
}

ReportStream& ReportStream::operator<<(const char* ascii) {
    if (!open_ || ascii == nullptr) return *this;
    std::string bytes(ascii);
    // Only 7-bit text is meant here; anything else has no defined character.
    for (char& c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    }
    appendWithCrLf(buffer_, bytes);
    flushIfLarge();
    return *this;
}

ReportStream& ReportStream::operator<<(int32_t value) { return *this << static_cast<int64_t>(value); }

ReportStream& ReportStream::operator<<(int64_t value) { return *this << StringView(formatGroupedInt(value)); }

void ReportStream::writeEncoded(std::string_view cp1251Bytes) {
    if (!open_) return;
    appendWithCrLf(buffer_, cp1251Bytes);
    flushIfLarge();
}

void ReportStream::writeBytes(std::string_view bytes) {
    if (!open_) return;
    buffer_.append(bytes);
    flushIfLarge();
}

void ReportStream::flushIfLarge() {
    if (inMemory_ || buffer_.size() < kFlushThreshold) return;
    if (!failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), asFile(file_)) != buffer_.size()) failed_ = true;
    buffer_.clear();
}

bool ReportStream::close() {
    if (!open_) return false;
    open_ = false;
    if (inMemory_) return !failed_;
    std::FILE* file = asFile(file_);
    file_ = nullptr;
    if (!failed_ && !buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file) != buffer_.size())
        failed_ = true;
    buffer_.clear();
    // A full disk often shows only here, when the C runtime's own buffer goes out.
    if (std::fflush(file) != 0) failed_ = true;
    if (std::fclose(file) != 0) failed_ = true;
    return !failed_;
}

bool readFileBytes(const String& path, std::string& bytes, size_t limit) {
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) return false;
    bytes.clear();
    char chunk[16 * 1024];
    while (bytes.size() < limit) {
        const size_t want = std::min(sizeof chunk, limit - bytes.size());
        const size_t got = std::fread(chunk, 1, want, file);
        bytes.append(chunk, got);
        if (got < want) break;
    }
    std::fclose(file);
    return true;
}

}  // namespace horalis
