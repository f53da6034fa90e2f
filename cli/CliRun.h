// One run of velmora-cli: the command line parsed, the platform opened, the
// subcommand carried out by the engine's own sequences (the quick commands,
// owner changes, resets, the propagation walk, the backup file, the restore
// run, the descriptor files), and its results printed. Portable: the
// programs for Windows and for Linux differ only in their Host.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliArguments.h"
#include "platform/Platform.h"

namespace vm::cli {

// Where a run's text goes. Text is handed over whole lines at a time.
class Console {
  public:
    virtual ~Console() = default;
    virtual void Out(const std::wstring& text) = 0;
    virtual void Err(const std::wstring& text) = 0;
    // Whether a progress line can be shown (standard error is a terminal).
    virtual bool ShowsProgress() const = 0;
    // Replaces the progress line; an empty text clears it.
    virtual void Progress(const std::wstring& line) = 0;
};

// What differs between the programs: the platform the run works on.
class Host {
  public:
    virtual ~Host() = default;

    // The platform for the options (--volume on Linux), or nullptr with
    // why: a message and the exit status (2 for bad option values, 1 when a
    // volume cannot be used).
    struct Opened {
        Platform* platform = nullptr;
        std::wstring message;
        int exitStatus = kExitSuccess;
    };
    virtual Opened Open(const CliOptions& options) = 0;

    // A run starts (true) and ends (false): a platform may keep what it
    // read and wrote for the run's length, the program having the volume to
    // itself meanwhile.
    virtual void KeepReads(bool /*on*/) {}
    // After a run: objects whose write the platform had reported done but
    // could not make after all, with the error.
    virtual std::vector<std::pair<std::wstring, uint32_t>> LostWrites() { return {}; }
    // The entries of a folder without a call per entry, where the platform
    // has such a listing (names, with the directory and reparse point
    // attributes only); nullopt: the run lists with FindFiles.
    virtual std::optional<Result<std::vector<FindData>>> ListNames(const std::wstring& /*folder*/) {
        return std::nullopt;
    }
    // The creation time written into backups and undo files.
    virtual std::wstring BackupTime();
};

// Parses args (without the program name), prints help or the usage error,
// or runs the subcommand. The exit status.
int RunProgram(const std::vector<std::wstring>& args, Console& console, Host& host);

}  // namespace vm::cli
