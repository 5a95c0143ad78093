// The journal and day-record readers fed arbitrary bytes: they never crash,
// and what they read, written again, reads back to the same bytes once more.
#include <string>

#include "fuzz_input.h"
#include "reports/day_record.h"

using namespace horalis;
using horalis::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    JournalHeader header;
    std::vector<JournalBlock> blocks;
    if (readJournal(bytes, header, blocks)) {
        std::string once;
        appendJournalHeader(header, once);
        for (const JournalBlock& block : blocks) appendJournalBlock(block, once);
        JournalHeader again;
        std::vector<JournalBlock> blocksAgain;
        check(readJournal(once, again, blocksAgain) && blocksAgain.size() == blocks.size(), "a journal written from what was read reads back whole");
        std::string twice;
        appendJournalHeader(again, twice);
        for (const JournalBlock& block : blocksAgain) appendJournalBlock(block, twice);
        check(twice == once, "read back and written again: the same bytes");
    }
    DayRecord record;
    if (readDayRecord(bytes, record) == DayRecordRead::Read) {
        std::string once;
        appendDayRecord(record, once);
        DayRecord again;
        check(readDayRecord(once, again) == DayRecordRead::Read, "a record written from what was read reads back");
        std::string twice;
        appendDayRecord(again, twice);
        check(twice == once, "read back and written again: the same bytes");
    }
    return 0;
}
