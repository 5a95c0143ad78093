#include "reports/day_journal.h"

#include <algorithm>
#include <map>
#include <utility>

#include "reports/daily_reports.h"
#include "storage/file_io.h"
#include "storage/replacing_file.h"
#include "storage/report_stream.h"

namespace horalis {

namespace {

// A journal or record larger than this is not a day's: it is left alone.
constexpr size_t kLargestJournal = size_t{256} << 20;

bool endsWith(StringView text, StringView end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

int32_t asCount(int64_t samples) { return samples >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(samples); }

std::string dateKey(const LocalTime& day) {
    std::string key;
    appendJournalDate(day, key);
    return key;
}

std::vector<String> ownJournals(const String& dataFolder, const RecordOwner& owner) {
    std::vector<String> names;
    listFolderFiles(journalFolder(dataFolder), names);
    const String prefix = ownerFilePart(owner) + u" ";
    std::erase_if(names, [&](const String& name) {
        return name.compare(0, prefix.size(), prefix) != 0 || !endsWith(name, u".txt");
    });
    std::sort(names.begin(), names.end());
    return names;
}

// "... .txt.unreadable", "... .txt.unreadable2", ...: a name that no reader takes.
bool setAside(const String& path) {
    for (int n = 1; n < kSetAsideNames; ++n) {
        const std::string number = n == 1 ? std::string() : std::to_string(n);
        if (renameFileKeepingTarget(path, path + u".unreadable" + String(number.begin(), number.end()))) return true;
    }
    return false;
}

class Fold {
public:
    Fold(const String& dataFolder, const RecordOwner& owner, const LocalTime& now, const Settings& settings)
        : dataFolder_(dataFolder), owner_(owner), now_(now), settings_(settings) {
        listFolderFiles(dayRecordFolder(dataFolder_), recordNames_);
    }

    FoldResult run(StringView keepRunId, const LocalTime* pairDay) {
        std::vector<String> held;
        for (const String& name : ownJournals(dataFolder_, owner_)) {
            String runId;
            if (foldJournal(journalFolder(dataFolder_) + u"\\" + name, runId) && runId != keepRunId)
                held.push_back(name);
        }
        if (pairDay != nullptr && !pathExists(dataFolder_ + dailyPairBaseName(*pairDay) + String(kPairCsvExtension))) {
            if (Loaded* loaded = load(*pairDay))
                loaded->record.pairPending = true;
            else
                result_.complete = false;
        }
        writeRecordsAndPairs();
        // Only once every record and pair is written may a journal go: a
        // record still marked is found again through its journal.
        if (result_.complete)
            for (const String& name : held) removeFile(journalFolder(dataFolder_) + u"\\" + name);
        return std::move(result_);
    }

    // True when every block of the journal is now in a record.
    bool foldJournal(const String& path, String& runId) {
        std::string bytes;
        if (!readFileBytes(path, bytes, kLargestJournal + 1) || bytes.size() > kLargestJournal) {
            result_.complete = false;
            return false;
        }
        JournalHeader header;
        std::vector<JournalBlock> blocks;
        // Not a journal of ours after all: left as it is.
        if (!readJournal(bytes, header, blocks) || header.computer != owner_.computer || header.user != owner_.user)
            return false;
        runId = header.runId;
        bool whole = true;
        for (const JournalBlock& block : blocks) {
            Loaded* loaded = load(block.day);
            if (loaded == nullptr) {
                whole = false;
                result_.complete = false;
                continue;
            }
            if (block.sequence <= loaded->record.heldSequence(runId)) continue;
            loaded->record.add(block);
            loaded->record.noteHeld(runId, block.sequence);
            loaded->changed = true;
        }
        return whole;
    }

private:
    struct Loaded {
        DayRecord record;
        bool changed = false;
    };

    String recordPath(const LocalTime& day) const {
        return dayRecordFolder(dataFolder_) + u"\\" + dayRecordFileName(day, owner_);
    }

    bool anyRecordOf(const LocalTime& day) const {
        LocalTime named;
        String owner;
        for (const String& name : recordNames_)
            if (parseDayRecordFileName(name, named, owner) && compareDates(named, day) == 0) return true;
        return false;
    }

    // This owner's record of day, read or begun; nullptr when it can be neither.
    Loaded* load(const LocalTime& day) {
        const std::string key = dateKey(day);
        auto found = loaded_.find(key);
        if (found != loaded_.end()) return &found->second;
        Loaded loaded;
        loaded.record.day = dateOf(day);
        loaded.record.computer = owner_.computer;
        loaded.record.user = owner_.user;
        const String path = recordPath(day);
        if (pathExists(path)) {
            std::string bytes;
            if (!readFileBytes(path, bytes, kLargestJournal + 1) || bytes.size() > kLargestJournal) return nullptr;
            if (readDayRecord(bytes, loaded.record) == DayRecordRead::Damaged) {
                // Kept for the user under a name no reader takes; the day starts again from the journals.
                if (!setAside(path)) return nullptr;
                loaded.record = DayRecord{};
                loaded.record.day = dateOf(day);
                loaded.record.computer = owner_.computer;
                loaded.record.user = owner_.user;
                loaded.changed = true;
            }
        } else if (!anyRecordOf(day) && !takePair(day, loaded.record)) {
            return nullptr;
        }
        return &loaded_.emplace(key, std::move(loaded)).first->second;
    }

    // A day without records: its pair, written before the journal, is where it starts.
    bool takePair(const LocalTime& day, DayRecord& record) {
        const String base = dataFolder_ + dailyPairBaseName(day);
        const String csv = base + String(kPairCsvExtension);
        if (!pathExists(csv)) return true;
        std::string bytes;
        if (!readFileBytes(csv, bytes, kLargestPair) || bytes.size() >= kLargestPair) return false;
        DailyPairTotals pair;
        if (readDailyCsv(bytes, pair) == PairReadResult::Damaged) return setPairAside(base);
        JournalBlock block;
        block.minuteOfDay = -1;  // no minutes: the pair has none
        for (const PairApplicationTotal& application : pair.applications) {
            JournalApplication into{application.path, application.seconds * 2, {}};
            for (const PairTitleTotal& title : application.titles)
                into.titles.push_back(JournalTitle{title.title, title.seconds * 2});
            block.applications.push_back(std::move(into));
        }
        record.add(block);
        return true;
    }

    void writeRecordsAndPairs() {
        for (auto& [key, loaded] : loaded_) {
            if (!loaded.changed && !loaded.record.pairPending) continue;
            loaded.record.pairPending = true;
            if (loaded.changed && !writeRecord(loaded.record)) {
                result_.complete = false;
                continue;
            }
            if (!writePair(loaded.record)) {
                result_.complete = false;
                continue;
            }
            loaded.record.pairPending = false;
            if (!writeRecord(loaded.record)) result_.complete = false;
            result_.days.push_back(loaded.record.day);
        }
    }

    bool writeRecord(const DayRecord& record) {
        createDirectory(dayRecordFolder(dataFolder_));
        std::string bytes;
        appendDayRecord(record, bytes);
        const String name = dayRecordFileName(record.day, owner_);
        if (!writeFileReplacing(dayRecordFolder(dataFolder_) + u"\\" + name, bytes)) return false;
        if (std::find(recordNames_.begin(), recordNames_.end(), name) == recordNames_.end()) recordNames_.push_back(name);
        return true;
    }

    // The pair of a day holds every computer's record of it.
    bool writePair(const DayRecord& own) {
        UsageRecords sum;
        auto addRecord = [&](const DayRecord& record) {
            for (const JournalApplication& application : record.applications) {
                const size_t position = sum.addApplicationSamples(application.path, asCount(application.samples));
                for (const JournalTitle& title : application.titles)
                    sum.addTitleSamples(position, title.title, asCount(title.samples));
            }
        };
        addRecord(own);
        const String ownName = dayRecordFileName(own.day, owner_);
        std::vector<String> names = recordNames_;
        std::sort(names.begin(), names.end());
        for (const String& name : names) {
            LocalTime day;
            String ownerPart;
            if (name == ownName || !parseDayRecordFileName(name, day, ownerPart) || compareDates(day, own.day) != 0)
                continue;
            std::string bytes;
            DayRecord other;
            // Another computer's record that cannot be read now is left out of this pair, not lost.
            if (readFileBytes(dayRecordFolder(dataFolder_) + u"\\" + name, bytes, kLargestJournal) &&
                readDayRecord(bytes, other) == DayRecordRead::Read)
                addRecord(other);
        }
        return writePairFiles(dataFolder_ + dailyPairBaseName(own.day), sum, settings_, now_) !=
               DailyPairResult::NotWritten;
    }

    const String& dataFolder_;
    const RecordOwner& owner_;
    const LocalTime& now_;
    const Settings& settings_;
    std::vector<String> recordNames_;
    std::map<std::string, Loaded> loaded_;
    FoldResult result_;
};

}  // namespace

FoldResult foldJournals(const String& dataFolder, const RecordOwner& owner, StringView keepRunId,
                        const LocalTime& now, const Settings& settings, const LocalTime* pairDay) {
    return Fold(dataFolder, owner, now, settings).run(keepRunId, pairDay);
}

bool journalsWaiting(const String& dataFolder, const RecordOwner& owner) {
    return !ownJournals(dataFolder, owner).empty();
}

// ------------------------------------------------------------ the running journal

DayJournal::DayJournal(String dataFolder, RecordOwner owner, String runId)
    : dataFolder_(std::move(dataFolder)), owner_(std::move(owner)), baseRunId_(std::move(runId)), runId_(baseRunId_) {}

String DayJournal::path() const { return journalFolder(dataFolder_) + u"\\" + journalFileName(owner_, runId_); }

bool DayJournal::append(UsageRecords& records, JournalTracker& tracker, const LocalTime& day, int minuteOfDay) {
    JournalBlock block;
    if (tracker.pending() && tracker.take(records, day, minuteOfDay, sequence_ + 1, block)) {
        ++sequence_;
        appendJournalBlock(block, unwritten_);
    }
    return writeUnwritten();
}

bool DayJournal::writeUnwritten() {
    if (unwritten_.empty()) return true;
    std::string bytes;
    if (!file_.isOpen()) {
        createDirectory(journalFolder(dataFolder_));
        if (!file_.openForAppend(path())) return false;
    }
    if (!headerWritten_) {
        appendJournalHeader(JournalHeader{runId_, owner_.computer, owner_.user}, bytes);
    } else if (tornBefore_) {
        bytes += '\n';  // a torn line of the failed write ends here, and the block starts whole
    }
    bytes += unwritten_;
    if (file_.writeFlushed(bytes)) {
        headerWritten_ = true;
        tornBefore_ = false;
        unwritten_.clear();
        return true;
    }
    if (!headerWritten_) {
        // A torn header would make the whole file unreadable: it starts again.
        file_.close();
        removeFile(path());
    } else {
        tornBefore_ = true;
    }
    return false;
}

FoldResult DayJournal::fold(const LocalTime& now, const Settings& settings, const LocalTime* pairDay) {
    writeUnwritten();
    FoldResult result = foldJournals(dataFolder_, owner_, runId_, now, settings, pairDay);
    // Everything this file holds is in the records: the next block starts a new one.
    if (result.complete && unwritten_.empty() && headerWritten_) {
        file_.close();
        removeFile(path());
        headerWritten_ = false;
        sequence_ = 0;
        std::string number = std::to_string(++segment_);
        runId_ = baseRunId_ + u"." + String(number.begin(), number.end());
    }
    return result;
}

}  // namespace horalis
