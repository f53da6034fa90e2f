// The command line of velmora-cli: one subcommand, its operands and options,
// and the options every subcommand takes. Parsing is all-or-nothing: any
// mistake gives one message for the user and exit status 2, before anything
// is read or written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "security/Propagation.h"

namespace vm::cli {

enum class Subcommand {
    kShow,
    kAllow,
    kReadOnly,
    kDeny,
    kOwner,
    kInherit,
    kNullDacl,
    kEmptyDacl,
    kReplaceChildren,
    kBackup,
    kRestore,
    kResetDefaults,
    kExport,
    kImport,
};

enum class OutputFormat { kText, kSddl, kJson };

// One --map OLD=NEW: stored paths that start with OLD (a whole name at a
// time, letter case ignored) are restored at NEW instead.
struct PathMapping {
    std::wstring from;
    std::wstring to;
};

struct CliOptions {
    Subcommand command = Subcommand::kShow;
    std::vector<std::wstring> paths;  // the objects the subcommand works on
    std::wstring trustee;             // allow, readonly, deny
    int scopePosition = 0;            // 0 to 6, the order of the Options dialog
    std::wstring ownerName;           // owner
    PropagationMode mode = PropagationMode::kResetToInherited;  // replace-children
    std::wstring outputFile;                                    // backup, export
    std::wstring inputFile;                                     // restore, import
    std::vector<std::wstring> items;                            // restore --item
    std::vector<PathMapping> mappings;                          // restore --map
    OutputFormat format = OutputFormat::kText;
    bool dryRun = false;
    std::optional<std::wstring> undoFile;
    std::optional<std::wstring> evaluateAs;  // --as
    std::vector<std::wstring> volumes;       // --volume C=PATH, as given
    bool yes = false;                        // answers Yes to the root question
};

// What the command line asks for: a run, help, or nothing but a message.
struct ParsedCommandLine {
    enum class Kind { kRun, kHelp, kUsageError } kind = Kind::kUsageError;
    CliOptions options;
    std::optional<Subcommand> helpFor;  // kHelp: this subcommand's help, or the overview
    std::wstring message;               // kUsageError: what was wrong
};

// args without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args);

// The name of a subcommand as typed ("replace-children").
std::wstring SubcommandName(Subcommand command);
// True for the subcommands that change security (and so take --dry-run and
// --undo).
bool Writes(Subcommand command);

// The overview (every subcommand, the shared options) or one subcommand's help.
std::wstring HelpText(std::optional<Subcommand> command);

// The exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitItemFailed = 1;
inline constexpr int kExitUsage = 2;

}  // namespace vm::cli
