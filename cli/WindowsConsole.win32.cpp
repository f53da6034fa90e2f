#include "cli/WindowsConsole.win32.h"

#include <windows.h>

#include "platform/Utf16.h"

namespace vm::cli {

namespace {

// A console takes UTF-16 through WriteConsoleW; anything else (a file, a
// pipe) gets UTF-8 bytes.
bool IsConsole(void* handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle && GetConsoleMode(handle, &mode);
}

}  // namespace

WindowsConsole::WindowsConsole()
    : out_(GetStdHandle(STD_OUTPUT_HANDLE)), err_(GetStdHandle(STD_ERROR_HANDLE)) {}

void WindowsConsole::Write(void* handle, const std::wstring& text) {
    if (!handle || handle == INVALID_HANDLE_VALUE || text.empty())
        return;
    if (IsConsole(handle)) {
        std::u16string units = ToUtf16(text);
        DWORD written = 0;
        WriteConsoleW(handle, units.data(), static_cast<DWORD>(units.size()), &written, nullptr);
        return;
    }
    std::string bytes = ToUtf8(text);
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WindowsConsole::ClearProgress() {
    if (progressLength_ > 0)
        Progress(L"");
}

void WindowsConsole::Out(const std::wstring& text) {
    ClearProgress();
    Write(out_, text);
}

void WindowsConsole::Err(const std::wstring& text) {
    ClearProgress();
    Write(err_, text);
}

bool WindowsConsole::ShowsProgress() const {
    return IsConsole(err_);
}

void WindowsConsole::Progress(const std::wstring& line) {
    // Blanks over what a longer line left, then back to the line's end.
    std::wstring text = L"\r" + line;
    if (line.size() < progressLength_)
        text += std::wstring(progressLength_ - line.size(), L' ') + L"\r" + line;
    Write(err_, text);
    progressLength_ = line.size();
}

std::vector<std::wstring> ArgumentsOf(int argc, wchar_t** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return args;
}

}  // namespace vm::cli
