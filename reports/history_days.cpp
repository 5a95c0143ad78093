#include "reports/history_days.h"

#include <algorithm>

#include "base/calendar.h"

namespace horalis {

namespace {

uint32_t amountOf(int64_t value) { return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, UINT32_MAX)); }

}  // namespace

HistoryTexts::HistoryTexts() { application(kIdleTimeKey); }

uint32_t HistoryTexts::application(StringView path) {
    const auto keyOf = [this](size_t i) -> StringView { return paths_[i]; };
    const size_t found = pathIndex_.find(path, keyOf);
    if (found != KeyIndex::npos) return static_cast<uint32_t>(found);
    const auto id = static_cast<uint32_t>(paths_.size());
    paths_.emplace_back(path);
    applicationTitles_.emplace_back();
    pathIndex_.insert(path, id, keyOf);
    return id;
}

namespace {

uint32_t titleBits(uint32_t application, StringView text) {
    const uint64_t h = KeyIndex::hash(text) ^ (uint64_t{application} * 0x9e3779b97f4a7c15ULL);
    return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

size_t HistoryTexts::probeTitle(uint32_t application, StringView text, uint32_t bits) const {
    const size_t mask = titleSlots_.size() - 1;
    for (size_t i = bits & mask;; i = (i + 1) & mask) {
        const Slot& slot = titleSlots_[i];
        if (slot.position == 0) return i;
        if (slot.hashBits != bits) continue;
        const Title& title = titles_[slot.position - 1];
        if (title.application == application && sameKey(StringView(title.text, title.length), text)) return i;
    }
}

void HistoryTexts::reserveTitles(size_t count) {
    // Load factor at most 3/4, so a probe always ends at an empty slot.
    if (count * 4 <= titleSlots_.size() * 3) return;
    size_t size = titleSlots_.empty() ? 1024 : titleSlots_.size();
    while (count * 4 > size * 3) size *= 2;
    std::vector<Slot> old(size);
    old.swap(titleSlots_);
    const size_t mask = size - 1;
    for (const Slot& slot : old) {
        if (slot.position == 0) continue;
        size_t i = slot.hashBits & mask;
        while (titleSlots_[i].position != 0) i = (i + 1) & mask;
        titleSlots_[i] = slot;
    }
}

uint32_t HistoryTexts::addTitle(size_t slot, uint32_t application, StringView text, uint32_t bits) {
    const auto id = static_cast<uint32_t>(titles_.size());
    char16_t* stored;
    if (text.size() > kTextBlock / 4) {
        longTexts_.push_back(std::make_unique<char16_t[]>(text.size()));
        stored = longTexts_.back().get();
    } else {
        if (textBlocks_.empty() || blockUsed_ + text.size() > kTextBlock) {
            textBlocks_.push_back(std::make_unique<char16_t[]>(kTextBlock));
            blockUsed_ = 0;
        }
        stored = textBlocks_.back().get() + blockUsed_;
        blockUsed_ += text.size();
    }
    std::copy(text.begin(), text.end(), stored);
    titles_.push_back(Title{stored, static_cast<uint32_t>(text.size()), application});
    applicationTitles_[application].push_back(id);
    titleSlots_[slot] = Slot{id + 1, bits};
    return id;
}

uint32_t HistoryTexts::title(uint32_t application, StringView text) {
    reserveTitles(titles_.size() + 1);
    const uint32_t bits = titleBits(application, text);
    const size_t slot = probeTitle(application, text, bits);
    const uint32_t position = titleSlots_[slot].position;
    return position != 0 ? position - 1 : addTitle(slot, application, text, bits);
}

void HistoryTexts::titles(const std::vector<TitleKey>& keys, std::vector<uint32_t>& ids) {
    // Room for all first, so that no slot moves between the passes. Each
    // pass asks for what the next one reads: the home slots, then the
    // titles they name, then those titles' texts; the last pass finds them
    // all in the cache instead of waiting for each in turn.
    reserveTitles(titles_.size() + keys.size());
    const size_t mask = titleSlots_.size() - 1;
    bits_.resize(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        bits_[i] = titleBits(keys[i].application, keys[i].text);
        __builtin_prefetch(&titleSlots_[bits_[i] & mask]);
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        const Slot& home = titleSlots_[bits_[i] & mask];
        if (home.position != 0 && home.hashBits == bits_[i]) __builtin_prefetch(&titles_[home.position - 1]);
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        const Slot& home = titleSlots_[bits_[i] & mask];
        if (home.position != 0 && home.hashBits == bits_[i]) __builtin_prefetch(titles_[home.position - 1].text);
    }
    ids.resize(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        const size_t slot = probeTitle(keys[i].application, keys[i].text, bits_[i]);
        const uint32_t position = titleSlots_[slot].position;
        ids[i] = position != 0 ? position - 1 : addTitle(slot, keys[i].application, keys[i].text, bits_[i]);
    }
}

uint32_t HistoryTexts::owner(StringView computer, StringView user) {
    // A NUL cannot be in either name, so it keeps the two apart in one key.
    String key(computer);
    key += u'\0';
    key += user;
    const auto keyOf = [this](size_t i) -> StringView { return ownerKeys_[i]; };
    const size_t found = ownerIndex_.find(key, keyOf);
    if (found != KeyIndex::npos) return static_cast<uint32_t>(found);
    const auto id = static_cast<uint32_t>(owners_.size());
    owners_.push_back(RecordOwner{String(computer), String(user)});
    ownerKeys_.push_back(std::move(key));
    ownerIndex_.insert(ownerKeys_.back(), id, keyOf);
    return id;
}

HistoryDay historyDayOfRecord(const DayRecord& record, HistoryTexts& texts, bool keepMinutes) {
    HistoryDay out;
    out.day = dayNumberOf(record.day);
    out.owner = texts.owner(record.computer, record.user);
    out.hasTimes = !record.minutes.empty();
    out.minutesKept = keepMinutes;
    out.inSamples = true;
    std::vector<uint32_t> ids;
    ids.reserve(record.applications.size());
    out.applications.reserve(record.applications.size());
    size_t titles = 0;
    for (const JournalApplication& application : record.applications) titles += application.titles.size();
    out.titles.reserve(titles);
    std::vector<HistoryTexts::TitleKey> keys;
    keys.reserve(titles);
    for (const JournalApplication& application : record.applications) {
        const uint32_t id = texts.application(application.path);
        ids.push_back(id);
        if (id == HistoryTexts::kAway) {
            out.away += application.samples;
            continue;
        }
        if (application.samples <= 0 && application.titles.empty()) continue;
        out.applications.push_back(HistoryTotal{id, amountOf(application.samples)});
        for (const JournalTitle& title : application.titles) {
            keys.push_back(HistoryTexts::TitleKey{id, title.title});
            out.titles.push_back(HistoryTotal{0, amountOf(title.samples)});
        }
    }
    std::vector<uint32_t> titleIds;
    texts.titles(keys, titleIds);
    for (size_t i = 0; i < titleIds.size(); ++i) out.titles[i].id = titleIds[i];
    if (keepMinutes) {
        out.minutes.reserve(record.minutes.size());
        for (const DayMinute& minute : record.minutes)
            if (minute.application < ids.size())
                out.minutes.push_back(TimelineMinute{minute.minuteOfDay, ids[minute.application], minute.samples});
    }
    return out;
}

HistoryDay historyDayOfPair(int64_t day, const DailyPairTotals& totals, HistoryTexts& texts) {
    HistoryDay out;
    out.day = day;
    out.minutesKept = true;  // a pair has none to keep
    for (const PairApplicationTotal& application : totals.applications) {
        if (application.seconds <= 0 && application.titles.empty()) continue;
        const uint32_t id = texts.application(application.path);
        if (id == HistoryTexts::kAway) {
            out.away += application.seconds;
            continue;
        }
        out.applications.push_back(HistoryTotal{id, amountOf(application.seconds)});
        for (const PairTitleTotal& title : application.titles)
            out.titles.push_back(HistoryTotal{texts.title(id, title.title), amountOf(title.seconds)});
    }
    return out;
}

namespace {

void addTotals(std::vector<HistoryTotal>& into, const std::vector<HistoryTotal>& from, int64_t scale) {
    for (const HistoryTotal& total : from) into.push_back(HistoryTotal{total.id, amountOf(int64_t{total.amount} * scale)});
}

void sumById(std::vector<HistoryTotal>& totals) {
    std::sort(totals.begin(), totals.end(), [](const HistoryTotal& a, const HistoryTotal& b) { return a.id < b.id; });
    size_t kept = 0;
    for (size_t i = 0; i < totals.size(); ++i) {
        if (kept > 0 && totals[kept - 1].id == totals[i].id)
            totals[kept - 1].amount = amountOf(int64_t{totals[kept - 1].amount} + totals[i].amount);
        else
            totals[kept++] = totals[i];
    }
    totals.resize(kept);
}

}  // namespace

HistoryDay mergeHistoryDays(const std::vector<const HistoryDay*>& files) {
    HistoryDay out;
    if (files.empty()) return out;
    out.day = files.front()->day;
    out.minutesKept = true;
    for (const HistoryDay* file : files) out.inSamples |= file->inSamples;
    for (const HistoryDay* file : files) {
        const int64_t scale = out.inSamples && !file->inSamples ? 2 : 1;
        out.hasTimes |= file->hasTimes;
        out.minutesKept &= file->minutesKept;
        out.away += file->away * scale;
        addTotals(out.applications, file->applications, scale);
        addTotals(out.titles, file->titles, scale);
        out.minutes.insert(out.minutes.end(), file->minutes.begin(), file->minutes.end());
    }
    sumById(out.applications);
    sumById(out.titles);
    return out;
}

}  // namespace horalis
