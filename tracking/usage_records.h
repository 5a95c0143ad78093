#pragma once
// The in-memory store of measured time: applications in first-seen order,
// each with its titles in first-seen order. Keys are exact UTF-16 strings.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/string.h"

namespace horalis {

// Key of the entry that collects the time while the user is away.
inline constexpr StringView kIdleTimeKey = u"Idle time";

struct TitleRecord {
    String text;
    int32_t sampleCount = 0;
    int32_t journaledCount = 0;  // of sampleCount, what the day's journal already holds
};

struct ApplicationRecord {
    std::vector<TitleRecord> titles;
    int32_t sampleCount = 0;
    int32_t journaledCount = 0;  // of sampleCount, what the day's journal already holds
    String executablePath;
};

// Exact equality of two keys. memcmp is much faster than the element-wise
// loop that char16_t traits compile to, and equality needs no ordering.
inline bool sameKey(StringView a, StringView b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

// Open-addressing index of positions into a vector of records, keyed by the
// record's text. It keeps a sample's cost flat however many records there are,
// while the vectors keep the first-seen order that every reader relies on.
// The keys themselves live only in the records; keyOf(position) reads them back.
class KeyIndex {
public:
    // Returns the position stored for key, or npos.
    template <class KeyOf>
    size_t find(StringView key, KeyOf keyOf) const;
    // Stores position for key, which must not be in the index yet.
    template <class KeyOf>
    void insert(StringView key, size_t position, KeyOf keyOf);
    void clear();
    size_t size() const { return used_; }
    size_t memoryBytes() const { return slots_.capacity() * sizeof(Slot); }

    static constexpr size_t npos = static_cast<size_t>(-1);
    static uint64_t hash(StringView key);

private:
    struct Slot {
        uint32_t position = 0;  // position + 1; 0 marks an empty slot
        uint32_t hashBits = 0;  // also picks the home slot, so growing needs no keys
    };
    static uint32_t foldHash(StringView key) {
        const uint64_t h = hash(key);
        return static_cast<uint32_t>(h ^ (h >> 32));
    }
    // Slot where key sits, or the empty slot where it belongs.
    template <class KeyOf>
    size_t probe(StringView key, uint32_t bits, KeyOf& keyOf) const;
    void place(uint32_t bits, size_t position);
    void grow();
    std::vector<Slot> slots_;
    size_t used_ = 0;
};

template <class KeyOf>
size_t KeyIndex::probe(StringView key, uint32_t bits, KeyOf& keyOf) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = bits & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.position == 0) return i;
        if (slot.hashBits == bits && sameKey(keyOf(size_t{slot.position} - 1), key)) return i;
    }
}

template <class KeyOf>
size_t KeyIndex::find(StringView key, KeyOf keyOf) const {
    if (used_ == 0) return npos;
    const Slot& slot = slots_[probe(key, foldHash(key), keyOf)];
    return slot.position == 0 ? npos : size_t{slot.position} - 1;
}

template <class KeyOf>
void KeyIndex::insert(StringView key, size_t position, KeyOf) {
    // Load factor at most 3/4, so a probe always ends at an empty slot.
    if ((used_ + 1) * 4 > slots_.size() * 3) grow();
    place(foldHash(key), position);
    ++used_;
}

class UsageRecords {
public:
    // Counts one sample for the application at path with the given title.
    // New records start at 0: the sample that creates them is not counted.
    void addSample(StringView path, StringView title);
    void clearAll();

    // Counts taken from elsewhere (a daily pair read back to be added to):
    // adds samples to the application at path, creating it without titles
    // when it is new, and returns its position; then to one of its titles,
    // creating it when new. Counts stop at the largest int32_t.
    size_t addApplicationSamples(StringView path, int32_t samples);
    void addTitleSamples(size_t application, StringView title, int32_t samples);
    bool hasTitle(size_t application, StringView title) const;

    // Every change gives the store a new version, unique across all stores,
    // so a reader that noted version() can tell later whether exactly one
    // sample has been added since (previousVersion() is then that version)
    // and to which application (lastSampled(); npos after a clear).
    uint64_t version() const { return version_; }
    uint64_t previousVersion() const { return previousVersion_; }
    size_t lastSampled() const { return lastSampled_; }
    // The title of lastSampled() that the last sample went to.
    size_t lastSampledTitle() const { return lastTitle_; }

    // The samples of a record not yet in the journal, which from now on are.
    int32_t takeUnjournaled(size_t application);
    int32_t takeUnjournaled(size_t application, size_t title);
    static constexpr size_t npos = static_cast<size_t>(-1);

    const ApplicationRecord* find(StringView path) const;
    const std::vector<ApplicationRecord>& applications() const { return applications_; }
    size_t size() const { return applications_.size(); }
    bool empty() const { return applications_.empty(); }

    // Below this many records a plain scan beats hashing, and the small
    // lists (most applications have a handful of titles) carry no index.
    static constexpr size_t kIndexThreshold = 8;

private:
    void beginChange();
    // Appends a new application with its index entries; returns its position.
    size_t append(ApplicationRecord app);
    std::vector<ApplicationRecord> applications_;
    KeyIndex applicationIndex_;
    std::vector<KeyIndex> titleIndexes_;  // one per application, same position
    uint64_t version_ = nextVersion();
    uint64_t previousVersion_ = 0;
    size_t lastSampled_ = npos;
    size_t lastTitle_ = npos;
    static uint64_t nextVersion();
};

// A count is a number of half-second samples; shown durations are whole seconds.
inline int32_t samplesToSeconds(int32_t samples) { return samples / 2; }

}  // namespace horalis
