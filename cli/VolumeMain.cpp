// velmora-cli on Linux: the command line over NTFS volumes mounted on this
// machine, each mapped to a drive letter with --volume C=PATH.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "platform/Utf16.h"
#include "platform/ntfs/NtfsPlatform.h"

namespace vm::cli {
namespace {

// UTF-8 to the standard streams; the progress line is rewritten in place
// on a terminal.
class StreamConsole final : public Console {
  public:
    void Out(const std::wstring& text) override {
        ClearProgress();
        Write(stdout, text);
    }
    void Err(const std::wstring& text) override {
        ClearProgress();
        Write(stderr, text);
    }
    bool ShowsProgress() const override { return isatty(STDERR_FILENO) == 1; }
    void Progress(const std::wstring& line) override {
        // Carriage return, the line, then erase what a longer one left.
        Write(stderr, L"\r" + line + L"\x1b[K");
        progressShown_ = !line.empty();
    }

  private:
    static void Write(std::FILE* stream, const std::wstring& text) {
        std::string bytes = ToUtf8(text);
        std::fwrite(bytes.data(), 1, bytes.size(), stream);
        std::fflush(stream);
    }
    void ClearProgress() {
        if (progressShown_)
            Progress(L"");
    }
    bool progressShown_ = false;
};

class VolumeHost final : public Host {
  public:
    Opened Open(const CliOptions& options) override {
        if (options.volumes.empty())
            return {nullptr, L"no volume: give --volume C=PATH for each NTFS volume", kExitUsage};
        for (const auto& text : options.volumes) {
            std::string error;
            auto volume = ntfs::ParseVolumeOption(ToUtf8(text), &error);
            if (!volume)
                return {nullptr, FromUtf8(error), kExitUsage};
            Status added = platform_.store().AddVolume(volume->letter, volume->mountPath);
            if (!added.ok())
                return {nullptr,
                        L"--volume " + text + L": " + platform_.ErrorText(added.error) +
                            (added.error == err::kNotSupported
                                 ? L" (no NTFS volume, or its driver does not show descriptors)"
                                 : L""),
                        kExitItemFailed};
        }
        // Without a readable SAM hive only the well-known accounts resolve;
        // other accounts show as SID strings.
        platform_.LoadInstallation();
        return {&platform_, L"", kExitSuccess};
    }

    void KeepReads(bool on) override { platform_.KeepReads(on); }

    std::optional<Result<std::vector<FindData>>> ListNames(const std::wstring& folder) override {
        using Entries = std::vector<FindData>;
        auto names = platform_.store().ListNames(folder);
        if (!names.ok())
            return Result<Entries>::Fail(names.error());
        Entries entries;
        for (const auto& named : *names) {
            FindData data;
            data.name = named.name;
            data.attributes = (named.isDirectory ? attr::kDirectory : 0u) |
                              (named.isReparsePoint ? attr::kReparsePoint : 0u);
            entries.push_back(std::move(data));
        }
        return Result<Entries>(std::move(entries));
    }

  private:
    ntfs::NtfsPlatform platform_;
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
