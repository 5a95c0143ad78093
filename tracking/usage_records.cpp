#include "tracking/usage_records.h"

#include <cstring>

namespace horalis {

namespace {

// Counts wrap instead of overflowing (2^31 samples are 34 years).
void countOne(int32_t& count) { count = static_cast<int32_t>(static_cast<uint32_t>(count) + 1u); }

void addSaturating(int32_t& count, int32_t samples) {
    const int64_t sum = int64_t{count} + samples;
    count = sum > INT32_MAX ? INT32_MAX : sum < 0 ? 0 : static_cast<int32_t>(sum);
}

inline uint64_t load64(const char16_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline uint64_t mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// Grows a record vector by half instead of doubling: with many titles the
// unused tail is a large share of the memory a title costs.
template <class T>
void reserveForOneMore(std::vector<T>& records) {
    if (records.size() == records.capacity()) records.reserve(records.size() < 4 ? 4 : records.size() + records.size() / 2);
}

// Position of the record whose key equals key, or npos. keyOf(i) is the key of records[i].
template <class Records, class KeyOf>
size_t scan(const Records& records, StringView key, KeyOf keyOf) {
    for (size_t i = 0; i < records.size(); ++i) {
        if (sameKey(keyOf(i), key)) return i;
    }
    return KeyIndex::npos;
}

// Looks key up among records, building the index once the list is long enough.
template <class Records, class KeyOf>
size_t lookup(KeyIndex& index, const Records& records, StringView key, KeyOf keyOf) {
    if (records.size() < UsageRecords::kIndexThreshold) return scan(records, key, keyOf);
    if (index.size() == 0) {
        for (size_t i = 0; i < records.size(); ++i) index.insert(keyOf(i), i, keyOf);
    }
    return index.find(key, keyOf);
}

// Indexes the record just appended. Done after the append, so that running out
// of memory while appending cannot leave a position without its record.
template <class Records, class KeyOf>
void noteAppended(KeyIndex& index, const Records& records, KeyOf keyOf) {
    if (index.size() == 0) return;  // built by the next lookup that needs it
    const size_t last = records.size() - 1;
    index.insert(keyOf(last), last, keyOf);
}

}  // namespace

uint64_t KeyIndex::hash(StringView key) {
    // Four code units per step; the length goes in first so that keys which
    // differ only by trailing zero units hash apart.
    uint64_t h = 0x9e3779b97f4a7c15ULL ^ (key.size() * 0xff51afd7ed558ccdULL);
    const char16_t* p = key.data();
    size_t n = key.size();
    while (n >= 4) {
        h = (h ^ load64(p)) * 0x87c37b91114253d5ULL;
        h = (h << 31) | (h >> 33);
        p += 4;
        n -= 4;
    }
    uint64_t tail = 0;
    for (size_t i = 0; i < n; ++i) tail |= uint64_t{p[i]} << (16 * i);
    h = (h ^ tail) * 0x4cf5ad432745937fULL;
    return mix(h);
}

void KeyIndex::clear() {
    std::vector<Slot>().swap(slots_);
    used_ = 0;
}

void KeyIndex::place(uint32_t bits, size_t position) {
    const size_t mask = slots_.size() - 1;
    size_t i = bits & mask;
    while (slots_[i].position != 0) i = (i + 1) & mask;
    slots_[i].position = static_cast<uint32_t>(position + 1);
    slots_[i].hashBits = bits;
}

void KeyIndex::grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    for (const Slot& slot : old) {
        if (slot.position != 0) place(slot.hashBits, size_t{slot.position} - 1);
    }
}

uint64_t UsageRecords::nextVersion() {
    // One thread only, like everything that touches the records.
    static uint64_t last = 0;
    return ++last;
}

// Called before anything changes, so that a change cut short by running out
// of memory leaves lastSampled_ at npos and readers look at everything.
void UsageRecords::beginChange() {
    previousVersion_ = version_;
    version_ = nextVersion();
    lastSampled_ = npos;
    lastTitle_ = npos;
}

size_t UsageRecords::append(ApplicationRecord app) {
    auto appKey = [this](size_t i) -> const String& { return applications_[i].executablePath; };
    reserveForOneMore(titleIndexes_);
    reserveForOneMore(applications_);
    applications_.push_back(std::move(app));
    titleIndexes_.emplace_back();
    noteAppended(applicationIndex_, applications_, appKey);
    return applications_.size() - 1;
}

void UsageRecords::addSample(StringView path, StringView title) {
    beginChange();
    auto appKey = [this](size_t i) -> const String& { return applications_[i].executablePath; };
    const size_t appPos = lookup(applicationIndex_, applications_, path, appKey);
    if (appPos == KeyIndex::npos) {
        ApplicationRecord app;
        app.executablePath.assign(path);
        app.titles.reserve(1);
        app.titles.push_back(TitleRecord{String(title), 0});
        lastSampled_ = append(std::move(app));
        lastTitle_ = 0;
        return;
    }

    ApplicationRecord& app = applications_[appPos];
    countOne(app.sampleCount);
    auto titleKey = [&app](size_t i) -> const String& { return app.titles[i].text; };
    KeyIndex& titleIndex = titleIndexes_[appPos];
    const size_t titlePos = lookup(titleIndex, app.titles, title, titleKey);
    if (titlePos == KeyIndex::npos) {
        reserveForOneMore(app.titles);
        app.titles.push_back(TitleRecord{String(title), 0});
        noteAppended(titleIndex, app.titles, titleKey);
        lastTitle_ = app.titles.size() - 1;
    } else {
        countOne(app.titles[titlePos].sampleCount);
        lastTitle_ = titlePos;
    }
    lastSampled_ = appPos;
}

size_t UsageRecords::addApplicationSamples(StringView path, int32_t samples) {
    beginChange();
    auto appKey = [this](size_t i) -> const String& { return applications_[i].executablePath; };
    size_t appPos = lookup(applicationIndex_, applications_, path, appKey);
    if (appPos == KeyIndex::npos) {
        ApplicationRecord app;
        app.executablePath.assign(path);
        appPos = append(std::move(app));
    }
    addSaturating(applications_[appPos].sampleCount, samples);
    return appPos;
}

void UsageRecords::addTitleSamples(size_t application, StringView title, int32_t samples) {
    beginChange();
    ApplicationRecord& app = applications_[application];
    auto titleKey = [&app](size_t i) -> const String& { return app.titles[i].text; };
    KeyIndex& titleIndex = titleIndexes_[application];
    size_t titlePos = lookup(titleIndex, app.titles, title, titleKey);
    if (titlePos == KeyIndex::npos) {
        reserveForOneMore(app.titles);
        app.titles.push_back(TitleRecord{String(title), 0});
        noteAppended(titleIndex, app.titles, titleKey);
        titlePos = app.titles.size() - 1;
    }
    addSaturating(app.titles[titlePos].sampleCount, samples);
}

namespace {
// A count that wrapped (34 years of samples) only moves the mark.
int32_t takeFrom(int32_t count, int32_t& journaled) {
    const int32_t unwritten = count >= journaled ? count - journaled : 0;
    journaled = count;
    return unwritten;
}
}  // namespace

int32_t UsageRecords::takeUnjournaled(size_t application) {
    ApplicationRecord& app = applications_[application];
    return takeFrom(app.sampleCount, app.journaledCount);
}

int32_t UsageRecords::takeUnjournaled(size_t application, size_t title) {
    TitleRecord& record = applications_[application].titles[title];
    return takeFrom(record.sampleCount, record.journaledCount);
}

void UsageRecords::clearAll() {
    beginChange();
    std::vector<ApplicationRecord>().swap(applications_);
    std::vector<KeyIndex>().swap(titleIndexes_);
    applicationIndex_.clear();
}

bool UsageRecords::hasTitle(size_t application, StringView title) const {
    const ApplicationRecord& app = applications_[application];
    auto titleKey = [&app](size_t i) -> const String& { return app.titles[i].text; };
    const KeyIndex& index = titleIndexes_[application];
    return (index.size() != 0 ? index.find(title, titleKey) : scan(app.titles, title, titleKey)) != KeyIndex::npos;
}

const ApplicationRecord* UsageRecords::find(StringView path) const {
    auto appKey = [this](size_t i) -> const String& { return applications_[i].executablePath; };
    const size_t pos = applicationIndex_.size() != 0 ? applicationIndex_.find(path, appKey) : scan(applications_, path, appKey);
    return pos == KeyIndex::npos ? nullptr : &applications_[pos];
}

}  // namespace horalis
