// velmora-cli on Linux: the command line over NTFS volumes mounted on this
// machine, each mapped to a drive letter with --volume C=PATH.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/VolumeHost.h"
#include "platform/Utf16.h"

namespace vm::cli {
namespace {

// UTF-8 to the standard streams; the progress line is rewritten in place
// on a terminal.
class StreamConsole final : public Console {
  public:
    void Out(const std::wstring& text) override {
        ClearProgress();
        Write(stdout, text);
        // A pipe or a file takes the output in blocks (one write per line
        // costs as much as reading a descriptor); a terminal at once.
        if (outTerminal_)
            std::fflush(stdout);
    }
    void Err(const std::wstring& text) override {
        ClearProgress();
        std::fflush(stdout);  // what was told before stays before
        Write(stderr, text);
    }
    bool ShowsProgress() const override { return terminal_; }
    void Progress(const std::wstring& line) override {
        // Carriage return, the line, then erase what a longer one left.
        Write(stderr, L"\r" + line + L"\x1b[K");
        progressShown_ = !line.empty();
    }

  private:
    static void Write(std::FILE* stream, const std::wstring& text) {
        std::string bytes = ToUtf8(text);
        std::fwrite(bytes.data(), 1, bytes.size(), stream);
    }
    void ClearProgress() {
        if (progressShown_)
            Progress(L"");
    }
    bool progressShown_ = false;
    const bool terminal_ = isatty(STDERR_FILENO) == 1;
    const bool outTerminal_ = isatty(STDOUT_FILENO) == 1;
};

}  // namespace
}  // namespace vm::cli

int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(vm::FromUtf8(argv[i]));
    vm::cli::StreamConsole console;
    vm::cli::VolumeHost host;
    return vm::cli::RunProgram(args, console, host);
}
