#include "storage/duration.h"

#include "storage/number_text.h"

namespace horalis {

namespace {

void appendUnsigned(String& out, uint32_t value, int minDigits = 1) {
    char16_t digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = n; i < minDigits; ++i) out.push_back(u'0');
    while (n > 0) out.push_back(digits[--n]);
}

// Reads up to count numbers separated by single ':' characters, like
// "%u:%u:%u" (each wraps modulo 2^32); the numbers that cannot be read stay 0.
void readColonSeparated(StringView text, uint32_t* values, int count) {
    size_t pos = 0;
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            if (pos >= text.size() || text[pos] != u':') return;
            ++pos;
        }
        const ReadInteger number = readInteger(text, pos);
        if (!number.read) return;
        values[k] = number.wrapped();
        pos = number.end;
    }
}

}  // namespace

String formatDuration(int32_t seconds, bool secondsMode) {
    const uint32_t total = static_cast<uint32_t>(seconds);
    String out;
    if (secondsMode) {
        appendUnsigned(out, total);
        return out;
    }
    const uint32_t hours = total / 3600;
    const uint32_t rest = total % 3600;
    const uint32_t minutes = rest / 60;
    const uint32_t secs = rest % 60;
    if (hours != 0) {
        appendUnsigned(out, hours);
        out.push_back(u':');
        appendUnsigned(out, minutes, 2);
        out.push_back(u':');
        appendUnsigned(out, secs, 2);
    } else if (minutes != 0) {
        appendUnsigned(out, minutes);
        out.push_back(u':');
        appendUnsigned(out, secs, 2);
    } else {
        appendUnsigned(out, secs);
        out += u" sec";
    }
    return out;
}

uint32_t parseDuration(StringView text) {
    uint32_t v[3] = {0, 0, 0};
    if (text.find(u"sec") != StringView::npos) {
        readColonSeparated(text, v, 1);
        return v[0];
    }
    size_t colons = 0;
    for (char16_t c : text) colons += c == u':';
    if (colons == 2) {
        readColonSeparated(text, v, 3);
        return (v[0] * 60u + v[1]) * 60u + v[2];
    }
    if (colons == 1) {
        readColonSeparated(text, v, 2);
        return v[0] * 60u + v[1];
    }
    readColonSeparated(text, v, 1);
    return v[0];
}

}  // namespace horalis
