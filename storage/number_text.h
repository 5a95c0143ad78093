#pragma once
// Decimal integers in text, read the way the C runtime's conversions (strtol,
// "%u") read them, for the settings file, the lists' durations and the
// Options dialog's timeout. Each caller keeps its own rule for a number out
// of range: the file rejects it, the timeout is clamped, "%u" wraps.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace horalis {

// The white space those conversions skip: isspace in the "C" locale. A
// no-break space (0xA0) is not among it.
constexpr bool isCSpace(char32_t c) { return c == U' ' || (c >= U'\t' && c <= U'\r'); }

struct ReadInteger {
    bool read = false;       // digits were read, and any digit grouping was whole
    bool negative = false;
    uint64_t magnitude = 0;  // stops growing past 2^33, above every 32-bit limit
    uint32_t low32 = 0;      // the magnitude modulo 2^32
    size_t end = 0;          // just past the last digit; only meaningful when read

    // Signed; 0 when nothing was read.
    constexpr int64_t value() const {
        return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    }
    // Modulo 2^32, minus negating, as "%u" gives it.
    constexpr uint32_t wrapped() const { return negative ? 0u - low32 : low32; }
};

// From pos: white space, an optional sign, decimal digits. With a group
// separator, digits may be grouped as the settings file writes them: a
// first group of 1 to 3 digits, then groups of exactly 3, each after one
// separator; a separator anywhere else makes the number unread.
template <class Char>
ReadInteger readInteger(std::basic_string_view<Char> text, size_t pos,
                        std::optional<Char> groupSeparator = std::nullopt);

}  // namespace horalis
