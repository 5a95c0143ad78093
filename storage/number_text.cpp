#include "storage/number_text.h"

#include <type_traits>

namespace horalis {

template <class Char>
ReadInteger readInteger(std::basic_string_view<Char> text, size_t pos, std::optional<Char> groupSeparator) {
    constexpr uint64_t kPastEveryLimit = uint64_t{1} << 33;
    ReadInteger result;
    size_t i = pos;
    // Through char32_t as a code unit, so that a byte above 0x7F is not taken
    // for a control character.
    const auto unit = [&text](size_t at) {
        return static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(text[at]));
    };
    while (i < text.size() && isCSpace(unit(i))) ++i;
    if (i < text.size() && (text[i] == Char('+') || text[i] == Char('-'))) {
        result.negative = text[i] == Char('-');
        ++i;
    }
    size_t digits = 0;
    size_t groupDigits = 0;
    bool grouped = false;
    for (; i < text.size(); ++i) {
        const char32_t c = unit(i);
        if (c >= U'0' && c <= U'9') {
            const uint32_t digit = c - U'0';
            if (result.magnitude <= kPastEveryLimit) result.magnitude = result.magnitude * 10 + digit;
            result.low32 = result.low32 * 10u + digit;
            ++digits;
            ++groupDigits;
        } else if (groupSeparator && text[i] == *groupSeparator && digits > 0) {
            if (grouped ? groupDigits != 3 : groupDigits > 3) return {};
            grouped = true;
            groupDigits = 0;
        } else {
            break;
        }
    }
    if (digits == 0 || (grouped && groupDigits != 3)) return {};  // also a separator at the end
    result.read = true;
    result.end = i;
    return result;
}

template ReadInteger readInteger<char>(std::string_view, size_t, std::optional<char>);
template ReadInteger readInteger<char16_t>(std::u16string_view, size_t, std::optional<char16_t>);

}  // namespace horalis
