#pragma once
// The in-memory store of measured time: applications in first-seen order,
// each with its titles in first-seen order. Keys are exact UTF-16 strings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace horalis {

using String = std::u16string;
using StringView = std::u16string_view;

// Key of the entry that collects the time while the user is away.
inline constexpr StringView kIdleTimeKey = u"Idle time";

struct TitleRecord {
    String text;
    int32_t sampleCount = 0;
};

struct ApplicationRecord {
    std::vector<TitleRecord> titles;
    int32_t sampleCount = 0;
    String executablePath;
};

// Open-addressing index of positions into a vector of records, keyed by the
// record's text. It keeps a sample's cost flat however many records there are,
// while the vectors keep the first-seen order that every reader relies on.
class KeyIndex {
public:
    // Returns the position stored for key, or npos.
    template <class KeyOf>
    size_t find(StringView key, KeyOf keyOf) const;
    template <class KeyOf>
    void insert(StringView key, size_t position, KeyOf keyOf);
    void clear();
    size_t memoryBytes() const { return slots_.capacity() * sizeof(Slot); }

    static constexpr size_t npos = static_cast<size_t>(-1);
    static uint64_t hash(StringView key);

private:
    struct Slot {
        uint32_t position = 0;  // position + 1; 0 marks an empty slot
        uint32_t hashBits = 0;
    };
    template <class KeyOf>
    void grow(KeyOf keyOf);
    std::vector<Slot> slots_;
    size_t used_ = 0;
};

class UsageRecords {
public:
    // Counts one sample for the application at path with the given title.
    // New records start at 0: the sample that creates them is not counted.
    void addSample(StringView path, StringView title);
    void clearAll();

    const ApplicationRecord* find(StringView path) const;
    const std::vector<ApplicationRecord>& applications() const { return applications_; }
    size_t size() const { return applications_.size(); }
    bool empty() const { return applications_.empty(); }

private:
    std::vector<ApplicationRecord> applications_;
    KeyIndex applicationIndex_;
    std::vector<KeyIndex> titleIndexes_;  // one per application, same position
};

// A count is a number of half-second samples; shown durations are whole seconds.
inline int32_t samplesToSeconds(int32_t samples) { return samples / 2; }

}  // namespace horalis
