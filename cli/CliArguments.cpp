#include "cli/CliArguments.h"

#include <array>

namespace vm::cli {

namespace {

struct SubcommandInfo {
    Subcommand command;
    const wchar_t* name;
    const wchar_t* synopsis;
    const wchar_t* description;
};

constexpr std::array<SubcommandInfo, 14> kSubcommands{{
    {Subcommand::kShow, L"show", L"show PATH... [--format text|sddl|json]",
     L"Shows the owner, the access of the evaluated account and the entries of each\n"
     L"object as the Advanced Security Settings window lists them (rights, scope,\n"
     L"inherited from). A '*' or '?' in the last name of PATH shows every matching\n"
     L"object of that folder."},
    {Subcommand::kAllow, L"allow", L"allow PATH... --trustee NAME [--scope N]",
     L"Allow Access: the trustee gets full access, as the only entry of each object's\n"
     L"access control list (written protected from inheritance). The owner stays."},
    {Subcommand::kReadOnly, L"readonly", L"readonly PATH... --trustee NAME [--scope N]",
     L"Read Only: the trustee gets read access, as the only entry of each object's\n"
     L"access control list (written protected from inheritance). The owner stays."},
    {Subcommand::kDeny, L"deny", L"deny PATH... --trustee NAME [--scope N]",
     L"Deny Access: the trustee is denied all access, as the only entry of each\n"
     L"object's access control list (written protected from inheritance)."},
    {Subcommand::kOwner, L"owner", L"owner PATH... NAME",
     L"Makes the account NAME the owner of each object (\"TrustedInstaller\" stands for\n"
     L"NT Service\\TrustedInstaller)."},
    {Subcommand::kInherit, L"inherit", L"inherit PATH...",
     L"Inheritance Permissions: each object loses its explicit entries and takes the\n"
     L"entries its folder passes on; \"Administrators\" becomes its owner. Drive roots\n"
     L"have no folder to inherit from and are refused."},
    {Subcommand::kNullDacl, L"null-dacl", L"null-dacl PATH...",
     L"Create a Null DACL: a null DACL grants full access to any user that requests it.\n"
     L"\"Administrators\" becomes the owner."},
    {Subcommand::kEmptyDacl, L"empty-dacl", L"empty-dacl PATH...",
     L"Create an Empty DACL: an empty DACL grants no access to the object it is\n"
     L"assigned to. \"Administrators\" becomes the owner."},
    {Subcommand::kReplaceChildren, L"replace-children",
     L"replace-children FOLDER --mode reset|copy",
     L"Replace all child object permissions of everything below FOLDER (the folder\n"
     L"itself does not change): reset gives each its inheritable permissions from\n"
     L"this object, copy writes the folder's own DACL onto each. A progress line shows\n"
     L"on a terminal; the counts follow at the end."},
    {Subcommand::kBackup, L"backup", L"backup PATH... -o FILE.SBAK",
     L"Writes a Security Settings Backup File holding the owner and the DACL of each\n"
     L"object (\".SBAK\" is added unless the name ends so). The file is replaced only\n"
     L"once the new one is complete."},
    {Subcommand::kRestore, L"restore",
     L"restore FILE.SBAK [--item PATH]... [--map OLD=NEW]... [--dry-run]",
     L"Restores the DACL and the owner of each object of a backup, or only of the\n"
     L"objects named with --item. --map OLD=NEW restores a tree that has moved: a\n"
     L"stored path that starts with the folder OLD is restored at NEW instead."},
    {Subcommand::kResetDefaults, L"reset-defaults", L"reset-defaults [PATH...]",
     L"Reset Security settings: writes the built-in default DACL onto the drive roots\n"
     L"and the Windows, system and 32-bit system folders on NTFS, or only onto the\n"
     L"ones named."},
    {Subcommand::kExport, L"export", L"export PATH -o FILE",
     L"Export Security descriptor: writes the object's DACL descriptor to FILE, in the\n"
     L"binary form Windows gives it (no header)."},
    {Subcommand::kImport, L"import", L"import FILE PATH",
     L"Writes the DACL of an exported descriptor file onto the object, its protection\n"
     L"and auto-inheritance bits included, as Paste Security settings does; the owner\n"
     L"stays."},
}};

constexpr const wchar_t* kSharedOptions =
    L"Options of every subcommand:\n"
    L"  --volume C=PATH  on Linux: the NTFS volume mounted at PATH is drive C (several\n"
    L"                   may be given)\n"
    L"  --as NAME        whose access is evaluated (default: the user running the\n"
    L"                   program; on Linux a member of Administrators)\n"
    L"  --help           this text, or the help of the subcommand named\n"
    L"Options of the subcommands that change security:\n"
    L"  --dry-run        prints the SDDL before and after of every object that would\n"
    L"                   change, and writes nothing\n"
    L"  --undo FILE      first keeps every descriptor before it changes in the backup\n"
    L"                   file FILE, which 'restore' takes back\n"
    L"  --yes            changes drive roots too (allow, readonly and deny skip them\n"
    L"                   otherwise)\n";

constexpr const wchar_t* kScopeHelp =
    L"  --trustee NAME   the account the entry is for\n"
    L"  --scope N        what a folder's entry applies to (files always get 0):\n"
    L"                   0 This folder only (default), 1 This folder,subfolders and\n"
    L"                   files, 2 This folder and subfolders, 3 This folder and files,\n"
    L"                   4 Subfolders and files only, 5 Subfolders only, 6 Files only\n";

const SubcommandInfo& InfoOf(Subcommand command) {
    for (const auto& info : kSubcommands) {
        if (info.command == command)
            return info;
    }
    return kSubcommands[0];
}

std::optional<Subcommand> SubcommandNamed(const std::wstring& name) {
    for (const auto& info : kSubcommands) {
        if (name == info.name)
            return info.command;
    }
    return std::nullopt;
}

bool IsQuick(Subcommand command) {
    return command == Subcommand::kAllow || command == Subcommand::kReadOnly ||
           command == Subcommand::kDeny;
}

// The options that take a value, and the subcommands each belongs to (none:
// every subcommand).
enum class Option {
    kVolume,
    kAs,
    kFormat,
    kUndo,
    kTrustee,
    kScope,
    kMode,
    kOutput,
    kItem,
    kMap,
    kDryRun,
    kYes,
    kHelp,
};

struct OptionInfo {
    Option option;
    const wchar_t* longName;
    const wchar_t* shortName;
    bool takesValue;
};

constexpr std::array<OptionInfo, 13> kOptions{{
    {Option::kVolume, L"--volume", nullptr, true},
    {Option::kAs, L"--as", nullptr, true},
    {Option::kFormat, L"--format", nullptr, true},
    {Option::kUndo, L"--undo", nullptr, true},
    {Option::kTrustee, L"--trustee", nullptr, true},
    {Option::kScope, L"--scope", nullptr, true},
    {Option::kMode, L"--mode", nullptr, true},
    {Option::kOutput, L"--output", L"-o", true},
    {Option::kItem, L"--item", nullptr, true},
    {Option::kMap, L"--map", nullptr, true},
    {Option::kDryRun, L"--dry-run", nullptr, false},
    {Option::kYes, L"--yes", nullptr, false},
    {Option::kHelp, L"--help", L"-h", false},
}};

bool OptionFits(Option option, Subcommand command) {
    switch (option) {
        case Option::kFormat:
            return command == Subcommand::kShow;
        case Option::kUndo:
        case Option::kDryRun:
            return Writes(command);
        case Option::kYes:
            return IsQuick(command);
        case Option::kTrustee:
        case Option::kScope:
            return IsQuick(command);
        case Option::kMode:
            return command == Subcommand::kReplaceChildren;
        case Option::kOutput:
            return command == Subcommand::kBackup || command == Subcommand::kExport;
        case Option::kItem:
        case Option::kMap:
            return command == Subcommand::kRestore;
        default:
            return true;
    }
}

struct GivenOption {
    const OptionInfo* info = nullptr;
    std::wstring spelling;  // as typed, for messages
    std::wstring value;
};

class Parser {
  public:
    explicit Parser(const std::vector<std::wstring>& args) : args_(args) {}

    ParsedCommandLine Parse() {
        if (!Split())
            return Failure();
        if (help_) {
            result_.kind = ParsedCommandLine::Kind::kHelp;
            result_.helpFor = command_;
            return result_;
        }
        if (!command_) {
            Fail(L"no subcommand given");
            return Failure();
        }
        result_.options.command = *command_;
        for (const auto& given : options_) {
            if (!OptionFits(given.info->option, *command_)) {
                Fail(given.spelling + L" does not apply to " + SubcommandName(*command_));
                return Failure();
            }
            if (!Apply(given))
                return Failure();
        }
        if (!TakeOperands())
            return Failure();
        result_.kind = ParsedCommandLine::Kind::kRun;
        return result_;
    }

  private:
    // Options (in any position) apart from operands; the first operand is
    // the subcommand.
    bool Split() {
        bool optionsEnded = false;
        for (size_t i = 0; i < args_.size(); ++i) {
            const std::wstring& arg = args_[i];
            if (optionsEnded || arg.size() < 2 || arg[0] != L'-') {
                AddOperand(arg);
                continue;
            }
            if (arg == L"--") {
                optionsEnded = true;
                continue;
            }
            std::wstring name = arg;
            std::optional<std::wstring> inlineValue;
            if (size_t equals = arg.find(L'='); arg.starts_with(L"--") && equals != arg.npos) {
                name = arg.substr(0, equals);
                inlineValue = arg.substr(equals + 1);
            }
            const OptionInfo* info = Find(name);
            if (!info) {
                Fail(L"unknown option " + arg);
                return false;
            }
            GivenOption given{info, name, L""};
            if (info->takesValue) {
                if (inlineValue) {
                    given.value = *inlineValue;
                } else if (i + 1 < args_.size()) {
                    given.value = args_[++i];
                } else {
                    Fail(name + L" needs a value");
                    return false;
                }
            } else if (inlineValue) {
                Fail(name + L" takes no value");
                return false;
            }
            if (info->option == Option::kHelp)
                help_ = true;
            else
                options_.push_back(std::move(given));
        }
        return true;
    }

    void AddOperand(const std::wstring& arg) {
        if (!command_ && !subcommandError_) {
            command_ = SubcommandNamed(arg);
            if (!command_)
                subcommandError_ = L"unknown subcommand '" + arg + L"'";
            return;
        }
        operands_.push_back(arg);
    }

    static const OptionInfo* Find(const std::wstring& name) {
        for (const auto& info : kOptions) {
            if (name == info.longName || (info.shortName && name == info.shortName))
                return &info;
        }
        return nullptr;
    }

    bool Apply(const GivenOption& given) {
        CliOptions& o = result_.options;
        const std::wstring& value = given.value;
        switch (given.info->option) {
            case Option::kVolume:
                o.volumes.push_back(value);
                return true;
            case Option::kAs:
                return NotEmpty(given) && Once(o.evaluateAs, value, given);
            case Option::kFormat:
                if (value == L"text")
                    o.format = OutputFormat::kText;
                else if (value == L"sddl")
                    o.format = OutputFormat::kSddl;
                else if (value == L"json")
                    o.format = OutputFormat::kJson;
                else
                    return Fail(L"--format takes text, sddl or json, not '" + value + L"'");
                return true;
            case Option::kUndo:
                return NotEmpty(given) && Once(o.undoFile, value, given);
            case Option::kTrustee:
                if (!NotEmpty(given) || !Once(trustee_, value, given))
                    return false;
                o.trustee = value;
                return true;
            case Option::kScope:
                if (value.size() != 1 || value[0] < L'0' || value[0] > L'6')
                    return Fail(L"--scope takes a number from 0 to 6, not '" + value + L"'");
                o.scopePosition = value[0] - L'0';
                return true;
            case Option::kMode:
                if (value == L"reset")
                    o.mode = PropagationMode::kResetToInherited;
                else if (value == L"copy")
                    o.mode = PropagationMode::kCopyFromFolder;
                else
                    return Fail(L"--mode takes reset or copy, not '" + value + L"'");
                modeGiven_ = true;
                return true;
            case Option::kOutput:
                if (!NotEmpty(given) || !Once(output_, value, given))
                    return false;
                o.outputFile = value;
                return true;
            case Option::kItem:
                if (!NotEmpty(given))
                    return false;
                o.items.push_back(value);
                return true;
            case Option::kMap:
                return AddMapping(value);
            case Option::kDryRun:
                o.dryRun = true;
                return true;
            case Option::kYes:
                o.yes = true;
                return true;
            case Option::kHelp:
                return true;
        }
        return true;
    }

    bool AddMapping(const std::wstring& value) {
        size_t equals = value.find(L'=');
        if (equals == value.npos || equals == 0 || equals + 1 == value.size())
            return Fail(L"--map takes OLD=NEW, two folders, not '" + value + L"'");
        result_.options.mappings.push_back({value.substr(0, equals), value.substr(equals + 1)});
        return true;
    }

    bool NotEmpty(const GivenOption& given) {
        return !given.value.empty() || Fail(given.spelling + L" needs a value");
    }

    bool Once(std::optional<std::wstring>& slot, const std::wstring& value,
              const GivenOption& given) {
        if (slot)
            return Fail(given.spelling + L" may be given once only");
        slot = value;
        return true;
    }

    // The operands each subcommand takes.
    bool TakeOperands() {
        CliOptions& o = result_.options;
        const std::wstring name = SubcommandName(o.command);
        auto need = [&](bool ok, const std::wstring& what) {
            return ok || Fail(name + L" needs " + what);
        };
        switch (o.command) {
            case Subcommand::kShow:
            case Subcommand::kInherit:
            case Subcommand::kNullDacl:
            case Subcommand::kEmptyDacl:
                o.paths = operands_;
                return need(!o.paths.empty(), L"at least one PATH");
            case Subcommand::kAllow:
            case Subcommand::kReadOnly:
            case Subcommand::kDeny:
                o.paths = operands_;
                return need(!o.paths.empty(), L"at least one PATH") &&
                       need(trustee_.has_value(), L"--trustee NAME");
            case Subcommand::kOwner:
                if (!need(operands_.size() >= 2, L"at least one PATH and the NAME of the owner"))
                    return false;
                o.ownerName = operands_.back();
                o.paths.assign(operands_.begin(), operands_.end() - 1);
                return true;
            case Subcommand::kReplaceChildren:
                o.paths = operands_;
                return need(o.paths.size() == 1, L"exactly one FOLDER") &&
                       need(modeGiven_, L"--mode reset or --mode copy");
            case Subcommand::kBackup:
                o.paths = operands_;
                return need(!o.paths.empty(), L"at least one PATH") &&
                       need(output_.has_value(), L"-o FILE");
            case Subcommand::kExport:
                o.paths = operands_;
                return need(o.paths.size() == 1, L"exactly one PATH") &&
                       need(output_.has_value(), L"-o FILE");
            case Subcommand::kRestore:
                if (!need(operands_.size() == 1, L"exactly one backup FILE"))
                    return false;
                o.inputFile = operands_.front();
                return true;
            case Subcommand::kResetDefaults:
                o.paths = operands_;
                return true;
            case Subcommand::kImport:
                if (!need(operands_.size() == 2, L"a descriptor FILE and one PATH"))
                    return false;
                o.inputFile = operands_[0];
                o.paths = {operands_[1]};
                return true;
        }
        return true;
    }

    bool Fail(const std::wstring& message) {
        if (result_.message.empty())
            result_.message = message;
        return false;
    }

    ParsedCommandLine Failure() {
        result_.kind = ParsedCommandLine::Kind::kUsageError;
        return result_;
    }

    const std::vector<std::wstring>& args_;
    std::optional<Subcommand> command_;
    std::optional<std::wstring> subcommandError_;
    std::vector<std::wstring> operands_;
    std::vector<GivenOption> options_;
    std::optional<std::wstring> trustee_;
    std::optional<std::wstring> output_;
    bool modeGiven_ = false;
    bool help_ = false;
    ParsedCommandLine result_;

  public:
    // An unknown subcommand is told even when other mistakes follow it.
    ParsedCommandLine Run() {
        ParsedCommandLine parsed = Parse();
        if (subcommandError_ && parsed.kind != ParsedCommandLine::Kind::kHelp) {
            parsed.kind = ParsedCommandLine::Kind::kUsageError;
            parsed.message = *subcommandError_;
        }
        return parsed;
    }
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    return Parser(args).Run();
}

std::wstring SubcommandName(Subcommand command) {
    return InfoOf(command).name;
}

bool Writes(Subcommand command) {
    switch (command) {
        case Subcommand::kShow:
        case Subcommand::kBackup:
        case Subcommand::kExport:
            return false;
        default:
            return true;
    }
}

std::wstring HelpText(std::optional<Subcommand> command) {
    if (!command) {
        std::wstring text =
            L"velmora-cli: the security of files and folders on NTFS, from the command line.\n\n"
            L"Usage: velmora-cli SUBCOMMAND [OPTIONS]\n\nSubcommands:\n";
        for (const auto& info : kSubcommands)
            text += L"  " + std::wstring(info.synopsis) + L"\n";
        text += L"\n";
        text += kSharedOptions;
        text +=
            L"\nvelmora-cli SUBCOMMAND --help tells more of one subcommand.\n"
            L"Exit status: 0 success, 1 an item failed, 2 bad usage.\n";
        return text;
    }
    const SubcommandInfo& info = InfoOf(*command);
    std::wstring text =
        L"Usage: velmora-cli " + std::wstring(info.synopsis) + L"\n\n" + info.description + L"\n";
    if (IsQuick(*command))
        text += L"\n" + std::wstring(kScopeHelp);
    text += L"\n";
    text += kSharedOptions;
    return text;
}

}  // namespace vm::cli
