#pragma once
// Splits a fuzzer's input into the pieces a target needs. Whatever runs out
// reads as zero or empty, so every input is usable.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tracking/usage_records.h"

namespace horalis::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int32_t int32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return static_cast<int32_t>(v);
    }
    // A UTF-16 text of up to maxUnits units: a length byte, then two bytes per
    // unit (little endian).
    String text(size_t maxUnits = 64) {
        const size_t n = byte() % (maxUnits + 1);
        String s;
        for (size_t i = 0; i < n && !empty(); ++i) s.push_back(unit());
        return s;
    }
    // The rest of the input as UTF-16 units.
    String restAsText() {
        String s;
        while (!empty()) s.push_back(unit());
        return s;
    }

private:
    char16_t unit() {
        const uint16_t lo = byte();
        const uint16_t hi = byte();
        return static_cast<char16_t>(lo | (hi << 8));
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// A broken property: print what was expected and stop, so libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

inline void check(bool ok, const char* what) {
    if (!ok) fail(what);
}

inline std::string printable(StringView text) {
    std::string out;
    char hex[8];
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out;
}

}  // namespace horalis::fuzz

#include <filesystem>
#include <unistd.h>

namespace horalis::fuzz {

// A folder of this process's own under the temporary folder, removed at exit.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace horalis::fuzz
