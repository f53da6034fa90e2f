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

// The DACL steps of Apply. The list starts clean: the parent's inheritable
// entries, or a NULL DACL that the entries then replace. A NULL DACL rather
// than an empty one keeps the object writable for this process, so that
// the previous DACL can still be put back should an add fail (also when
// taking ownership failed). With nothing to add the object gets an empty
// DACL, which is what an empty list of entries means.
Status WriteInheritanceAndEntries(Engine& engine, const std::wstring& path, bool includeInheritable,
                                  const std::vector<ExplicitEntry>& entries) {
    Platform& platform = engine.platform();
    if (!includeInheritable && entries.empty())
        return WriteNullOrEmptyDacl(platform, path, false);
    Status written = includeInheritable ? ResetToInherited(engine, path)
                                        : WriteNullOrEmptyDacl(platform, path, true);
    for (auto entry = entries.begin(); written.ok() && entry != entries.end(); ++entry)
        written =
            AddAccessEntry(engine, path, entry->trustee, entry->mask, entry->type, entry->flags);
    return written;
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
    // Ownership comes first so that the DACL as it stands can be read and,
    // should a later step fail, written back.
    SetOwner(engine, path, kAdministrators);
    auto previous = DaclSnapshot::Capture(engine.platform(), path);
    Status written = previous
                         ? WriteInheritanceAndEntries(engine, path, includeInheritable, entries)
                         : Status::Fail(err::kInvalidSecurityDescriptor);
    if (previous && !written.ok())
        previous->Restore(engine.platform());
    SetOwner(engine, path, owner);
    return written;
}

}  // namespace vm
