#pragma once
// A scratch folder per test, removed afterwards. Paths are handed to the code
// under test Windows-style; the native file layer reads '\' as '/'.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "tracking/usage_records.h"

namespace horalis::test {

class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "horalis-" + std::to_string(::getpid());
        if (info != nullptr) name += std::string("-") + info->test_suite_name() + "-" + info->name();
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string native(const std::string& name) const { return (path_ / name).string(); }
    // The folder as the program names it (ASCII temp paths only).
    String folder() const {
        const std::string s = path_.string();
        return String(s.begin(), s.end());
    }
    String file(const std::string& name) const { return folder() + u"\\" + String(name.begin(), name.end()); }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(native(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(native(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

private:
    std::filesystem::path path_;
};

}  // namespace horalis::test
