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
    for (size_t i = 0; i < work.size() && !stop; ++i) {
        const RestoreWork& row = work[i];
        if (!platform.PathFileExists(row.path)) {
            Notify(callbacks, i, RestoreRowResult::kFileNotFound);
        } else if ((mode == RestoreMode::kFile || row.ticked) && row.descriptor) {
            const std::optional<Sid> previousOwner = TakeOwnership(engine, row.path);
            bool written = WriteStoredDescriptor(platform, row.path, *row.descriptor);
            RestoreOwner(engine, row.path, row.owner, previousOwner);
            if (mode == RestoreMode::kFile)
                Notify(callbacks, i,
                       written ? RestoreRowResult::kSucceeded : RestoreRowResult::kFailed);
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
