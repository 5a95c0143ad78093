#pragma once
// A small test framework for end-to-end cases that drive Horalis under Wine.
//
// A case is a function registered by name; it gets a fresh folder of its own
// and runs with a deadline. Expectations record a failure and go on; ASSERT_*,
// fail() and the wait helpers that time out end the case.
#include <windows.h>

#include <chrono>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// The per-case folder, created empty before the case and left for inspection.
class TempDir {
public:
    explicit TempDir(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& path() const { return path_; }
    std::wstring file(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

private:
    std::wstring path_;
};

// Settings of the whole run, from the command line.
struct RunConfig {
    std::wstring appFolder;      // Horalis.exe and kbdh.dll
    std::wstring driverFolder;   // this program and its helper files
    std::wstring workFolder;     // per-case folders go here
    std::wstring screensFolder;  // screenshots (BMP)
    std::wstring caseName;       // the case now running
};
const RunConfig& config();

using CaseFunction = void (*)(const TempDir&);
int registerCase(const char* name, CaseFunction function, int deadlineSeconds);

// Programs started by the running case; whatever is left of them is ended
// after the case, or when its deadline passes.
void trackProcess(HANDLE process);
void untrackProcess(HANDLE process);

// Thrown to end a case after its failure has been recorded.
struct CaseAborted {};

void recordFailure(const char* file, int line, const std::wstring& message);
[[noreturn]] void fail(const char* file, int line, const std::wstring& message);
// A line in the run's output, for what a reader of a failure needs to see.
void note(const std::wstring& message);
// The case cannot run here (say why, and which stage runs it); it is counted
// as skipped, not passed, unless it also records a failure. Return after it.
void skip(const std::wstring& reason);

std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);  // UTF-8

inline std::wstring show(const std::wstring& value) { return L"\"" + value + L"\""; }
inline std::wstring show(const wchar_t* value) { return show(std::wstring(value)); }
inline std::wstring show(bool value) { return value ? L"true" : L"false"; }
template <class T>
std::wstring show(const T& value) {
    std::wostringstream out;
    out << value;
    return out.str();
}

template <class A, class B>
bool expectEqual(const char* file, int line, const wchar_t* expressions, const A& actual, const B& expected) {
    if (actual == expected) return true;
    recordFailure(file, line, std::wstring(expressions) + L": got " + show(actual) + L", want " + show(expected));
    return false;
}

}  // namespace e2e

#define E2E_TEST_WITH_DEADLINE(name, seconds)                                                      \
    static void name(const ::e2e::TempDir& tmp);                                                   \
    [[maybe_unused]] static const int name##Registered = ::e2e::registerCase(#name, name, seconds); \
    static void name([[maybe_unused]] const ::e2e::TempDir& tmp)
#define E2E_TEST(name) E2E_TEST_WITH_DEADLINE(name, 60)

#define E2E_WIDE(text) L"" text
#define EXPECT_TRUE(condition) \
    ((condition) ? true : (::e2e::recordFailure(__FILE__, __LINE__, L"expected " E2E_WIDE(#condition)), false))
#define EXPECT_FALSE(condition) \
    (!(condition) ? true : (::e2e::recordFailure(__FILE__, __LINE__, L"expected not " E2E_WIDE(#condition)), false))
#define EXPECT_EQ(actual, expected) \
    ::e2e::expectEqual(__FILE__, __LINE__, E2E_WIDE(#actual " == " #expected), (actual), (expected))
#define ASSERT_TRUE(condition) \
    do { if (!(condition)) ::e2e::fail(__FILE__, __LINE__, L"required " E2E_WIDE(#condition)); } while (0)
#define ASSERT_EQ(actual, expected) \
    do { if (!EXPECT_EQ(actual, expected)) throw ::e2e::CaseAborted{}; } while (0)
// The visible text of a window or message box.
#define EXPECT_TEXT(window, expected) EXPECT_EQ((window).text(), std::wstring(expected))
#define FAIL(message) ::e2e::fail(__FILE__, __LINE__, message)
