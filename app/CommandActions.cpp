#include "app/CommandActions.h"

#include "app/BrowsePaths.h"
#include "app/ItemFailures.h"
#include "app/Texts.h"
#include "app/TrusteeMenu.h"
#include "app/ViewMode.h"
#include "bookmarks/BookmarkAdding.h"
#include "resources/strings.h"
#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/Rights.h"
#include "security/SecurityAccess.h"

namespace vm {

namespace {

// The quick commands refuse while the "Non-NTFS Volume" indicator shows.
bool RefuseOnNonNtfs(CommandContext& context) {
    if (!context.state.NonNtfsIndicatorVisible())
        return false;
    context.app.reporter().Tell(kNtfsOnlyMessage, MessageIcon::kError);
    return true;
}

bool RefuseEmptySelection(CommandContext& context) {
    if (!context.state.selection.empty())
        return false;
    context.app.reporter().Tell(kSelectAtLeastOneMessage, MessageIcon::kError);
    return true;
}

std::vector<std::wstring> SelectedPaths(const MainWindowState& state) {
    std::vector<std::wstring> paths;
    for (const SelectedItem& item : state.selection)
        paths.push_back(item.path);
    return paths;
}

std::vector<QuickItem> QuickItemsOf(const MainWindowState& state) {
    std::vector<QuickItem> items;
    for (const SelectedItem& item : state.selection)
        items.push_back({item.path, item.IsFile()});
    return items;
}

void ReportFailures(CommandContext& context, const std::vector<ItemFailure>& failures) {
    ReportItemFailures(context.app.platform(), context.app.reporter(), failures);
}

void QuickSet(CommandContext& context, QuickKind kind) {
    if (RefuseOnNonNtfs(context) || RefuseEmptySelection(context))
        return;
    const std::vector<QuickItem> items = QuickItemsOf(context.state);
    const auto options = context.window.AskQuickSetOptions(kind, AllFiles(items));
    if (!options)
        return;
    QuickSetOutcome outcome;
    {
        const auto pause = context.window.PauseListDrawing();
        outcome = RunQuickSet(context.app.engine, context.app.user, items,
                              {kind, options->trustee, options->scope},
                              [&](size_t index, AccessLevel access) {
                                  const int row = context.state.selection[index].row;
                                  context.window.StoreRowAccess(row, access);
                                  context.window.RefreshRow(row);
                              });
    }
    ReportFailures(context, QuickSetFailures(items, outcome));
}

// The account a trustee menu command names for Change Owner; empty for none.
std::wstring OwnerAccountOf(CommandContext& context, uint32_t command) {
    if (command == ID_TRUSTEE_ADVANCED)
        return context.window.PickAccount();
    return TrusteeNameForCommand(command, TrusteeMenuUser::kChangeOwner,
                                 context.app.user.CurrentUserName)
        .value_or(std::wstring());
}

}  // namespace

void ShowAbout(CommandContext& context) {
    context.window.ShowAboutBox();
}

void Exit(CommandContext& context) {
    context.window.CloseMainWindow();
}

void AllowAccess(CommandContext& context) {
    QuickSet(context, QuickKind::kAllowAccess);
}

void GrantReadOnly(CommandContext& context) {
    QuickSet(context, QuickKind::kReadOnly);
}

void DenyAccess(CommandContext& context) {
    QuickSet(context, QuickKind::kDenyAccess);
}

void ChangeOwner(CommandContext& context) {
    if (RefuseOnNonNtfs(context))
        return;
    const uint32_t command = context.window.ChooseFromTrusteeMenu();
    if (!IsTrusteeCommand(command))
        return;
    const std::wstring account = OwnerAccountOf(context, command);
    if (account.empty() || RefuseEmptySelection(context))
        return;
    std::vector<ItemFailure> failures;
    {
        const auto pause = context.window.PauseListDrawing();
        failures = RunChangeOwner(context.app.engine, QuickItemsOf(context.state), account,
                                  [&](size_t index, const std::wstring& owner) {
                                      context.window.ShowRowOwner(
                                          context.state.selection[index].row, owner);
                                  });
    }
    ReportFailures(context, failures);
}

void PasteSecurity(CommandContext& context) {
    const CopyBuffer& buffer = context.app.copyBuffer;
    if (!buffer.CopiedDescriptor || buffer.CopiedOwnerName.empty())
        return;  // nothing copied: the menu entry is off, the key does nothing
    std::vector<ItemFailure> failures;
    {
        const auto pause = context.window.PauseListDrawing();
        for (const SelectedItem& item : context.state.selection) {
            const Status pasted = PasteSecuritySettings(context.app.engine, buffer, item.path);
            if (!pasted.ok())
                failures.push_back({item.path, pasted.error});
            context.window.RefreshRow(item.row);
        }
    }
    ReportFailures(context, failures);
}

void CopySecurity(CommandContext& context) {
    if (context.state.selection.size() != 1)
        return;  // copies from one item only; the key and the menu say so already
    const SelectedItem& item = context.state.selection.front();
    Platform& platform = context.app.platform();
    if (!IsOnNtfs(platform, item.path)) {
        context.app.reporter().Tell(L"" STR_NTFS_ONLY, MessageIcon::kError);
        return;
    }
    CopyBuffer& buffer = context.app.copyBuffer;
    if (CopySecuritySettings(context.app.engine, buffer, item.path) == 0) {
        // A read that failed may leave the owner without a DACL: the
        // indicator must not promise a copy that Paste cannot write.
        if (!buffer.CopiedDescriptor)
            context.window.ShowCopySource(L"");
        context.app.reporter().Tell(FillPlaceholders(L"" STR_COPY_NOT_READ, {item.path}),
                                    MessageIcon::kError);
        return;
    }
    context.window.ShowCopySource(item.path);
}

ClearDaclQuestion ClearDaclQuestionFor(bool nullDacl) {
    const std::wstring_view pieces = L"" STR_CLEAR_DACL_PIECES;
    return {ResourceListItem(pieces, 0),
            ResourceListItem(pieces, nullDacl ? 1 : 2) + ResourceListItem(pieces, 3)};
}

void ClearDacl(CommandContext& context) {
    const bool nullDacl = context.commandId == ID_ITEM_NULL_DACL;
    const ClearDaclQuestion question = ClearDaclQuestionFor(nullDacl);
    if (!context.window.AskWarning(question.caption, question.text))
        return;
    std::vector<ItemFailure> failures;
    {
        const auto pause = context.window.PauseListDrawing();
        for (const SelectedItem& item : context.state.selection) {
            const Status written = SetNullOrEmptyDacl(context.app.engine, item.path, nullDacl);
            if (!written.ok())
                failures.push_back({item.path, written.error});
        }
        for (const SelectedItem& item : context.state.selection)
            context.window.RefreshRow(item.row);
    }
    ReportFailures(context, failures);
}

bool IsDriveRootItem(const SelectedItem& item) {
    const std::wstring& path = item.path;
    const bool rootPath =
        (path.size() == 2 || (path.size() == 3 && path[2] == L'\\')) && path[1] == L':';
    return rootPath || item.kind == kKindDriveRoot;
}

std::vector<ItemFailure> ResetItemsToInherited(Engine& engine,
                                               const std::vector<SelectedItem>& items,
                                               std::stop_token stop,
                                               const std::function<void(int row)>& refreshRow) {
    std::vector<ItemFailure> failures;
    for (const SelectedItem& item : items) {
        if (stop.stop_requested())
            break;
        if (IsDriveRootItem(item))
            continue;
        // Taking ownership first lets the DACL be written whatever it
        // grants; a refused owner change still lets the reset try.
        (void)SetOwner(engine, item.path, kAdministrators);
        const Status reset = ResetToInherited(engine, item.path);
        if (!reset.ok())
            failures.push_back({item.path, reset.error});
        refreshRow(item.row);
    }
    return failures;
}

void ResetInheritance(CommandContext& context) {
    std::vector<ItemFailure> failures;
    {
        const auto pause = context.window.PauseListDrawing();
        context.window.RunBehindWaitWindow([&](std::stop_token stop) {
            failures = ResetItemsToInherited(context.app.engine, context.state.selection, stop,
                                             [&](int row) { context.window.RefreshRow(row); });
        });
    }
    ReportFailures(context, failures);
}

void ReplaceChildren(CommandContext& context) {
    if (context.state.selection.empty())
        return;
    const SelectedItem& first = context.state.selection.front();
    if (first.IsFile())
        return;  // files have no children
    context.window.ReplaceChildPermissions(first.path);
}

void AddItems(CommandContext& context) {
    const std::optional<PickedItems> picked = context.window.PickFilesAndFolders();
    if (!picked || picked->names.empty())
        return;
    if (!IsOnNtfs(context.app.platform(), picked->folder)) {
        context.app.reporter().Tell(L"" STR_NTFS_ONLY, MessageIcon::kError);
        return;
    }
    context.window.AddToEditList(PickedPaths(*picked));
}

void ShowProperties(CommandContext& context) {
    // The demonstration machine's items are not on any disk the shell sees.
    if (context.app.demonstration) {
        context.app.reporter().Tell(L"" STR_DEMO_CANNOT_OPEN, MessageIcon::kInformation);
        return;
    }
    const std::vector<std::wstring> paths = SelectedPaths(context.state);
    if (!paths.empty())
        context.window.ShowShellProperties(paths);
}

void OpenAdvanced(CommandContext& context) {
    if (context.state.selection.size() != 1) {
        context.app.reporter().Tell(L"" STR_SELECT_ONLY_ONE, MessageIcon::kError);
        return;
    }
    if (RefuseOnNonNtfs(context))
        return;
    context.window.RunAdvancedDialog(context.state.selection.front().path);
    const auto pause = context.window.PauseListDrawing();
    for (const SelectedItem& item : context.state.selection)
        context.window.RefreshRow(item.row);
}

void OpenSelected(CommandContext& context) {
    // The demonstration machine's items are not on any disk the shell sees.
    if (context.app.demonstration) {
        context.app.reporter().Tell(L"" STR_DEMO_CANNOT_OPEN, MessageIcon::kInformation);
        return;
    }
    context.window.OpenSelectedRows();
}

void RemoveSelected(CommandContext& context) {
    // Only the gathered list loses rows; a folder's listing keeps its own.
    if (context.state.EditListVisible())
        context.window.RemoveSelectedRows();
}

void SendToEditView(CommandContext& context) {
    if (!context.state.BrowseListVisible())
        return;
    for (const SelectedItem& item : context.state.selection)
        context.window.AppendToEditList(item.path);
}

void SelectAll(CommandContext& context) {
    context.window.SelectAllRows();
}

void ShowEditMode(CommandContext& context) {
    context.window.SetViewMode(ViewMode::kEdit);
}

void ShowBrowseMode(CommandContext& context) {
    context.window.SetViewMode(ViewMode::kBrowse);
}

void SwitchViewMode(CommandContext& context) {
    context.window.SetViewMode(OtherViewMode(context.state.viewMode));
}

// F5 asks for everything afresh: account names too, so that a renamed or
// deleted account shows as it is now (the names are otherwise kept for the
// whole process, failures included).
void RefreshView(CommandContext& context) {
    context.app.engine.names().Forget();
    context.window.Refresh();
}

void GoBack(CommandContext& context) {
    context.window.GoBack();
}

void NavigateToTypedPath(CommandContext& context) {
    context.window.NavigateToTypedPath();
}

void ShowMainMenu(CommandContext& context) {
    context.window.ShowMainMenu();
}

void BookmarkItems(CommandContext& context) {
    const std::optional<BookmarkMode> mode = BookmarkModeOfCommand(context.commandId);
    if (!mode)
        return;
    const auto name = context.window.AskBookmarkName(BookmarkPrompt(BookmarkMenuText(*mode)));
    if (!name)
        return;
    const std::vector<std::wstring> allPaths = *mode == BookmarkMode::kAllItems
                                                   ? context.window.CurrentListPaths()
                                                   : std::vector<std::wstring>();
    const std::wstring paths =
        BuildBookmarkPaths(*mode, BookmarkedPaths(*mode, context.state.currentFolder,
                                                  SelectedPaths(context.state), allPaths));
    const std::wstring& file = context.app.files.bookmarkFile;
    const Status added = AddBookmark(file, static_cast<uint8_t>(*mode), *name, paths);
    if (!added.ok()) {
        // The bookmark is not kept: say so rather than lose it without a word.
        context.app.reporter().Tell(
            FillPlaceholders(L"" STR_BOOKMARK_NOT_SAVED,
                             {file, context.app.platform().ErrorText(added.error)}),
            MessageIcon::kError);
        return;
    }
    context.window.BookmarksChanged();
}

void ShowBookmarkManager(CommandContext& context) {
    context.window.ShowBookmarkManager();
}

void OpenBookmarkOfCommand(CommandContext& context) {
    const std::wstring& file = context.app.files.bookmarkFile;
    const auto index = BookmarkFromCommand(context.commandId, LoadBookmarkIndex(file).count());
    if (!index) {
        // The file lost it since the menu was made (another copy rewrote it).
        context.app.reporter().Tell(L"" STR_BOOKMARK_MISSING, MessageIcon::kInformation);
        context.window.BookmarksChanged();
        return;
    }
    const OpenedBookmark opened = OpenBookmark(file, *index);
    if (opened.viewMode == kBrowseMode) {
        context.window.BrowseTo(opened.paths.empty() ? std::wstring() : opened.paths.front());
        context.window.SetViewMode(ViewMode::kBrowse);
        return;
    }
    context.window.ShowInEditList(opened.paths);
    context.window.SetViewMode(ViewMode::kEdit);
}

void CheckForUpdates(CommandContext& context) {
    context.window.StartUpdateCheck();
}

void ResetDemonstrationMachine(CommandContext& context) {
    DemonstrationMachine* demonstration = context.app.demonstration;
    if (!demonstration || !context.app.reporter().Ask(L"" STR_DEMO_RESET_QUESTION) ||
        !demonstration->ResetToShipped(context.app.reporter()))
        return;
    // The user, the groups and the volumes are the shipped machine's now.
    ReadPlatformState(context.app);
    context.app.user.CurrentUserGroups =
        BuildCurrentUserGroups(context.app.platform(), context.app.user.CurrentUserName);
    context.window.Refresh();
}

}  // namespace vm
