// The permission vocabulary of the program: the fourteen named rights of a
// file-system object and the access-mask bits behind them, the widening of
// generic rights, the entry types, the seven "Apply to" scopes with the ACE
// flags behind them, and the texts of the "Inherited From" and access level
// columns. Plain logic over 32-bit masks and 8-bit flag bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "resources/resource.h"
#include "resources/strings.h"

namespace vm {

// ---- Access masks -----------------------------------------------------------

// Standard and generic access bits (ACCESS_MASK, MS-DTYP 2.4.3).
namespace access {
inline constexpr uint32_t kDelete = 0x10000;
inline constexpr uint32_t kReadControl = 0x20000;
inline constexpr uint32_t kWriteDac = 0x40000;
inline constexpr uint32_t kWriteOwner = 0x80000;
inline constexpr uint32_t kSynchronize = 0x100000;
inline constexpr uint32_t kGenericAll = 0x10000000;
inline constexpr uint32_t kGenericExecute = 0x20000000;
inline constexpr uint32_t kGenericWrite = 0x40000000;
inline constexpr uint32_t kGenericRead = 0x80000000;
inline constexpr uint32_t kFileDeleteChild = 0x40;
// The thirteen single rights together, without SYNCHRONIZE. Not a bit of its own.
inline constexpr uint32_t kFullControl = 0xF01FF;
// FILE_ALL_ACCESS, FILE_GENERIC_READ / WRITE / EXECUTE.
inline constexpr uint32_t kFileAllAccess = 0x1F01FF;
inline constexpr uint32_t kFileGenericRead = 0x120089;
inline constexpr uint32_t kFileGenericWrite = 0x120116;
inline constexpr uint32_t kFileGenericExecute = 0x1200A0;
}  // namespace access

// GENERIC_MAPPING.
struct GenericMapping {
    uint32_t read;
    uint32_t write;
    uint32_t execute;
    uint32_t all;
};
// The file mapping handed to the operating system (GetInheritanceSourceW).
inline constexpr GenericMapping kFileGenericMapping{
    access::kFileGenericRead, access::kFileGenericWrite, access::kFileGenericExecute,
    access::kFileAllAccess};

// ---- The fourteen rights ----------------------------------------------------

inline constexpr size_t kRightCount = 14;
inline constexpr size_t kFullControlRight = 0;
// "Delete subfolders and files": offered for containers only.
inline constexpr size_t kDeleteChildRight = 9;

struct RightInfo {
    size_t index;
    uint32_t bits;
};

// In the order of their display (string 185), which is also the row order of
// an expanded entry.
inline constexpr std::array<RightInfo, kRightCount> kRights{{
    {0, access::kFullControl},
    {1, 0x20},
    {2, 0x1},
    {3, 0x80},
    {4, 0x8},
    {5, 0x2},
    {6, 0x4},
    {7, 0x100},
    {8, 0x10},
    {9, access::kFileDeleteChild},
    {10, access::kDelete},
    {11, access::kReadControl},
    {12, access::kWriteDac},
    {13, access::kWriteOwner},
}};

// The names of the rights in their order, as string resource 185 holds them
// ("Full control;...;").
inline constexpr std::wstring_view kRightNames = L"" STR_RIGHT_NAMES;
std::wstring RightNamesResourceText();
// The name of right `index` ("Full control" for 0); empty past the last.
std::wstring RightName(size_t index);

// Whether a right has a row for this kind of object (right 9 only for
// containers).
bool RightApplies(size_t index, bool isContainer);

using RightSet = std::array<bool, kRightCount>;

// Which rights a mask shows. "Full control" and every single right when the
// mask holds all of 0xF01FF; otherwise the single rights whose bit is set.
// For a non-container, right 9 is always false.
RightSet RightsFromMask(uint32_t mask, bool isContainer);
// The mask the rows compose: exactly 0xF01FF when "Full control" is set,
// else the OR of the set single rows (row 9 only for containers). Never
// holds SYNCHRONIZE, generic or unnamed bits.
uint32_t MaskFromRights(const RightSet& rights, bool isContainer);
// Each generic bit present ORs in its specific bits; the generic bit stays.
// GENERIC_EXECUTE widens to 0x200A9, not the 0x200A0 of the file mapping.
uint32_t WidenGenericRights(uint32_t mask);

// ---- Entry types --------------------------------------------------------------

inline constexpr std::wstring_view kAceTypeTexts = L"" STR_ACE_TYPES;  // string 186
// "Allow" for 0, "Deny" for 1, empty otherwise.
std::wstring AceTypeText(uint8_t type);

// ---- Scopes -----------------------------------------------------------------

// What an entry on a folder reaches.
namespace target {
inline constexpr uint8_t kFolder = 0x1;      // the folder itself
inline constexpr uint8_t kSubfolders = 0x2;  // its subfolders
inline constexpr uint8_t kFiles = 0x4;       // the files in it
}  // namespace target

struct ScopeInfo {
    int position;  // in the "ApplyTo" menu and the Options dialog's radios
    std::wstring_view text;
    uint32_t commandId;
    uint32_t radioId;
    uint8_t value;    // ACE flags without INHERITED_ACE
    uint8_t targets;  // target:: bits
};

inline constexpr size_t kScopeCount = 7;
inline constexpr std::array<ScopeInfo, kScopeCount> kScopes{{
    {0, L"" STR_SCOPE_THIS_FOLDER_ONLY, ID_SCOPE_THIS_FOLDER_ONLY, IDC_OPTIONS_SCOPE_FIRST + 0, 0,
     target::kFolder},
    {1, L"" STR_SCOPE_FOLDER_SUBFOLDERS_FILES, ID_SCOPE_FOLDER_SUBFOLDERS_FILES,
     IDC_OPTIONS_SCOPE_FIRST + 1, 3, target::kFolder | target::kSubfolders | target::kFiles},
    {2, L"" STR_SCOPE_FOLDER_SUBFOLDERS, ID_SCOPE_FOLDER_SUBFOLDERS, IDC_OPTIONS_SCOPE_FIRST + 2, 2,
     target::kFolder | target::kSubfolders},
    {3, L"" STR_SCOPE_FOLDER_FILES, ID_SCOPE_FOLDER_FILES, IDC_OPTIONS_SCOPE_FIRST + 3, 1,
     target::kFolder | target::kFiles},
    {4, L"" STR_SCOPE_SUBFOLDERS_FILES_ONLY, ID_SCOPE_SUBFOLDERS_FILES_ONLY,
     IDC_OPTIONS_SCOPE_FIRST + 4, 11, target::kSubfolders | target::kFiles},
    {5, L"" STR_SCOPE_SUBFOLDERS_ONLY, ID_SCOPE_SUBFOLDERS_ONLY, IDC_OPTIONS_SCOPE_FIRST + 5, 10,
     target::kSubfolders},
    {6, L"" STR_SCOPE_FILES_ONLY, ID_SCOPE_FILES_ONLY, IDC_OPTIONS_SCOPE_LAST, 9, target::kFiles},
}};

// The scope value of an entry: its flags with INHERITED_ACE cleared.
inline constexpr uint8_t ScopeValueOfFlags(uint8_t aceFlags) {
    return static_cast<uint8_t>(aceFlags & 0xEF);
}

// The scope with that value, or nullptr for any value outside the seven.
const ScopeInfo* FindScope(uint8_t scopeValue);
// Its text, or empty (NO_PROPAGATE_INHERIT_ACE, INHERIT_ONLY_ACE alone, ...).
std::wstring ScopeText(uint8_t scopeValue);
// Commands 32779 to 32785 and positions 0 to 6; nullopt outside.
std::optional<uint8_t> ScopeFromCommand(uint32_t commandId);
std::optional<uint8_t> ScopeFromPosition(int position);
// True when both values are scopes and inner's targets lie within outer's.
bool ScopeCovers(uint8_t outer, uint8_t inner);
// (a AND b) OR ((a OR b) AND 3): OI and CI of either, other bits (IO) only
// when both have them. For two scopes, the scope reaching both target sets.
uint8_t ScopeUnion(uint8_t a, uint8_t b);

// ---- "Inherited From" -------------------------------------------------------

inline constexpr std::wstring_view kParentObject = L"" STR_PARENT_OBJECT;  // string 197
// Empty for an explicit entry; for an inherited one the ancestor with a
// trailing backslash, or "Parent Object" when the system names none.
std::wstring InheritedFromText(bool inherited, std::wstring_view ancestor);

// ---- Access level of the current user ------------------------------------------

enum class AccessLevel : uint32_t { kAllowed = 0, kReadOnly = 1, kDenied = 2 };
inline constexpr std::wstring_view kAccessLevelTexts = L"" STR_ACCESS_LEVELS;  // string 187
std::wstring AccessLevelText(AccessLevel level);

// Item `position` of a ';'-separated resource string, or empty.
std::wstring ResourceListItem(std::wstring_view list, size_t position);

}  // namespace vm
