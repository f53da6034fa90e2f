#include "advanced/AdvancedApply.h"

#include <algorithm>

#include "security/Ownership.h"
#include "security/Rights.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

// One pass over the masks picked by `mask` (allow or deny): each explicit
// row with rights takes in the rows of its trustee and scope, and those of
// its trustee whose rights and scope lie inside its own.
void CollectPass(std::vector<AceEntry>& rows, uint32_t AceEntry::*mask, uint8_t type,
                 uint32_t extraBits, std::vector<ExplicitEntry>& out) {
    for (size_t r = 0; r < rows.size(); ++r) {
        AceEntry& row = rows[r];
        if (row.inherited || row.*mask == 0)
            continue;
        uint32_t combined = row.*mask;
        for (size_t t = 0; t < rows.size(); ++t) {
            AceEntry& other = rows[t];
            if (t == r || other.inherited || other.name != row.name)
                continue;
            if (other.scope == row.scope) {
                combined |= other.*mask;
                other.*mask = 0;
            } else if ((other.*mask & ~combined) == 0 && ScopeCovers(row.scope, other.scope)) {
                // Its scope joined with the row's is the row's own.
                other.*mask = 0;
            }
        }
        out.push_back({row.name, combined | extraBits, type, row.scope});
    }
}

bool Stopped(const std::stop_token& stop, ApplyOutcome& outcome) {
    outcome.cancelled = stop.stop_requested();
    return outcome.cancelled;
}

// The entries whose trustees are accounts. A trustee that names no account
// (ERROR_NONE_MAPPED) is left out and told; any other failure of the look-up
// is the outcome's error, so that no entry is lost to a passing fault.
Status KeepResolvable(Platform& platform, const std::vector<ExplicitEntry>& entries,
                      std::vector<ExplicitEntry>& kept, std::vector<std::wstring>& unresolved) {
    for (const ExplicitEntry& entry : entries) {
        auto sid = AccountSidOfName(platform, entry.trustee);
        if (sid.ok()) {
            kept.push_back(entry);
            continue;
        }
        if (sid.error() != err::kNoneMapped)
            return sid.status();
        if (std::find(unresolved.begin(), unresolved.end(), entry.trustee) == unresolved.end())
            unresolved.push_back(entry.trustee);
    }
    return Status::Ok();
}

// The owner read at opening goes back by SID when the name did not bring it.
void KeepOwner(Engine& engine, const std::wstring& path, const Bytes& ownerSid) {
    auto now = ReadOwnerSid(engine.platform(), path);
    if (!now || now->ToBytes() != ownerSid)
        SetOwnerSid(engine, path, ownerSid);
}

}  // namespace

std::vector<ExplicitEntry> ExplicitEntriesOfRows(std::vector<AceEntry> rows) {
    std::vector<ExplicitEntry> entries;
    CollectPass(rows, &AceEntry::allow, ace_type::kAccessAllowed, access::kSynchronize, entries);
    CollectPass(rows, &AceEntry::deny, ace_type::kAccessDenied, 0, entries);
    return entries;
}

AdvancedSnapshot ReadAdvancedSnapshot(Platform& platform, const std::wstring& path,
                                      const Bytes* descriptor, bool isContainer) {
    AdvancedSnapshot snapshot;
    snapshot.loaded = LoadAceEntries(platform, path, descriptor, isContainer);
    MergeAceEntries(snapshot.loaded.entries);
    snapshot.ownerName = GetOwnerName(platform, path);
    if (auto owner = ReadOwnerSid(platform, path))
        snapshot.ownerSid = owner->ToBytes();
    return snapshot;
}

ApplyOutcome RunAdvancedApply(Engine& engine, const ApplyRequest& request, std::stop_token stop) {
    ApplyOutcome outcome;
    if (Stopped(stop, outcome))
        return outcome;
    std::vector<ExplicitEntry> kept;
    outcome.written = KeepResolvable(engine.platform(), request.entries, kept, outcome.unresolved);
    if (!outcome.written.ok() || Stopped(stop, outcome))
        return outcome;
    // The last safe point is behind: the write is one call and is finished.
    outcome.written = ApplyInheritanceAndEntries(engine, request.path, request.includeInheritable,
                                                 kept, request.owner);
    if (request.keepOwnerSid)
        KeepOwner(engine, request.path, *request.keepOwnerSid);
    if (outcome.written.ok())
        outcome.reloaded =
            ReadAdvancedSnapshot(engine.platform(), request.path, nullptr, request.isContainer);
    return outcome;
}

}  // namespace vm
