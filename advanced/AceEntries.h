// The entry rows of the Advanced Security Settings list: one AceEntry per
// trustee, entry type, scope and inherited state, read from a DACL (of a path
// or of a descriptor in memory), merged per trustee, shown with their texts,
// and written back as allow and deny entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "resources/strings.h"
#include "security/Engine.h"

namespace vm {

struct AceEntry {
    // Account name of the trustee (the SID string when it does not resolve);
    // a name chosen in the dialog may carry a prefix ("NT Service\...").
    std::wstring name;
    int32_t inherited = 0;  // 1 when the ACE carried INHERITED_ACE
    uint8_t type = 0;       // 0 allow, 1 deny
    uint8_t scope = 0;      // ACE flags without INHERITED_ACE
    uint32_t allow = 0;     // the mask of an allow entry
    uint32_t deny = 0;      // the mask of a deny entry
    // The "Inherited From" text while the entry is being read; rows keep it
    // in their own column, not in their copy of the entry.
    std::wstring inheritedFrom;

    bool operator==(const AceEntry&) const = default;
};

// LoadAceEntries results besides a count.
inline constexpr int kAcesUnreadable = -1;  // the descriptor cannot be read
inline constexpr int kAcesNoDacl = -2;      // no DACL, a NULL DACL, or not a descriptor

// String 194.
inline constexpr const wchar_t* kCannotViewPermissionsText = L"" STR_NO_PERMISSION_TO_VIEW;
// String 195.
inline constexpr const wchar_t* kNullDaclText = L"" STR_NULL_DACL_TEXT;
// String 196.
inline constexpr const wchar_t* kEmptyDaclText = L"" STR_EMPTY_DACL_TEXT;

struct LoadedAceEntries {
    int result = 0;  // the number of entries read, or kAcesUnreadable / kAcesNoDacl
    bool isContainer = false;
    std::vector<AceEntry> entries;  // in DACL order
};

// Reads the DACL of path (GetFileSecurityW, DACL only) or, when descriptor
// is given, that self-relative descriptor instead (checked before use; a
// malformed one counts as having no DACL). Generic rights are widened; the
// "Inherited From" values come from GetInheritanceSourceW for a path and are
// "Parent Object" for a descriptor in memory. Entries that are neither allow
// nor deny entries (object and callback types) get no row and are not
// counted, so that they are never written back with rights they lacked.
LoadedAceEntries LoadAceEntries(Platform& platform, const std::wstring& path,
                                const Bytes* descriptor, bool isContainer);
// The same read from a path whose kind the caller knows already (a folder
// listing told it), without asking the file system again.
LoadedAceEntries LoadAceEntriesOfKnownKind(Platform& platform, const std::wstring& path,
                                           bool isContainer);

// Joins records of one trustee, type and inherited state: equal rights
// (low 20 bits) or equal scopes merge, and so does a record whose scope and
// rights lie inside another's. Survivors keep their order.
void MergeAceEntries(std::vector<AceEntry>& entries);

// The text the list shows when it has no rows, for a LoadAceEntries result.
std::wstring EmptyListText(int loadResult);

// An entry added in the dialog: allow "Full control" to this folder,
// subfolders and files.
AceEntry NewAceEntry(const std::wstring& name);

// The name as the row shows it: everything up to the last backslash removed.
std::wstring DisplayName(const std::wstring& name);

// Writes the explicit entries (in row order, rows closed) to the path's DACL
// with AddAccessEntry: first every allow entry with SYNCHRONIZE added, then
// every deny entry as it is. Entries of one trustee (names compared exactly)
// and one scope are joined; an entry whose scope and rights lie inside
// another's is absorbed. Inherited entries are never written. Returns how
// many entries were written.
int ApplyAceEntries(Engine& engine, const std::wstring& path, std::vector<AceEntry> entries);

}  // namespace vm
