#include "security/Propagation.h"

#include <cstdio>
#include <deque>
#include <optional>

#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

// One "\" between folder and name, also below a drive root ("C:\").
std::wstring ChildPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\')
        return folder + name;
    return folder + L'\\' + name;
}

bool IsDotEntry(const std::wstring& name) {
    return name == L"." || name == L"..";
}

// Counters of one pass.
struct WalkCounts {
    int32_t files = 0;
    int32_t folders = 0;
    int32_t processed = 0;
};

// Everything one pass needs besides the queue.
struct WalkContext {
    Engine& engine;
    PropagationRun& run;
    PropagationObserver& observer;
    PropagationMode mode;
    bool nullFolders;
    NulledFolders& nulled;
    std::optional<Bytes> folderDescriptor;  // mode 2 only
    WalkCounts counts;
    // Passes that change owners keep the owner privileges on for the whole
    // pass.
    std::optional<OwnerPrivilegeScope> privileges;
    // Mode 1 resets each subfolder with its whole subtree in one tree call
    // until the system says it lacks the call.
    bool treeCalls = true;
    bool cancelled = false;
};

bool ChangesOwners(PropagationMode mode, bool nullFolders) {
    return mode == PropagationMode::kCopyFromFolder ||
           (mode == PropagationMode::kCountOnly && nullFolders);
}

void PrepareOwnerChanges(WalkContext& walk) {
    if (ChangesOwners(walk.mode, walk.nullFolders))
        walk.privileges.emplace(walk.engine);
}

// "Administrators" as owner, by its well-known SID.
void MakeAdministratorsOwner(WalkContext& walk, const std::wstring& path) {
    SetOwnerSid(walk.engine, path, sids::Administrators());
}

// Mode 2 takes the folder's DACL descriptor as "Administrators" and gives the
// folder its owner back by SID, also when the read fails.
std::optional<Bytes> TakeFolderDescriptor(WalkContext& walk, const std::wstring& folder) {
    std::optional<Sid> owner = TakeOwnership(walk.engine, folder);
    auto descriptor = ReadDaclDescriptor(walk.engine.platform(), folder);
    GiveOwnerBack(walk.engine, folder, owner);
    return descriptor;
}

// The counting pass of mode 1 opens each subfolder (owner "Administrators",
// NULL DACL) so that it can be listed when its turn comes. Its DACL is kept
// first; a folder whose DACL cannot be kept is not opened.
void OpenFolderForListing(WalkContext& walk, const std::wstring& path) {
    Platform& platform = walk.engine.platform();
    MakeAdministratorsOwner(walk, path);
    auto previous = DaclSnapshot::Capture(platform, path);
    if (!previous)
        return;
    if (WriteNullOrEmptyDacl(platform, path, true).ok())
        walk.nulled.Add(path, previous->descriptor());
}

// A reset done, or refused: a folder the counting pass opened is marked, or
// gets its DACL back at once, before anything below it is reset against it.
void NoteReset(WalkContext& walk, const std::wstring& path, bool done) {
    if (done)
        walk.nulled.MarkReset(path);
    else
        walk.nulled.RestoreNow(walk.engine.platform(), path);
}

void ApplyToEntry(WalkContext& walk, const std::wstring& path, const std::wstring& name) {
    if (walk.mode == PropagationMode::kResetToInherited) {
        walk.observer.EntryStarted(name);
        NoteReset(walk, path, ResetToInherited(walk.engine, path).ok());
    } else if (walk.mode == PropagationMode::kCopyFromFolder && walk.folderDescriptor) {
        walk.observer.EntryStarted(name);
        MakeAdministratorsOwner(walk, path);
        // One write replaces the whole DACL; a refused write leaves the
        // entry's DACL as it was.
        walk.engine.platform().SetFileSecurity(path, secinfo::kDacl, *walk.folderDescriptor);
    }
}

void ReportProgress(WalkContext& walk) {
    if (walk.mode == PropagationMode::kCountOnly || walk.run.total <= 0)
        return;
    walk.observer.EntryDone(walk.counts.processed, walk.run.total);
}

std::wstring NameOfPath(const std::wstring& path) {
    size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// One object the tree call dealt with, told as one entry of the walk.
bool TreeObjectDone(WalkContext& walk, const std::wstring& path, uint32_t error) {
    walk.observer.EntryStarted(NameOfPath(path));
    NoteReset(walk, path, error == err::kSuccess);
    if (error != err::kSuccess)
        walk.run.notReached.push_back(path);
    ++walk.counts.processed;
    ReportProgress(walk);
    if (walk.run.cancel.load())
        walk.cancelled = true;
    return !walk.cancelled;
}

// Mode 1 resets a subfolder together with everything below it in one tree
// call: each object is written once (a SetNamedSecurityInfoW per object
// would carry every subfolder's reset through its whole subtree again, N
// times the depth). Each object the call reports counts as one entry. False
// when the system lacks the call; the walk then resets object by object.
bool ResetSubtree(WalkContext& walk, const std::wstring& path) {
    if (walk.mode != PropagationMode::kResetToInherited || !walk.treeCalls)
        return false;
    size_t told = 0;
    const OptionalAcl noExplicitEntries = EmptyAclBytes();
    Status reset = walk.engine.platform().TreeResetNamedSecurityInfo(
        path, secinfo::kDacl | secinfo::kUnprotectedDacl, noExplicitEntries,
        [&](const std::wstring& object, uint32_t error) {
            ++told;
            return TreeObjectDone(walk, object, error);
        });
    if (told == 0 && reset.error == err::kCallNotImplemented) {
        walk.treeCalls = false;
        return false;
    }
    // Nothing reported: the outcome is the subfolder's own.
    if (told == 0)
        TreeObjectDone(walk, path, reset.error);
    return true;
}

// One entry of a listing. Subfolders go to the back of the queue, unless a
// tree call has dealt with them and everything below.
void VisitEntry(WalkContext& walk, std::deque<std::wstring>& queue, const std::wstring& folder,
                const FindData& entry) {
    // Junctions and symbolic links are never counted, changed nor followed.
    if (entry.attributes & attr::kReparsePoint)
        return;
    bool isFolder = (entry.attributes & attr::kDirectory) != 0;
    if (isFolder && IsDotEntry(entry.name))
        return;
    std::wstring path = ChildPath(folder, entry.name);
    if (isFolder) {
        ++walk.counts.folders;
        if (walk.mode == PropagationMode::kCountOnly && walk.nullFolders)
            OpenFolderForListing(walk, path);
        if (ResetSubtree(walk, path))
            return;
        queue.push_back(path);
    } else {
        ++walk.counts.files;
    }
    ApplyToEntry(walk, path, entry.name);
    ++walk.counts.processed;
    ReportProgress(walk);
}

// Breadth-first over the tree below the folder. False when cancelled.
bool WalkQueue(WalkContext& walk, const std::wstring& folder) {
    std::deque<std::wstring> queue{folder};
    while (!queue.empty()) {
        std::wstring current = std::move(queue.front());
        queue.pop_front();
        // A folder that cannot be listed contributes no entries; the applying
        // pass tells which were not reached.
        auto listing = walk.engine.platform().FindFiles(ChildPath(current, L"*.*"));
        if (!listing.ok()) {
            if (walk.mode != PropagationMode::kCountOnly)
                walk.run.notReached.push_back(current);
            continue;
        }
        for (const FindData& entry : *listing) {
            if (walk.cancelled || walk.run.cancel.load())
                return false;
            VisitEntry(walk, queue, current, entry);
        }
    }
    return !walk.cancelled;
}

}  // namespace

void NulledFolders::Add(std::wstring path, Bytes previousDescriptor) {
    indexByPath_.insert_or_assign(path, folders_.size());
    folders_.push_back({std::move(path), std::move(previousDescriptor), false});
}

void NulledFolders::MarkReset(const std::wstring& path) {
    if (auto found = indexByPath_.find(path); found != indexByPath_.end())
        folders_[found->second].reset = true;
}

void NulledFolders::RestoreNow(Platform& platform, const std::wstring& path) {
    auto found = indexByPath_.find(path);
    if (found == indexByPath_.end() || folders_[found->second].reset)
        return;
    Entry& folder = folders_[found->second];
    platform.SetFileSecurity(folder.path, secinfo::kDacl, folder.previousDescriptor);
    folder.reset = true;
}

size_t NulledFolders::RestoreRemaining(Platform& platform) {
    size_t restored = 0;
    // Found breadth-first, so the reverse order puts back the deepest first.
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
        if (folder->reset)
            continue;
        if (platform.SetFileSecurity(folder->path, secinfo::kDacl, folder->previousDescriptor).ok())
            ++restored;
        folder->reset = true;
    }
    return restored;
}

int32_t PropagationPercent(int32_t processed, int32_t total) {
    if (total <= 0 || processed <= 0)
        return 0;
    return static_cast<int32_t>(static_cast<int64_t>(processed) * 100 / total);
}

int32_t WalkChildren(Engine& engine, PropagationRun& run, PropagationObserver& observer,
                     const std::wstring& folder, PropagationMode mode, bool nullFolders,
                     NulledFolders* nulled) {
    NulledFolders ownLedger;
    WalkContext walk{engine, run, observer, mode, nullFolders, nulled ? *nulled : ownLedger};
    if (mode != PropagationMode::kCountOnly)
        observer.ApplyingStarted();
    PrepareOwnerChanges(walk);
    if (mode == PropagationMode::kCopyFromFolder)
        walk.folderDescriptor = TakeFolderDescriptor(walk, folder);
    bool completed = WalkQueue(walk, folder);
    run.cancel.store(false);
    if (mode == PropagationMode::kCountOnly)
        observer.Counted(walk.counts.files, walk.counts.folders);
    // Without a caller to reset them, folders opened for listing close again.
    if (!nulled)
        ownLedger.RestoreRemaining(engine.platform());
    return completed ? walk.counts.processed : -1;
}

int RunPropagation(Engine& engine, PropagationRun& run, PropagationObserver& observer) {
    if (run.folder.empty())
        return 0;
    NulledFolders nulled;
    bool openFolders = run.mode == PropagationMode::kResetToInherited;
    run.total = WalkChildren(engine, run, observer, run.folder, PropagationMode::kCountOnly,
                             openFolders, &nulled);
    bool counted = run.total >= 0;
    if (counted)
        WalkChildren(engine, run, observer, run.folder, run.mode, false, &nulled);
    // Folders opened by the counting pass and not reset since (a cancel, a
    // refused reset) get the DACL they had before the run.
    nulled.RestoreRemaining(engine.platform());
    return counted ? 1 : 0;
}

void RunPropagationWorker(Engine& engine, PropagationRun& run, PropagationObserver& observer) {
    RunPropagation(engine, run, observer);
    if (!run.notReached.empty())
        observer.NotReached(run.notReached);
    observer.Finished();
}

}  // namespace vm
