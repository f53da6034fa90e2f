#include "app/QuickCommands.h"

#include <algorithm>

#include "app/BrowsePaths.h"
#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {

namespace {

constexpr QuickKindInfo kKinds[] = {
    {access::kGenericAll, 0, L"Allow Access"},
    {kQuickReadOnlyMask, 0, L"Read Only"},
    {access::kGenericAll, 1, L"Deny Access"},
};

// Writes the NULL DACL and the single entry; a failed entry puts the DACL
// back as it was, so that no object is left with a NULL DACL (full access for
// everyone) or stripped of its entries.
QuickItemResult ReplaceDaclWithEntry(Engine& engine, const QuickItem& item,
                                     const QuickSetRequest& request) {
    Platform& platform = engine.platform();
    auto previous = DaclSnapshot::Capture(platform, item.path);
    if (!previous)
        return QuickItemResult::kDaclUnreadable;
    // Administrators own the object already (the caller's step), so the
    // write needs no second owner change.
    if (!WriteNullOrEmptyDacl(platform, item.path, true).ok())
        return QuickItemResult::kNullDaclFailed;
    const QuickKindInfo info = InfoOf(request.kind);
    const uint8_t flags = item.isFile ? 0 : request.scope;
    if (AddAccessEntry(engine, item.path, request.trustee, info.mask, info.aceType, flags))
        return QuickItemResult::kDone;
    return previous->Restore(platform).ok() ? QuickItemResult::kEntryFailed
                                            : QuickItemResult::kRestoreFailed;
}

QuickItemOutcome QuickSetItem(Engine& engine, const UserIdentity& user, const QuickItem& item,
                              const QuickSetRequest& request) {
    QuickItemOutcome outcome;
    const std::wstring previousOwner = GetOwnerName(engine.platform(), item.path);
    SetOwner(engine, item.path, kAdministrators);
    outcome.result = ReplaceDaclWithEntry(engine, item, request);
    outcome.access = GetAccessLevel(engine.platform(), user, item.path);
    // An owner that could not be read leaves "Administrators" in place.
    SetOwner(engine, item.path, previousOwner);
    return outcome;
}

}  // namespace

QuickKindInfo InfoOf(QuickKind kind) {
    return kKinds[static_cast<int>(kind)];
}

std::wstring OptionsCaption(std::wstring_view dialogCaption, QuickKind kind) {
    return std::wstring(dialogCaption) + L" - " + std::wstring(InfoOf(kind).buttonText);
}

std::wstring RootDirectoryQuestion(const std::wstring& path) {
    return path + L" is a Root directory ,do you want to change Security Settings for it?";
}

std::wstring TrusteeNotFoundMessage(const std::wstring& trustee) {
    if (trustee.empty())
        return L"No account was chosen, so no item was changed.";
    return L"The account \"" + trustee + L"\" could not be found, so no item was changed.";
}

bool AllFiles(const std::vector<QuickItem>& items) {
    return std::all_of(items.begin(), items.end(), [](const QuickItem& i) { return i.isFile; });
}

QuickSetOutcome RunQuickSet(Engine& engine, const UserIdentity& user,
                            const std::vector<QuickItem>& items, const QuickSetRequest& request,
                            const QuickItemDone& itemDone) {
    QuickSetOutcome outcome;
    if (request.trustee.empty() || !NameToSid(engine.platform(), request.trustee)) {
        engine.reporter().Tell(TrusteeNotFoundMessage(request.trustee), MessageIcon::kError);
        return outcome;
    }
    outcome.trusteeResolved = true;
    for (size_t i = 0; i < items.size(); ++i) {
        const QuickItem& item = items[i];
        if (PathIsRoot(item.path) && !engine.reporter().Ask(RootDirectoryQuestion(item.path))) {
            outcome.items.push_back({QuickItemResult::kSkippedRoot, AccessLevel::kAllowed});
            continue;
        }
        outcome.items.push_back(QuickSetItem(engine, user, item, request));
        if (itemDone)
            itemDone(i, outcome.items.back().access);
    }
    return outcome;
}

void RunChangeOwner(Engine& engine, const std::vector<QuickItem>& items,
                    const std::wstring& accountName, const OwnerShown& ownerShown) {
    for (size_t i = 0; i < items.size(); ++i) {
        SetOwner(engine, items[i].path, accountName);
        const std::wstring owner = GetOwnerName(engine.platform(), items[i].path);
        if (ownerShown)
            ownerShown(i, owner);
    }
}

}  // namespace vm
