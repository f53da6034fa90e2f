#include "security/Inheritance.h"

#include <algorithm>

#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

void ConvertInheritedRows(InheritanceRows& rows) {
    for (size_t row = 0; row < rows.RowCount(); ++row) {
        if (!rows.HasInheritedFrom(row))
            continue;
        if (rows.IsEntryRow(row))
            rows.ClearInheritedFlag(row);
        rows.ClearInheritedFrom(row);
    }
}

void RemoveInheritedRows(InheritanceRows& rows) {
    // Last to first, so that deleting a row does not move the ones still to visit.
    for (size_t row = rows.RowCount(); row-- > 0;) {
        if (rows.HasInheritedFrom(row))
            rows.DeleteRow(row);
    }
}

// The explicit entries as successive AddAccessEntry calls would leave them.
Result<Acl> ExplicitEntriesAcl(Platform& platform, const std::vector<ExplicitEntry>& entries) {
    Acl acl = Acl::WithRoom(kAclHeaderSize);
    for (const ExplicitEntry& entry : entries) {
        auto trustee = AccountSidOfName(platform, entry.trustee);
        if (!trustee.ok())
            return Result<Acl>::Fail(trustee.error());
        auto added = WithAddedEntry(acl, *trustee, entry.mask, entry.type, entry.flags);
        if (!added)
            return Result<Acl>::Fail(err::kInvalidAcl);
        acl = std::move(*added);
    }
    return acl;
}

Status WriteInheritanceAndEntries(Platform& platform, const std::wstring& path,
                                  bool includeInheritable,
                                  const std::vector<ExplicitEntry>& entries) {
    auto acl = ExplicitEntriesAcl(platform, entries);
    if (!acl.ok())
        return acl.status();
    const uint32_t protection =
        includeInheritable ? secinfo::kUnprotectedDacl : secinfo::kProtectedDacl;
    OptionalAcl dacl = acl->Compacted().ToBytes();
    return platform.SetNamedSecurityInfo(path, secinfo::kDacl | protection, nullptr, &dacl);
}

}  // namespace

bool ShowsInheritance(const Acl& dacl) {
    return std::any_of(dacl.aces.begin(), dacl.aces.end(),
                       [](const Ace& entry) { return entry.IsInherited(); });
}

bool HasInheritedRows(const InheritanceRows& rows) {
    for (size_t row = 0; row < rows.RowCount(); ++row) {
        if (rows.HasInheritedFrom(row))
            return true;
    }
    return false;
}

void ApplyInheritanceChoice(InheritanceRows& rows, InheritanceChoice choice) {
    switch (choice) {
        case InheritanceChoice::kConvert:
            ConvertInheritedRows(rows);
            break;
        case InheritanceChoice::kRemove:
            RemoveInheritedRows(rows);
            break;
        case InheritanceChoice::kDoNotModify:
            break;
    }
}

Status ApplyInheritanceAndEntries(Engine& engine, const std::wstring& path, bool includeInheritable,
                                  const std::vector<ExplicitEntry>& entries,
                                  const std::wstring& owner) {
    // Written as the object's owner, who may always change its DACL.
    SetOwner(engine, path, kAdministrators);
    Status written =
        WriteInheritanceAndEntries(engine.platform(), path, includeInheritable, entries);
    SetOwner(engine, path, owner);
    return written;
}

}  // namespace vm
