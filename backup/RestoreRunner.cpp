#include "backup/RestoreRunner.h"

#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/Rights.h"
#include "security/SecurityAccess.h"
#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

// Writes the stored descriptor through a NULL DACL; the previous DACL comes
// back when the write is refused.
bool WriteStoredDescriptor(Platform& platform, const std::wstring& path, const Bytes& descriptor) {
    if (!SecurityDescriptor::Parse(descriptor))
        return false;
    auto previous = DaclSnapshot::Capture(platform, path);
    // Without a copy of the old DACL there is nothing to fall back to: the
    // NULL DACL step is left out rather than risked.
    if (previous)
        WriteNullOrEmptyDacl(platform, path, true);
    if (platform.SetFileSecurity(path, secinfo::kDacl, descriptor))
        return true;
    if (previous)
        previous->Restore(platform);
    return false;
}

void Notify(const RestoreCallbacks& callbacks, size_t row, RestoreRowResult result) {
    if (callbacks.onRowResult)
        callbacks.onRowResult(row, result);
}

// The file keeps the owner as a bare name. When the object's owner before the
// restore bears that name it goes back by its SID (a domain account's name
// may resolve to a local account of the same name, or not at all); otherwise
// the stored name is looked up, and when it does not resolve the previous
// owner comes back rather than "Administrators" staying.
void RestoreOwner(Engine& engine, const std::wstring& path, const std::wstring& storedOwner,
                  const std::optional<Sid>& previousOwner) {
    if (previousOwner && !storedOwner.empty() &&
        engine.names().BareName(engine.platform(), *previousOwner) == storedOwner) {
        SetOwnerSid(engine, path, *previousOwner);
        return;
    }
    if (!SetOwner(engine, path, storedOwner).ok())
        GiveOwnerBack(engine, path, previousOwner);
}

// The owner a restored row gets: its previous owner when that bears the
// stored name (by SID, see RestoreOwner), else the stored name's account,
// else the previous owner again; nullopt when neither is known.
std::optional<Sid> OwnerToGiveBack(Engine& engine, const std::wstring& storedOwner,
                                   const std::optional<Sid>& previousOwner) {
    if (previousOwner && !storedOwner.empty() &&
        engine.names().BareName(engine.platform(), *previousOwner) == storedOwner)
        return previousOwner;
    if (!storedOwner.empty()) {
        if (auto sid = engine.names().AccountSid(engine.platform(), storedOwner))
            return sid;
    }
    return previousOwner;
}

bool IsMissing(uint32_t error) {
    return error == err::kFileNotFound || error == err::kPathNotFound;
}

// The restore of one row in one read and two writes, each of owner and DACL
// together (SetFileSecurityW takes both; the privileges are on for the whole
// run): "Administrators" with a NULL DACL, then the row's owner with the
// stored DACL. When the second write is refused the object's previous owner
// and DACL go back. nullopt when the object's security cannot be read or
// the first write is refused: nothing was changed, and the row takes the
// engine's step-by-step sequence instead.
std::optional<RestoreRowResult> RestoreInThreeCalls(Engine& engine, const RestoreWork& row,
                                                    const SecurityDescriptor& stored) {
    Platform& platform = engine.platform();
    auto read = platform.GetFileSecurity(row.path, secinfo::kOwner | secinfo::kDacl);
    if (!read.ok())
        return IsMissing(read.error()) ? std::optional(RestoreRowResult::kFileNotFound)
                                       : std::nullopt;
    auto previous = SecurityDescriptor::Parse(*read);
    if (!previous || !previous->owner)
        return std::nullopt;
    SecurityDescriptor opened;
    opened.owner = sids::Administrators();
    opened.dacl = AclSlot::Null();
    constexpr uint32_t kOwnerAndDacl = secinfo::kOwner | secinfo::kDacl;
    if (!platform.SetFileSecurity(row.path, kOwnerAndDacl, opened.ToSelfRelative()).ok())
        return std::nullopt;
    SecurityDescriptor restored = stored;
    restored.owner = OwnerToGiveBack(engine, row.owner, previous->owner);
    restored.group.reset();
    restored.sacl = AclSlot::Absent();
    if (platform.SetFileSecurity(row.path, kOwnerAndDacl, restored.ToSelfRelative()).ok())
        return RestoreRowResult::kSucceeded;
    // Never left open to everybody: the previous owner and DACL, or at least
    // the previous DACL.
    if (!platform.SetFileSecurity(row.path, kOwnerAndDacl, previous->ToSelfRelative()).ok()) {
        SecurityDescriptor daclOnly = *previous;
        daclOnly.owner.reset();
        platform.SetFileSecurity(row.path, secinfo::kDacl, daclOnly.ToSelfRelative());
    }
    return RestoreRowResult::kFailed;
}

// The engine's sequence, step by step: an object whose security cannot be
// read in one call.
RestoreRowResult RestoreStepByStep(Engine& engine, const RestoreWork& row) {
    const std::optional<Sid> previousOwner = TakeOwnership(engine, row.path);
    bool written = WriteStoredDescriptor(engine.platform(), row.path, *row.descriptor);
    RestoreOwner(engine, row.path, row.owner, previousOwner);
    return written ? RestoreRowResult::kSucceeded : RestoreRowResult::kFailed;
}

RestoreRowResult RestoreOneRow(Engine& engine, const RestoreWork& row) {
    auto stored = SecurityDescriptor::Parse(*row.descriptor);
    // A stored descriptor that is not well-formed is never written.
    if (!stored)
        return RestoreRowResult::kFailed;
    if (auto result = RestoreInThreeCalls(engine, row, *stored))
        return *result;
    if (!engine.platform().PathFileExists(row.path))
        return RestoreRowResult::kFileNotFound;
    return RestoreStepByStep(engine, row);
}

}  // namespace

std::vector<RestoreWork> WorkFromRows(const std::vector<RestoreRow>& rows) {
    std::vector<RestoreWork> work;
    work.reserve(rows.size());
    for (const RestoreRow& row : rows)
        work.push_back({row.path, row.descriptor, row.owner, row.checked});
    return work;
}

std::wstring RestoreResultText(RestoreRowResult result) {
    return ResourceListItem(kRestoreResults, static_cast<size_t>(result));
}

void RunRestore(Engine& engine, RestoreMode mode, const std::vector<RestoreWork>& work,
                const RestoreCallbacks& callbacks, const std::atomic<bool>& stop) {
    Platform& platform = engine.platform();
    // One switch of the owner privileges for the whole run.
    OwnerPrivilegeScope privileges(engine);
    for (size_t i = 0; i < work.size() && !stop; ++i) {
        const RestoreWork& row = work[i];
        if ((mode == RestoreMode::kFile || row.ticked) && row.descriptor) {
            const RestoreRowResult result = RestoreOneRow(engine, row);
            // Reset mode tells only the rows whose path is gone.
            if (mode == RestoreMode::kFile || result == RestoreRowResult::kFileNotFound)
                Notify(callbacks, i, result);
        } else if (!platform.PathFileExists(row.path)) {
            Notify(callbacks, i, RestoreRowResult::kFileNotFound);
        }
        if (callbacks.onProgress)
            callbacks.onProgress(i + 1);
    }
    if (callbacks.onFinished)
        callbacks.onFinished();
}

RestoreRunner::~RestoreRunner() {
    StopAndWait();
}

bool RestoreRunner::Start(RestoreMode mode, std::vector<RestoreWork> work,
                          RestoreCallbacks callbacks) {
    if (running_)
        return false;
    if (worker_.joinable())
        worker_.join();
    stop_ = false;
    running_ = true;
    worker_ = std::thread([this, mode, work = std::move(work), callbacks = std::move(callbacks)] {
        RunRestore(engine_, mode, work, callbacks, stop_);
        running_ = false;
    });
    return true;
}

void RestoreRunner::StopAndWait() {
    stop_ = true;
    if (worker_.joinable())
        worker_.join();
}

}  // namespace vm
