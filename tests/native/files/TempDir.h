// A scratch folder per test, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

#include "files/FileIo.h"
#include "platform/Utf16.h"

namespace vm::testing {

class TempDir {
  public:
    TempDir() {
        static std::atomic<unsigned> counter{0};
        path_ =
            std::filesystem::temp_directory_path() /
            ("velmora-test-" + std::to_string(Pid()) + "-" + std::to_string(counter.fetch_add(1)));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // A wide path of name inside the folder.
    std::wstring File(const std::wstring& name) const {
        std::u8string base = path_.u8string();
        return FromUtf8(std::string(base.begin(), base.end())) + Separator() + name;
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    static wchar_t Separator() { return sizeof(wchar_t) == 2 ? L'\\' : L'/'; }
    // Tests of several programs may run at once: a random part keeps them apart.
    static unsigned Pid() {
        static const unsigned value = std::random_device{}();
        return value;
    }
    std::filesystem::path path_;
};

}  // namespace vm::testing
