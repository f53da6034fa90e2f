// The one-click commands of the main window's tool bar: Allow Access, Read
// Only and Deny Access give one trustee one entry on every selected item
// (through a NULL DACL, so the entry is the only one and the DACL ends up
// protected); Change Owner makes one account the owner. Each item is done by
// the engine's own steps; the window collects the selected rows, asks the
// Options dialog and keeps its rows up to date through the callbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ItemFailures.h"
#include "resources/strings.h"
#include "security/AccessEvaluation.h"
#include "security/Engine.h"
#include "security/Rights.h"

namespace vm {

enum class QuickKind : int { kAllowAccess = 0, kReadOnly = 1, kDenyAccess = 2 };

struct QuickKindInfo {
    uint32_t mask;
    uint8_t aceType;  // 0 access allowed, 1 access denied
    std::wstring_view buttonText;
};

// GENERIC_READ | FILE_READ_ATTRIBUTES | FILE_EXECUTE | FILE_READ_EA.
inline constexpr uint32_t kQuickReadOnlyMask = 0x800000A8;

QuickKindInfo InfoOf(QuickKind kind);

// "Options - Read Only" and so on.
std::wstring OptionsCaption(std::wstring_view dialogCaption, QuickKind kind);

// Texts of the quick commands' messages (string table 188, 200, 202).
inline constexpr const wchar_t* kNtfsOnlyMessage = L"" STR_NTFS_ONLY;
inline constexpr const wchar_t* kSelectAtLeastOneMessage = L"" STR_SELECT_AT_LEAST_ONE;
// Message 188 with the path in place of "%s".
std::wstring RootDirectoryQuestion(const std::wstring& path);
// Why a quick command changed nothing: its trustee is not an account.
std::wstring TrusteeNotFoundMessage(const std::wstring& trustee);

struct QuickItem {
    std::wstring path;
    bool isFile = false;
};

// True when every item is a file: the scope then has no meaning.
bool AllFiles(const std::vector<QuickItem>& items);

struct QuickSetRequest {
    QuickKind kind = QuickKind::kAllowAccess;
    std::wstring trustee;
    uint8_t scope = 0;  // ACE flags for folders; files always get 0
};

enum class QuickItemResult {
    kDone,            // the item holds exactly the new entry
    kSkippedRoot,     // the user said No to the root question
    kDaclUnreadable,  // its DACL could not be read, so it was left alone
    kNullDaclFailed,  // the NULL DACL was not written; the DACL is unchanged
    kEntryFailed,     // the entry was not written; the previous DACL is back
    kRestoreFailed,   // the entry failed and the previous DACL could not be put back
};

struct QuickItemOutcome {
    QuickItemResult result = QuickItemResult::kDone;
    AccessLevel access = AccessLevel::kAllowed;  // evaluated unless skipped
    uint32_t error = 0;                          // the system's error of the step that failed
};

struct QuickSetOutcome {
    bool trusteeResolved = false;  // false: no item was touched
    std::vector<QuickItemOutcome> items;
};

// Called after each item that was not skipped, with its index and the
// current user's access to it, so that the row can be refreshed.
using QuickItemDone = std::function<void(size_t index, AccessLevel access)>;

// Checks that the trustee is an account (and tells the user when not, before
// touching anything), then for each item in order: the root question for a
// root; remember the owner; "Administrators" as owner; capture the DACL;
// NULL DACL; the entry; on a failed entry the captured DACL back; the access
// level; the remembered owner back.
QuickSetOutcome RunQuickSet(Engine& engine, const UserIdentity& user,
                            const std::vector<QuickItem>& items, const QuickSetRequest& request,
                            const QuickItemDone& itemDone);

// The items a quick set did not change as asked, with the system's reason;
// an item left with a NULL DACL (kRestoreFailed) is marked so.
std::vector<ItemFailure> QuickSetFailures(const std::vector<QuickItem>& items,
                                          const QuickSetOutcome& outcome);

// Called for each item with the owner name read back after the change.
using OwnerShown = std::function<void(size_t index, const std::wstring& ownerName)>;

// SetOwner on each item in order, then the owner name read again. The items
// whose owner was not written, with the system's reason.
std::vector<ItemFailure> RunChangeOwner(Engine& engine, const std::vector<QuickItem>& items,
                                        const std::wstring& accountName,
                                        const OwnerShown& ownerShown);

}  // namespace vm
