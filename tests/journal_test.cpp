#include "tracking/journal.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

// Texts no line-based file survives without care: every plane, unpaired
// surrogates, separators, line breaks, a formula's '=' and the escape itself.
const String kHostile[] = {
    u"",
    u"plain ASCII",
    u"東京 — Ελληνικά 😀",
    String(u"\xD83D") + u" lone high, lone low " + String(u"\xDE00") + String(u"\xDC00\xD800"),
    u"a;b\"c\"\r\nd\te\\n\\u0041 ",
    u"=SUM(A1) \x01\x1F\x7F",
    String(1, u'\0') + u"NUL inside" + String(1, u'\0'),
    u"\U00010000\U0010FFFF\uFFFF\uFFFE\u00A0",
};

JournalBlock sampleBlock(uint64_t sequence, int minute) {
    JournalBlock block;
    block.sequence = sequence;
    block.day = LocalTime{2026, 12, 7};
    block.minuteOfDay = minute;
    for (const String& text : kHostile) {
        JournalApplication application{u"C:\\Apps\\" + text + u".exe", 7, {}};
        for (const String& title : kHostile) application.titles.push_back(JournalTitle{title, 3});
        block.applications.push_back(application);
    }
    return block;
}

void expectSameBlock(const JournalBlock& got, const JournalBlock& want) {
    EXPECT_EQ(got.sequence, want.sequence);
    EXPECT_EQ(compareDates(got.day, want.day), 0);
    EXPECT_EQ(got.minuteOfDay, want.minuteOfDay);
    ASSERT_EQ(got.applications.size(), want.applications.size());
    for (size_t a = 0; a < want.applications.size(); ++a) {
        EXPECT_EQ(got.applications[a].path, want.applications[a].path);
        EXPECT_EQ(got.applications[a].samples, want.applications[a].samples);
        ASSERT_EQ(got.applications[a].titles.size(), want.applications[a].titles.size());
        for (size_t t = 0; t < want.applications[a].titles.size(); ++t)
            EXPECT_EQ(got.applications[a].titles[t].title, want.applications[a].titles[t].title);
    }
}

TEST(Journal, EveryUtf16TextComesBackExactlyAndTheFileIsUtf8Lines) {
    std::string bytes;
    const JournalHeader header{u"5f3a-1c", u"PC-ΑΘΗΝΑ", u"Ann O'Neil"};
    appendJournalHeader(header, bytes);
    const JournalBlock first = sampleBlock(1, 0), second = sampleBlock(2, 1439);
    appendJournalBlock(first, bytes);
    appendJournalBlock(second, bytes);
    // One record a line: no raw CR, NUL or other control byte anywhere.
    for (char c : bytes) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << int(c);

    JournalHeader read;
    std::vector<JournalBlock> blocks;
    ASSERT_TRUE(readJournal(bytes, read, blocks));
    EXPECT_EQ(read.runId, header.runId);
    EXPECT_EQ(read.computer, header.computer);
    EXPECT_EQ(read.user, header.user);
    ASSERT_EQ(blocks.size(), 2u);
    expectSameBlock(blocks[0], first);
    expectSameBlock(blocks[1], second);

    String text;
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x01", "\\x", "\\u12", "\xE6\x9D"})
        EXPECT_FALSE(parseJournalText(bad, text)) << bad;
}

TEST(Journal, ATornOrDamagedBlockIsSkippedAndTheRestStaysReadable) {
    std::string bytes;
    appendJournalHeader(JournalHeader{u"r", u"PC", u"ann"}, bytes);
    const size_t headerEnd = bytes.size();
    std::vector<size_t> blockEnds;
    for (uint64_t s = 1; s <= 3; ++s) {
        appendJournalBlock(sampleBlock(s, static_cast<int>(s)), bytes);
        blockEnds.push_back(bytes.size());
    }
    // Cut anywhere (a power cut mid-append): exactly the blocks wholly before the cut.
    JournalHeader header;
    std::vector<JournalBlock> blocks;
    for (size_t cut = headerEnd; cut <= bytes.size(); cut += 7) {
        ASSERT_TRUE(readJournal(std::string_view(bytes).substr(0, cut), header, blocks));
        const size_t whole = static_cast<size_t>(std::count_if(blockEnds.begin(), blockEnds.end(), [&](size_t end) { return end <= cut; }));
        EXPECT_EQ(blocks.size(), whole) << cut;
    }
    // A torn block followed by a retried one, and a byte changed in the middle block.
    std::string torn = bytes.substr(0, blockEnds[0] + 40) + "\n" + bytes.substr(blockEnds[0]);
    torn[blockEnds[0] + 40 + 1 + 30] ^= 0x01;
    ASSERT_TRUE(readJournal(torn, header, blocks));
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].sequence, 1u);
    EXPECT_EQ(blocks[1].sequence, 3u);
    EXPECT_FALSE(readJournal(bytes.substr(0, headerEnd - 1), header, blocks));
}

TEST(Journal, TheTrackerTakesWhatEachMinuteAddedOnceAndOnlyThat) {
    UsageRecords records;
    JournalTracker tracker;
    auto sample = [&](StringView path, StringView title, int times) {
        for (int i = 0; i < times; ++i) {
            records.addSample(path, title);
            tracker.noteSample(records);
        }
    };
    sample(u"a.exe", u"one", 5);  // the first sample of a record is not counted: 4
    sample(u"a.exe", u"two", 3);  // the application counts all 3, the new title 2
    JournalBlock block;
    ASSERT_TRUE(tracker.take(records, LocalTime{2026, 12, 7}, 600, 1, block));
    ASSERT_EQ(block.applications.size(), 1u);
    EXPECT_EQ(block.applications[0].samples, 7);
    ASSERT_EQ(block.applications[0].titles.size(), 2u);
    EXPECT_EQ(block.applications[0].titles[0].samples, 4);
    EXPECT_EQ(block.applications[0].titles[1].samples, 2);
    EXPECT_FALSE(tracker.take(records, LocalTime{2026, 12, 7}, 601, 2, block));

    sample(u"b.exe", u"", 2);
    sample(u"a.exe", u"one", 1);
    ASSERT_TRUE(tracker.take(records, LocalTime{2026, 12, 7}, 602, 2, block));
    ASSERT_EQ(block.applications.size(), 2u);
    EXPECT_EQ(block.applications[0].path, u"b.exe");
    EXPECT_EQ(block.applications[0].samples, 1);
    EXPECT_EQ(block.applications[1].samples, 1);

    // Counted while daily reports were off: all of it goes into the next block, once.
    sample(u"a.exe", u"two", 4);
    tracker.drop(records);
    sample(u"a.exe", u"two", 2);
    tracker.noteAll();
    ASSERT_TRUE(tracker.take(records, LocalTime{2026, 12, 7}, 603, 3, block));
    ASSERT_EQ(block.applications.size(), 1u);
    EXPECT_EQ(block.applications[0].samples, 2);
    records.clearAll();
    tracker.forget();
    EXPECT_FALSE(tracker.take(records, LocalTime{2026, 12, 7}, 604, 4, block));
}

}  // namespace
}  // namespace horalis
