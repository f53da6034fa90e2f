#include "app/QuickCommands.h"

#include <algorithm>

#include "app/BrowsePaths.h"
#include "app/Texts.h"
#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {

namespace {

constexpr QuickKindInfo kKinds[] = {
    {access::kGenericAll, 0, L"" STR_BUTTON_ALLOW_ACCESS},
    {kQuickReadOnlyMask, 0, L"" STR_BUTTON_READ_ONLY},
    {access::kGenericAll, 1, L"" STR_BUTTON_DENY_ACCESS},
};

QuickItemOutcome Failed(QuickItemResult result, Status status) {
    return {result, AccessLevel::kAllowed, status.error};
}

// Writes the NULL DACL and the single entry; a failed entry puts the DACL
// back as it was, so that no object is left with a NULL DACL (full access for
// everyone) or stripped of its entries.
QuickItemOutcome ReplaceDaclWithEntry(Engine& engine, const QuickItem& item,
                                      const QuickSetRequest& request) {
    Platform& platform = engine.platform();
    auto previous = DaclSnapshot::Capture(platform, item.path);
    if (!previous)
        return Failed(QuickItemResult::kDaclUnreadable, previous.status());
    // Administrators own the object already (the caller's step), so the
    // write needs no second owner change.
    if (Status opened = WriteNullOrEmptyDacl(platform, item.path, true); !opened.ok())
        return Failed(QuickItemResult::kNullDaclFailed, opened);
    const QuickKindInfo info = InfoOf(request.kind);
    const uint8_t flags = item.isFile ? 0 : request.scope;
    const Status added =
        AddAccessEntry(engine, item.path, request.trustee, info.mask, info.aceType, flags);
    if (added.ok())
        return {};
    return Failed(previous->Restore(platform).ok() ? QuickItemResult::kEntryFailed
                                                   : QuickItemResult::kRestoreFailed,
                  added);
}

QuickItemOutcome QuickSetItem(Engine& engine, const UserIdentity& user, const QuickItem& item,
                              const QuickSetRequest& request) {
    // The previous owner goes back by SID; one that could not be read leaves
    // "Administrators" in place.
    const std::optional<Sid> previousOwner = TakeOwnership(engine, item.path);
    QuickItemOutcome outcome = ReplaceDaclWithEntry(engine, item, request);
    outcome.access = GetAccessLevel(engine.platform(), user, item.path, &engine.names());
    GiveOwnerBack(engine, item.path, previousOwner);
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
    return FillPlaceholders(L"" STR_ROOT_DIRECTORY_QUESTION, {path});
}

std::wstring TrusteeNotFoundMessage(const std::wstring& trustee) {
    if (trustee.empty())
        return L"" STR_NO_ACCOUNT_CHOSEN;
    return FillPlaceholders(L"" STR_ACCOUNT_NOT_FOUND, {trustee});
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

std::vector<ItemFailure> QuickSetFailures(const std::vector<QuickItem>& items,
                                          const QuickSetOutcome& outcome) {
    std::vector<ItemFailure> failures;
    for (size_t i = 0; i < outcome.items.size() && i < items.size(); ++i) {
        const QuickItemResult result = outcome.items[i].result;
        if (result == QuickItemResult::kDone || result == QuickItemResult::kSkippedRoot)
            continue;
        failures.push_back(
            {items[i].path, outcome.items[i].error, result == QuickItemResult::kRestoreFailed});
    }
    return failures;
}

std::vector<ItemFailure> RunChangeOwner(Engine& engine, const std::vector<QuickItem>& items,
                                        const std::wstring& accountName,
                                        const OwnerShown& ownerShown) {
    std::vector<ItemFailure> failures;
    for (size_t i = 0; i < items.size(); ++i) {
        const Status written = SetOwner(engine, items[i].path, accountName);
        if (!written.ok())
            failures.push_back({items[i].path, written.error});
        // GetOwnerName's text, through the process-wide names.
        const std::optional<Sid> ownerSid = ReadOwnerSid(engine.platform(), items[i].path);
        const std::wstring owner =
            ownerSid ? engine.names().BareName(engine.platform(), *ownerSid) : std::wstring();
        if (ownerShown)
            ownerShown(i, owner);
    }
    return failures;
}

}  // namespace vm
