// velmora-cli's console on Windows: UTF-16 text to a console window, UTF-8
// to a file or a pipe, the progress line rewritten in place on a console,
// and the program's arguments as the system split them.
#pragma once

#include <string>
#include <vector>

#include "cli/CliRun.h"

namespace vm::cli {

class WindowsConsole final : public Console {
  public:
    WindowsConsole();
    void Out(const std::wstring& text) override;
    void Err(const std::wstring& text) override;
    bool ShowsProgress() const override;
    void Progress(const std::wstring& line) override;

  private:
    void Write(void* handle, const std::wstring& text);
    void ClearProgress();

    void* out_;
    void* err_;
    size_t progressLength_ = 0;
};

// argv without the program name.
std::vector<std::wstring> ArgumentsOf(int argc, wchar_t** argv);

}  // namespace vm::cli
