#include "cli/CliRun.h"

#include <atomic>
#include <functional>

#include "advanced/DescriptorFile.h"
#include "app/QuickCommands.h"
#include "backup/BackupFile.h"
#include "backup/DefaultDescriptors.h"
#include "backup/RestoreModel.h"
#include "backup/RestoreRunner.h"
#include "cli/GuardedPlatform.h"
#include "cli/ShowReport.h"
#include "files/FileIo.h"
#include "platform/rules/Paths.h"
#include "security/AccessEvaluation.h"
#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/Propagation.h"
#include "security/SecurityAccess.h"

namespace vm::cli {

std::wstring Host::BackupTime() {
    return CurrentBackupTime();
}

namespace {

constexpr const wchar_t* kProgram = L"velmora-cli: ";

// The engine's messages (a trustee that is not an account, a privilege that
// cannot be switched on) go to standard error; the question about a drive
// root is answered Yes only with --yes.
class ConsoleReporter final : public Reporter {
  public:
    ConsoleReporter(Console& console, bool yes) : console_(console), yes_(yes) {}
    Answer Show(const std::wstring& text, MessageIcon, MessageButtons buttons) override {
        if (buttons == MessageButtons::kOk) {
            std::wstring line = text;
            while (!line.empty() && line.back() == L'\n')
                line.pop_back();
            console_.Err(kProgram + line + L"\n");
            return Answer::kOk;
        }
        return yes_ ? Answer::kYes : Answer::kNo;
    }

  private:
    Console& console_;
    bool yes_;
};

// One run's state: the platforms stacked over the host's, the engine over
// them, and what is told at the end.
class Run {
  public:
    Run(const CliOptions& options, Console& console, Host& host, Platform& real)
        : options_(options),
          console_(console),
          host_(host),
          real_(real),
          reporter_(console, options.yes) {}

    int Go() {
        Platform* below = &real_;
        if (options_.dryRun) {
            dryRun_ = std::make_unique<DryRun>(real_);
            below = dryRun_.get();
        } else if (options_.undoFile) {
            undo_ = std::make_unique<UndoJournal>(real_, *options_.undoFile, host_.BackupTime());
            below = undo_.get();
        }
        log_ = std::make_unique<WriteLog>(*below);
        engine_ = std::make_unique<Engine>(*log_, reporter_);
        if (!ChooseUser())
            return kExitUsage;
        host_.KeepReads(true);
        int status = Dispatch();
        host_.KeepReads(false);
        for (const auto& [path, error] : host_.LostWrites())
            Fail(path, error);
        if (dryRun_)
            TellDryRun();
        if (undo_ && undo_->KeptCount() > 0)
            console_.Out(L"undo: " + std::to_wstring(undo_->KeptCount()) +
                         L" descriptors kept in " + undo_->file() + L"\n");
        return failed_ ? kExitItemFailed : status;
    }

  private:
    Platform& platform() { return *log_; }

    bool ChooseUser() {
        std::wstring name;
        if (options_.evaluateAs) {
            name = *options_.evaluateAs;
            if (!real_.LookupAccountName(name).ok()) {
                console_.Err(kProgram + std::wstring(L"--as: no account is named '") + name +
                             L"'\n");
                return false;
            }
        } else if (auto user = real_.GetUserName(); user.ok()) {
            name = *user;
        }
        user_.CurrentUserName = name;
        user_.CurrentUserGroups =
            options_.evaluateAs ? GroupsOfAccount(name) : BuildCurrentUserGroups(real_, name);
        return true;
    }

    // Another account than the one running the program has no token here:
    // its local groups (NetUserGetLocalGroups) stand for its groups, then
    // Everyone under the name the system gives it.
    std::wstring GroupsOfAccount(const std::wstring& name) {
        std::wstring groups;
        if (auto local = real_.GetLocalGroupsOfUser(name); local.ok()) {
            for (const auto& group : *local)
                groups += L"<" + group + L">";
        }
        auto everyone = real_.LookupAccountSid(sids::Everyone().ToBytes());
        return groups + L"<" + (everyone.ok() ? everyone->name : std::wstring(kEveryone)) + L">";
    }

    int Dispatch() {
        switch (options_.command) {
            case Subcommand::kShow:
                return Show();
            case Subcommand::kAllow:
                return Quick(QuickKind::kAllowAccess);
            case Subcommand::kReadOnly:
                return Quick(QuickKind::kReadOnly);
            case Subcommand::kDeny:
                return Quick(QuickKind::kDenyAccess);
            case Subcommand::kOwner:
                return Owner();
            case Subcommand::kInherit:
                return Inherit();
            case Subcommand::kNullDacl:
            case Subcommand::kEmptyDacl:
                return NullOrEmpty(options_.command == Subcommand::kNullDacl);
            case Subcommand::kReplaceChildren:
                return ReplaceChildren();
            case Subcommand::kBackup:
                return Backup();
            case Subcommand::kRestore:
                return Restore();
            case Subcommand::kResetDefaults:
                return ResetDefaults();
            case Subcommand::kExport:
                return Export();
            case Subcommand::kImport:
                return Import();
        }
        return kExitUsage;
    }

    // ---- Telling -------------------------------------------------------------------

    void Fail(const std::wstring& path, uint32_t error) { Fail(path, platform().ErrorText(error)); }
    void Fail(const std::wstring& path, const std::wstring& why) {
        failed_ = true;
        std::wstring text = why;
        while (!text.empty() &&
               (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
            text.pop_back();
        console_.Err(kProgram + path + L": " + text + L"\n");
    }
    void Say(const std::wstring& text) { console_.Out(text + L"\n"); }
    // What was done to one object; a dry run tells its changes at the end
    // instead.
    void Done(const std::wstring& text) {
        if (!dryRun_)
            Say(text);
    }

    // Why the last write of the object failed; fallback when the engine
    // refused before writing.
    uint32_t RefusalOf(const std::wstring& path, uint32_t fallback) const {
        uint32_t refusal = log_->LastRefusal(path);
        return refusal ? refusal : fallback;
    }

    void TellDryRun() {
        auto changes = dryRun_->Changes();
        for (const auto& change : changes) {
            Say(change.path);
            Say(L"  before: " + change.before);
            Say(L"  after:  " + (change.after == change.before ? L"(unchanged)" : change.after));
        }
        Say(L"dry run: nothing was written (" + std::to_wstring(changes.size()) +
            (changes.size() == 1 ? L" object" : L" objects") + L" would be written)");
    }

    // Keeps the objects in the undo file before anything changes; false
    // (with the reason told) when it cannot, and then nothing is written.
    bool PrepareUndo(const std::vector<std::wstring>& paths, bool withSubtrees) {
        if (!undo_)
            return true;
        Status kept = undo_->Prepare(paths, withSubtrees);
        if (kept.ok())
            return true;
        Fail(undo_->file(), L"the undo file could not keep every object, so nothing was changed: " +
                                platform().ErrorText(kept.error));
        return false;
    }

    bool Exists(const std::wstring& path) {
        if (platform().PathFileExists(path))
            return true;
        Fail(path, err::kFileNotFound);
        return false;
    }

    // ---- show ----------------------------------------------------------------------

    struct Target {
        std::wstring path;
        std::optional<bool> isContainer;
    };

    static bool HasWildcard(const std::wstring& path) {
        size_t last = path.find_last_of(L'\\');
        return path.find_first_of(L"*?", last == std::wstring::npos ? 0 : last) !=
               std::wstring::npos;
    }

    // A path, or every object of its folder whose name matches its last
    // name ('*' and '?'), in listing order.
    std::vector<Target> Expand(const std::wstring& path) {
        if (!HasWildcard(path))
            return {{path, std::nullopt}};
        size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos) {
            Fail(path, err::kInvalidName);
            return {};
        }
        std::wstring folder = path.substr(0, slash + 1);
        std::wstring pattern = path.substr(slash + 1);
        auto listed = host_.ListNames(folder);
        Result<std::vector<FindData>> entries =
            listed ? std::move(*listed) : platform().FindFiles(folder + L"*");
        if (!entries.ok()) {
            Fail(path, entries.error());
            return {};
        }
        std::vector<Target> targets;
        for (const FindData& entry : *entries) {
            if (entry.name == L"." || entry.name == L".." ||
                !rules::MatchesPattern(pattern, entry.name))
                continue;
            targets.push_back({folder + entry.name, (entry.attributes & attr::kDirectory) != 0});
        }
        if (targets.empty())
            Fail(path, err::kFileNotFound);
        return targets;
    }

    int Show() {
        SidNameCache names;
        std::vector<ShownObject> shown;
        for (const auto& path : options_.paths) {
            for (const Target& target : Expand(path)) {
                ShownObject object =
                    ReadShownObject(platform(), user_, target.path, target.isContainer, names);
                if (object.error)
                    Fail(object.path, object.error);
                if (options_.format == OutputFormat::kJson) {
                    shown.push_back(std::move(object));
                } else if (!object.error) {
                    console_.Out(options_.format == OutputFormat::kSddl
                                     ? FormatSddl(object)
                                     : FormatText(object, user_.CurrentUserName));
                }
            }
        }
        if (options_.format == OutputFormat::kJson)
            console_.Out(FormatJson(shown, user_.CurrentUserName));
        return kExitSuccess;
    }

    // ---- The quick commands --------------------------------------------------------

    std::vector<QuickItem> QuickItems() {
        std::vector<QuickItem> items;
        for (const auto& path : options_.paths)
            items.push_back({path, !platform().PathIsDirectory(path)});
        return items;
    }

    int Quick(QuickKind kind) {
        if (!PrepareUndo(options_.paths, false))
            return kExitItemFailed;
        std::vector<QuickItem> items = QuickItems();
        QuickSetRequest request{kind, options_.trustee,
                                ScopeFromPosition(options_.scopePosition).value_or(0)};
        QuickSetOutcome outcome = RunQuickSet(*engine_, user_, items, request, {});
        if (!outcome.trusteeResolved) {
            failed_ = true;  // told by the engine: no item was touched
            return kExitItemFailed;
        }
        const std::wstring done =
            std::wstring(InfoOf(kind).buttonText) + L" for " + options_.trustee;
        for (size_t i = 0; i < outcome.items.size() && i < items.size(); ++i) {
            const QuickItemOutcome& item = outcome.items[i];
            const std::wstring& path = items[i].path;
            switch (item.result) {
                case QuickItemResult::kDone:
                    Done(path + L": " + done + L"; access of " + user_.CurrentUserName + L": " +
                         AccessLevelText(item.access));
                    break;
                case QuickItemResult::kSkippedRoot:
                    Fail(path, L"left alone: a drive root is changed only with --yes");
                    break;
                case QuickItemResult::kRestoreFailed:
                    Fail(path,
                         L"LEFT WITH A NULL DACL (open to everyone), its previous DACL "
                         L"could not be put back: " +
                             platform().ErrorText(item.error));
                    break;
                default:
                    Fail(path, item.error);
            }
        }
        return kExitSuccess;
    }

    int Owner() {
        if (!PrepareUndo(options_.paths, false))
            return kExitItemFailed;
        std::vector<QuickItem> items = QuickItems();
        std::vector<std::wstring> shownOwners(items.size());
        auto failures =
            RunChangeOwner(*engine_, items, options_.ownerName,
                           [&](size_t i, const std::wstring& owner) { shownOwners[i] = owner; });
        for (const ItemFailure& failure : failures)
            Fail(failure.path, failure.error);
        for (size_t i = 0; i < items.size(); ++i) {
            bool refused = std::any_of(failures.begin(), failures.end(), [&](const ItemFailure& f) {
                return f.path == items[i].path;
            });
            if (!refused)
                Done(items[i].path + L": owner " + shownOwners[i]);
        }
        return kExitSuccess;
    }

    // ---- inherit, null-dacl, empty-dacl --------------------------------------------

    int Inherit() {
        std::vector<std::wstring> paths;
        for (const auto& path : options_.paths) {
            auto parsed = rules::ParsePath(path);
            if (parsed && parsed->IsRoot())
                Fail(path, L"a drive root has no folder to inherit from, so it was left alone");
            else if (Exists(path))
                paths.push_back(path);
        }
        if (!PrepareUndo(paths, true))
            return kExitItemFailed;
        // "Inheritance Permissions": ownership first, so that the DACL can be
        // written; the owner is not given back.
        for (const auto& path : paths) {
            SetOwner(*engine_, path, kAdministrators);
            Status reset = ResetToInherited(*engine_, path);
            if (reset.ok())
                Done(path + L": reset to inherited permissions");
            else
                Fail(path, reset.error);
        }
        return kExitSuccess;
    }

    int NullOrEmpty(bool null) {
        std::vector<std::wstring> paths;
        for (const auto& path : options_.paths) {
            if (Exists(path))
                paths.push_back(path);
        }
        if (!PrepareUndo(paths, false))
            return kExitItemFailed;
        for (const auto& path : paths) {
            Status written = SetNullOrEmptyDacl(*engine_, path, null);
            if (written.ok())
                Done(path + (null ? L": null DACL" : L": empty DACL"));
            else
                Fail(path, written.error);
        }
        return kExitSuccess;
    }

    // ---- replace-children ----------------------------------------------------------

    // Tells the walk's progress as one line on a terminal, and keeps the
    // counts and the objects not reached for the end.
    class ProgressLine final : public PropagationObserver {
      public:
        explicit ProgressLine(Console& console) : console_(console) {}
        void Counted(int32_t files, int32_t folders) override {
            files_ = files;
            folders_ = folders;
        }
        void ApplyingStarted() override {}
        void EntryStarted(const std::wstring& name) override { name_ = name; }
        void EntryDone(int32_t processed, int32_t total) override {
            processed_ = processed;
            if (console_.ShowsProgress())
                console_.Progress(L"[" + std::to_wstring(PropagationPercent(processed, total)) +
                                  L"%] " + std::to_wstring(processed) + L"/" +
                                  std::to_wstring(total) + L" " + name_);
        }
        void NotReached(const std::vector<std::wstring>& paths) override {
            notReached_.insert(notReached_.end(), paths.begin(), paths.end());
        }
        void Finished() override {
            if (console_.ShowsProgress())
                console_.Progress(L"");
        }
        int32_t files_ = 0;
        int32_t folders_ = 0;
        int32_t processed_ = 0;
        std::vector<std::wstring> notReached_;

      private:
        Console& console_;
        std::wstring name_;
    };

    int ReplaceChildren() {
        const std::wstring& folder = options_.paths.front();
        if (!Exists(folder))
            return kExitItemFailed;
        if (!platform().PathIsDirectory(folder)) {
            Fail(folder, err::kDirectory);
            return kExitItemFailed;
        }
        if (!PrepareUndo({folder}, true))
            return kExitItemFailed;
        log_->Clear();
        PropagationRun run;
        run.folder = folder;
        run.mode = options_.mode;
        ProgressLine progress(console_);
        RunPropagationWorker(*engine_, run, progress);
        // An object whose last write was refused kept (part of) what it had.
        size_t refused = 0;
        for (const auto& [path, error] : log_->Refusals()) {
            Fail(path, error);
            ++refused;
        }
        for (const auto& path : progress.notReached_)
            Fail(path, L"not reached: it could not be listed or changed");
        Say(folder + L": " + std::to_wstring(progress.files_) + L" files, " +
            std::to_wstring(progress.folders_) + L" folders; " +
            std::to_wstring(progress.processed_ - static_cast<int32_t>(refused)) + L" changed");
        return kExitSuccess;
    }

    // ---- backup, restore, reset-defaults -------------------------------------------

    int Backup() {
        std::vector<BackupItem> items = CollectBackupItems(platform(), options_.paths);
        // Items whose descriptor could not be read are left out, as the
        // window leaves them out; here each is named.
        size_t next = 0;
        for (const auto& path : options_.paths) {
            if (next < items.size() && items[next].path == path) {
                ++next;
                continue;
            }
            auto read = platform().GetFileSecurity(path, secinfo::kDacl);
            Fail(path, L"left out of the backup: " +
                           platform().ErrorText(read.ok() ? err::kInvalidSecurityDescriptor
                                                          : read.error()));
        }
        std::wstring file = BackupSaveName(options_.outputFile);
        Status written = WriteFileReplacing(file, SerializeBackup(host_.BackupTime(), items));
        if (!written.ok()) {
            Fail(file, written.error);
            return kExitItemFailed;
        }
        Say(std::to_wstring(items.size()) + L" items written to " + file);
        return kExitSuccess;
    }

    // The path a stored one is restored at: the first mapping whose folder
    // starts it (whole names, letter case ignored) replaces that part.
    std::wstring Mapped(const std::wstring& stored) const {
        std::wstring key = PathKey(stored);
        for (const PathMapping& mapping : options_.mappings) {
            std::wstring from = PathKey(mapping.from);
            if (key == from)
                return mapping.to;
            std::wstring prefix = from.ends_with(L'\\') ? from : from + L'\\';
            if (key.starts_with(prefix)) {
                std::wstring to = mapping.to;
                if (!to.ends_with(L'\\'))
                    to += L'\\';
                return to + stored.substr(StoredPrefixLength(stored, prefix));
            }
        }
        return stored;
    }

    // The length, in the stored path, of the part whose key is prefix.
    static size_t StoredPrefixLength(const std::wstring& stored, const std::wstring& prefix) {
        size_t names = std::count(prefix.begin(), prefix.end(), L'\\');
        size_t at = 0;
        for (size_t seen = 0; at < stored.size() && seen < names; ++at) {
            if (stored[at] == L'\\') {
                ++seen;
                while (at + 1 < stored.size() && stored[at + 1] == L'\\')
                    ++at;
            }
        }
        return at;
    }

    std::optional<std::vector<BackupItem>> SelectedItems(std::vector<BackupItem> items) {
        for (auto& item : items)
            item.path = Mapped(item.path);
        if (options_.items.empty())
            return items;
        std::vector<BackupItem> chosen;
        bool missing = false;
        for (const auto& wanted : options_.items) {
            std::wstring key = PathKey(Mapped(wanted));
            auto found = std::find_if(items.begin(), items.end(), [&](const BackupItem& item) {
                return PathKey(item.path) == key;
            });
            if (found == items.end()) {
                Fail(wanted, L"the backup holds no such item");
                missing = true;
            } else {
                chosen.push_back(*found);
            }
        }
        if (missing)
            return std::nullopt;
        return chosen;
    }

    int Restore() {
        BackupContents contents = ReadBackupFile(options_.inputFile, reporter_);
        if (contents.status == BackupReadStatus::kUnknownFormat) {
            failed_ = true;  // "Unknown file format !" was told
            return kExitItemFailed;
        }
        if (contents.status == BackupReadStatus::kCannotOpen) {
            Fail(options_.inputFile, L"the backup file cannot be opened");
            return kExitItemFailed;
        }
        if (contents.status == BackupReadStatus::kDamaged)
            Fail(options_.inputFile, L"the backup file is damaged: only its first " +
                                         std::to_wstring(contents.items.size()) +
                                         L" items can be read");
        auto items = SelectedItems(std::move(contents.items));
        if (!items)
            return kExitItemFailed;  // nothing restored when an --item is not there
        std::vector<RestoreRow> rows = RowsFromBackup(platform(), user_, std::move(*items));
        return RunRows(RestoreMode::kFile, std::move(rows));
    }

    int RunRows(RestoreMode mode, std::vector<RestoreRow> rows) {
        std::vector<RestoreWork> work = WorkFromRows(rows);
        std::vector<std::wstring> written;
        for (const RestoreWork& row : work) {
            if ((mode == RestoreMode::kFile || row.ticked) && row.descriptor &&
                platform().PathFileExists(row.path))
                written.push_back(row.path);
        }
        if (!PrepareUndo(written, false))
            return kExitItemFailed;
        log_->Clear();
        std::vector<std::optional<RestoreRowResult>> results(work.size());
        RestoreCallbacks callbacks;
        callbacks.onRowResult = [&](size_t row, RestoreRowResult result) { results[row] = result; };
        std::atomic<bool> stop{false};
        RunRestore(*engine_, mode, work, callbacks, stop);
        for (size_t i = 0; i < work.size(); ++i) {
            const RestoreWork& row = work[i];
            bool tried = mode == RestoreMode::kFile || row.ticked;
            if (!tried)
                continue;
            if (results[i] == RestoreRowResult::kFileNotFound) {
                Fail(row.path, err::kFileNotFound);
            } else if (!row.descriptor) {
                Fail(row.path, kNtfsOnlyMessage);
            } else if (results[i] == RestoreRowResult::kFailed ||
                       (mode == RestoreMode::kReset && log_->LastRefusal(row.path))) {
                Fail(row.path, RefusalOf(row.path, err::kInvalidSecurityDescriptor));
            } else {
                Done(row.path + L": " + RestoreResultText(RestoreRowResult::kSucceeded));
            }
        }
        return kExitSuccess;
    }

    int ResetDefaults() {
        FileSystemTable fileSystems = ReadFileSystemTable(platform());
        std::vector<RestoreRow> rows =
            BuildResetRows(platform(), user_, DefaultDescriptors::FromTables(), fileSystems);
        if (options_.paths.empty()) {
            for (auto& row : rows)
                row.checked = row.descriptor.has_value();
        } else {
            bool unknown = false;
            for (const auto& path : options_.paths) {
                auto found = std::find_if(rows.begin(), rows.end(), [&](const RestoreRow& row) {
                    return PathKey(row.path) == PathKey(path);
                });
                if (found == rows.end()) {
                    Fail(path, L"is neither a drive root nor a Windows system folder");
                    unknown = true;
                } else {
                    found->checked = true;
                }
            }
            if (unknown)
                return kExitItemFailed;
        }
        return RunRows(RestoreMode::kReset, std::move(rows));
    }

    // ---- export, import ------------------------------------------------------------

    int Export() {
        const std::wstring& path = options_.paths.front();
        if (!Exists(path))
            return kExitItemFailed;
        ExportResult result = ExportDescriptorOfPath(*engine_, path, options_.outputFile);
        if (result.outcome == ExportOutcome::kReadFailed) {
            auto read = platform().GetFileSecurity(path, secinfo::kDacl);
            Fail(path, read.ok() ? err::kInvalidSecurityDescriptor : read.error());
        } else if (result.outcome == ExportOutcome::kWriteFailed) {
            Fail(options_.outputFile, result.error);
        } else {
            Say(path + L": descriptor written to " + options_.outputFile);
        }
        return kExitSuccess;
    }

    int Import() {
        const std::wstring& path = options_.paths.front();
        auto bytes = ReadDescriptorFile(options_.inputFile);
        if (!bytes) {
            Fail(options_.inputFile, L"the file cannot be opened");
            return kExitItemFailed;
        }
        auto parsed = SecurityDescriptor::Parse(*bytes);
        if (!parsed || !parsed->dacl.present) {
            Fail(options_.inputFile, L"the file holds no security descriptor with a DACL");
            return kExitItemFailed;
        }
        if (!Exists(path) || !PrepareUndo({path}, false))
            return kExitItemFailed;
        // The copied owner is the object's own, so that it keeps it.
        CopyBuffer buffer{*bytes, GetOwnerName(platform(), path)};
        if (buffer.CopiedOwnerName.empty())
            buffer.CopiedOwnerName = kAdministrators;
        Status pasted = PasteSecuritySettings(*engine_, buffer, path);
        if (pasted.ok())
            Done(path + L": DACL of " + options_.inputFile + L" written");
        else
            Fail(path, pasted.error);
        return kExitSuccess;
    }

    const CliOptions& options_;
    Console& console_;
    Host& host_;
    Platform& real_;
    ConsoleReporter reporter_;
    std::unique_ptr<DryRun> dryRun_;
    std::unique_ptr<UndoJournal> undo_;
    std::unique_ptr<WriteLog> log_;
    std::unique_ptr<Engine> engine_;
    UserIdentity user_;
    bool failed_ = false;
};

}  // namespace

int RunProgram(const std::vector<std::wstring>& args, Console& console, Host& host) {
    ParsedCommandLine parsed = ParseCommandLine(args);
    if (parsed.kind == ParsedCommandLine::Kind::kHelp) {
        console.Out(HelpText(parsed.helpFor));
        return kExitSuccess;
    }
    if (parsed.kind == ParsedCommandLine::Kind::kUsageError) {
        console.Err(kProgram + parsed.message + L"\nTry 'velmora-cli --help'.\n");
        return kExitUsage;
    }
    Host::Opened opened = host.Open(parsed.options);
    if (!opened.platform) {
        console.Err(kProgram + opened.message + L"\n");
        return opened.exitStatus == kExitSuccess ? kExitItemFailed : opened.exitStatus;
    }
    return Run(parsed.options, console, host, *opened.platform).Go();
}

}  // namespace vm::cli
