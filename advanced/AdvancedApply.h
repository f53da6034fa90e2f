// What Apply and OK of the Advanced Security Settings window write, and the
// sequence the window's worker runs: the rows become explicit entries (rows
// of one trustee and scope joined, an entry inside another absorbed), the
// object's whole new DACL is written once with the owner shown in the window
// set afterwards, and the object is read again for the rows that follow.
// Nothing here touches a window, so the sequence is tested without one.
#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "advanced/AceEntries.h"
#include "platform/Platform.h"
#include "security/Engine.h"
#include "security/Inheritance.h"

namespace vm {

// The explicit entries the rows stand for, in the order written: every
// allow entry (SYNCHRONIZE added), then every deny entry. Rows of one
// trustee (names compared exactly) and one scope are joined; a row whose
// rights and scope lie inside another's is absorbed; inherited rows and
// rows without rights give nothing.
std::vector<ExplicitEntry> ExplicitEntriesOfRows(std::vector<AceEntry> rows);

// What the window shows of an object: its entries (merged), the loader's
// result, and its owner by name and by SID.
struct AdvancedSnapshot {
    LoadedAceEntries loaded;
    std::wstring ownerName;
    std::optional<Bytes> ownerSid;  // nullopt when the owner cannot be read
};

// Reads the object (path), or the entries of a descriptor held in memory
// (descriptor non-null: a backup's; the owner still comes from the path).
AdvancedSnapshot ReadAdvancedSnapshot(Platform& platform, const std::wstring& path,
                                      const Bytes* descriptor, bool isContainer);

struct ApplyRequest {
    std::wstring path;
    bool isContainer = true;
    bool includeInheritable = false;  // box 1021
    std::vector<ExplicitEntry> entries;
    std::wstring owner;  // the owner shown in the window
    // The owner as it was read, when the user chose no other: put back by
    // SID, since a bare name may name another account or none.
    std::optional<Bytes> keepOwnerSid;
};

struct ApplyOutcome {
    // Stopped before anything was written (a Cancel that came in time).
    bool cancelled = false;
    Status written;
    // Entries not written because their trustee names no account (a SID
    // shown for an account that was deleted, a name typed wrong).
    std::vector<std::wstring> unresolved;
    AdvancedSnapshot reloaded;  // after a write that succeeded
};

// The worker's sequence. The stop token is tested at the safe points before
// the write; once the write has begun it is finished (one DACL write: the
// object is never left half-written, and never with a NULL DACL).
ApplyOutcome RunAdvancedApply(Engine& engine, const ApplyRequest& request, std::stop_token stop);

}  // namespace vm
