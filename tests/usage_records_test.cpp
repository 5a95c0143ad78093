#include "tracking/usage_records.h"

#include <gtest/gtest.h>

#include <random>

namespace horalis {
namespace {

String numbered(const char16_t* prefix, int n) {
    String s(prefix);
    for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
    return s;
}

// The plain first-match scan, kept as the model the indexed store must agree with.
struct ModelRecords {
    std::vector<ApplicationRecord> apps;
    void addSample(StringView path, StringView title) {
        for (auto& app : apps) {
            if (app.executablePath != path) continue;
            ++app.sampleCount;
            for (auto& t : app.titles) {
                if (t.text == title) {
                    ++t.sampleCount;
                    return;
                }
            }
            app.titles.push_back({String(title), 0});
            return;
        }
        apps.push_back({{{String(title), 0}}, 0, 0, String(path)});
    }
};

void expectSame(const ModelRecords& model, const UsageRecords& records) {
    ASSERT_EQ(model.apps.size(), records.size());
    for (size_t i = 0; i < model.apps.size(); ++i) {
        const auto& want = model.apps[i];
        const auto& got = records.applications()[i];
        ASSERT_EQ(want.executablePath, got.executablePath) << i;
        ASSERT_EQ(want.sampleCount, got.sampleCount) << i;
        ASSERT_EQ(want.titles.size(), got.titles.size()) << i;
        for (size_t k = 0; k < want.titles.size(); ++k) {
            ASSERT_EQ(want.titles[k].text, got.titles[k].text) << i << "/" << k;
            ASSERT_EQ(want.titles[k].sampleCount, got.titles[k].sampleCount) << i << "/" << k;
        }
        ASSERT_EQ(records.find(want.executablePath), &got);
    }
}

TEST(UsageRecords, NewRecordsStartAtZeroAndCountFromTheSecondSample) {
    UsageRecords r;
    r.addSample(u"C:\\a.exe", u"T1");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r.applications()[0].sampleCount, 0);
    ASSERT_EQ(r.applications()[0].titles.size(), 1u);
    EXPECT_EQ(r.applications()[0].titles[0].sampleCount, 0);

    for (int i = 0; i < 3; ++i) r.addSample(u"C:\\a.exe", u"T1");
    EXPECT_EQ(r.applications()[0].sampleCount, 3);
    EXPECT_EQ(r.applications()[0].titles[0].sampleCount, 3);

    r.addSample(u"C:\\a.exe", u"T2");
    const auto& app = r.applications()[0];
    EXPECT_EQ(app.sampleCount, 4);
    ASSERT_EQ(app.titles.size(), 2u);
    EXPECT_EQ(app.titles[0].sampleCount, 3);
    EXPECT_EQ(app.titles[1].text, u"T2");
    EXPECT_EQ(app.titles[1].sampleCount, 0);
}

TEST(UsageRecords, KeysAreExactCodeUnits) {
    UsageRecords r;
    r.addSample(u"C:\\App.exe", u"x");
    r.addSample(u"C:\\app.exe", u"x");
    r.addSample(u"C:\\app.exe", u"");
    r.addSample(u"C:\\app.exe", String(u"\0", 1));  // a NUL unit is not the empty title
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r.applications()[1].titles.size(), 3u);
    EXPECT_EQ(r.find(u"C:\\APP.EXE"), nullptr);
    EXPECT_EQ(r.find(u"C:\\App.exe"), &r.applications()[0]);
}

TEST(UsageRecords, IdleEntryIsAnOrdinaryRecordAfterEarlierApplications) {
    UsageRecords r;
    r.addSample(u"C:\\a.exe", u"A");
    r.addSample(kIdleTimeKey, u"");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r.applications()[1].executablePath, u"Idle time");
    ASSERT_EQ(r.applications()[1].titles.size(), 1u);
    EXPECT_EQ(r.applications()[1].titles[0].text, u"");
    r.addSample(kIdleTimeKey, u"");
    r.addSample(kIdleTimeKey, u"");
    EXPECT_EQ(r.applications()[1].sampleCount, 2);
    EXPECT_EQ(r.applications()[1].titles[0].sampleCount, 2);
}

TEST(UsageRecords, ClearAllStartsAfresh) {
    UsageRecords r;
    for (int i = 0; i < 50; ++i) r.addSample(numbered(u"C:\\app", i % 20), numbered(u"t", i));
    r.clearAll();
    EXPECT_TRUE(r.empty());
    EXPECT_EQ(r.find(u"C:\\app3"), nullptr);
    r.addSample(u"C:\\app7", u"t");
    r.addSample(u"C:\\app3", u"t");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r.applications()[0].executablePath, u"C:\\app7");
    EXPECT_EQ(r.applications()[0].sampleCount, 0);
    EXPECT_EQ(r.find(u"C:\\app3"), &r.applications()[1]);
}

// Crosses the size at which the lists get their index, with many near-equal
// keys, and checks every order and count against the plain scan.
TEST(UsageRecords, AgreesWithPlainScanOnManyRecords) {
    std::mt19937 rng(12345);
    ModelRecords model;
    UsageRecords records;
    auto check = [&] { ASSERT_NO_FATAL_FAILURE(expectSame(model, records)); };
    for (int i = 0; i < 20000; ++i) {
        // Skewed: a few busy applications with many titles, a long tail of others.
        const int app = rng() % 4 == 0 ? static_cast<int>(rng() % 300) : static_cast<int>(rng() % 3);
        const int title = static_cast<int>(rng() % (app < 3 ? 2000 : 4));
        const String path = numbered(app % 2 ? u"C:\\Program Files\\App" : u"c:\\program files\\app", app);
        const String text = numbered(u"Document - ", title);
        model.addSample(path, text);
        records.addSample(path, text);
        if (i == 5 || i == 100 || i == 1000) check();
    }
    check();
    for (const auto& app : records.applications()) {
        int64_t sum = 0;
        for (const auto& t : app.titles) sum += t.sampleCount;
        EXPECT_EQ(app.sampleCount, sum + static_cast<int64_t>(app.titles.size()) - 1) << app.executablePath.size();
    }
}

TEST(UsageRecords, HashDependsOnEveryCodeUnitAndLength) {
    EXPECT_NE(KeyIndex::hash(u""), KeyIndex::hash(String(u"\0", 1)));
    EXPECT_NE(KeyIndex::hash(u"abcd"), KeyIndex::hash(String(u"abcd\0", 5)));
    EXPECT_NE(KeyIndex::hash(u"abcdefgh1"), KeyIndex::hash(u"abcdefgh2"));
    EXPECT_NE(KeyIndex::hash(u"1abcdefgh"), KeyIndex::hash(u"2abcdefgh"));
}

}  // namespace
}  // namespace horalis
