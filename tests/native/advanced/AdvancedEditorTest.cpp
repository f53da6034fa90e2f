// The Advanced Security Settings window's decisions without the window: the
// commands on the rows, the inheritance question's answers, what is enabled
// when, the entry clipboard, import, and the apply's life.
#include <gtest/gtest.h>

#include "advanced/AdvancedEditor.h"
#include "resources/resource.h"
#include "security/Rights.h"

namespace vm {
namespace {

AceEntry Entry(const std::wstring& name, uint32_t allow, uint8_t scope = 3,
               const std::wstring& inheritedFrom = L"") {
    AceEntry entry{name, inheritedFrom.empty() ? 0 : 1, 0, scope, allow, 0, inheritedFrom};
    return entry;
}

// Bob (explicit), Users and SYSTEM (inherited from C:\).
AdvancedSnapshot Snapshot() {
    AdvancedSnapshot snapshot;
    snapshot.loaded.result = 3;
    snapshot.loaded.isContainer = true;
    snapshot.loaded.entries = {Entry(L"Bob", 0x1F01FF), Entry(L"Users", 0x1200A9, 3, L"C:\\"),
                               Entry(L"SYSTEM", 0x1F01FF, 3, L"C:\\")};
    snapshot.ownerName = L"Bob";
    snapshot.ownerSid = Bytes{1, 2, 3};
    return snapshot;
}

// Records the listener's calls as the list control would apply them.
class CountingList final : public AceTreeListener {
  public:
    void RowsInserted(size_t at, size_t count) override {
        EXPECT_LE(at, rows);
        rows += count;
    }
    void RowsRemoved(size_t at, size_t count) override {
        EXPECT_LE(at + count, rows);
        rows -= count;
    }
    size_t rows = 0;
};

class AdvancedEditorTest : public ::testing::Test {
  protected:
    AdvancedEditorTest() : editor(L"C:\\Data", false, false) {
        editor.rows().SetListener(&list);
        editor.Show(Snapshot());
    }
    ~AdvancedEditorTest() override { EXPECT_EQ(list.rows, editor.rows().RowCount()); }

    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (size_t row = 0; row < editor.rows().RowCount(); ++row) {
            if (const AceEntry* entry = editor.rows().EntryAt(row))
                names.push_back(entry->name);
        }
        return names;
    }

    CountingList list;
    AdvancedEditor editor;
};

TEST_F(AdvancedEditorTest, OpeningShowsRowsOwnerAndInheritanceWithOkAndApplyOff) {
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Bob", L"Users", L"SYSTEM"}));
    EXPECT_TRUE(editor.inheritChecked());
    EXPECT_EQ(editor.owner(), L"Bob");
    EXPECT_TRUE(editor.emptyText().empty());
    EXPECT_FALSE(editor.modified());
    const AdvancedControlStates states = editor.ControlStates();
    EXPECT_FALSE(states.ok.enabled);
    EXPECT_FALSE(states.apply.enabled);
    EXPECT_TRUE(states.add.enabled && states.changeOwner.enabled && states.inherit.enabled);
    EXPECT_TRUE(states.replaceChildren.visible);
}

TEST_F(AdvancedEditorTest, EmptyListTextsFollowWhatWasRead) {
    AdvancedSnapshot nullDacl;
    nullDacl.loaded.result = kAcesNoDacl;
    editor.Show(nullDacl);
    EXPECT_EQ(editor.rows().RowCount(), 0u);
    EXPECT_EQ(editor.emptyText(), kNullDaclText);
    EXPECT_TRUE(editor.inheritChecked());  // the loader never clears the box
    AdvancedSnapshot unreadable;
    unreadable.loaded.result = kAcesUnreadable;
    editor.Show(unreadable);
    EXPECT_EQ(editor.emptyText(), kCannotViewPermissionsText);
}

TEST_F(AdvancedEditorTest, AccountsAddOpenedEntriesOrChangeTheShownOwner) {
    editor.BeginAccountChoice(MenuMode::kAddEntry);
    EXPECT_EQ(editor.ChooseAccount(L"Everyone"), std::optional<size_t>(0));
    EXPECT_EQ(editor.menuMode(), MenuMode::kAddEntry);
    EXPECT_EQ(*editor.rows().EntryAt(0), NewAceEntry(L"Everyone"));
    EXPECT_TRUE(editor.rows().IsOpened(0));
    EXPECT_TRUE(editor.modified());

    editor.BeginAccountChoice(MenuMode::kChangeOwner);
    EXPECT_EQ(editor.ChooseAccount(L"Everyone"), std::nullopt);
    EXPECT_EQ(editor.owner(), L"Everyone");
    EXPECT_EQ(editor.menuMode(), MenuMode::kAddEntry);  // the next '+' adds again
    // The owner chosen by the user goes by name; the one read went by SID.
    EXPECT_FALSE(editor.BeginApply().keepOwnerSid.has_value());
}

TEST_F(AdvancedEditorTest, AnEmptyPickedNameChangesNothing) {
    editor.BeginAccountChoice(MenuMode::kChangeOwner);
    EXPECT_EQ(editor.ChooseAccount(L""), std::nullopt);
    EXPECT_EQ(editor.owner(), L"Bob");
    EXPECT_FALSE(editor.modified());
    EXPECT_EQ(editor.menuMode(), MenuMode::kAddEntry);
    EXPECT_EQ(editor.BeginApply().keepOwnerSid, (Bytes{1, 2, 3}));
}

TEST_F(AdvancedEditorTest, RemoveAndScopeTouchOnlySelectedExplicitEntryRows) {
    editor.rows().ToggleEntry(0);                // Bob opened: rows 1..14 are its rights
    EXPECT_FALSE(editor.RemoveEntries({1, 2}));  // right rows only
    EXPECT_FALSE(editor.SetScope({15, 16}, ID_SCOPE_FILES_ONLY));  // inherited rows
    EXPECT_FALSE(editor.modified());
    EXPECT_TRUE(editor.SetScope({0, 15}, ID_SCOPE_FILES_ONLY));
    EXPECT_EQ(editor.rows().EntryAt(0)->scope, 9);
    EXPECT_EQ(editor.rows().EntryAt(15)->scope, 3);
    EXPECT_TRUE(editor.RemoveEntries({0, 3, 15}));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Users", L"SYSTEM"}));
    EXPECT_TRUE(editor.modified());
}

TEST_F(AdvancedEditorTest, CreatingAnEmptyDaclClearsEveryRowAndTheBox) {
    editor.CreateEmptyDacl();
    EXPECT_EQ(editor.rows().RowCount(), 0u);
    EXPECT_FALSE(editor.inheritChecked());
    EXPECT_EQ(editor.emptyText(), kEmptyDaclText);
    const ApplyRequest request = editor.BeginApply();
    EXPECT_FALSE(request.includeInheritable);
    EXPECT_TRUE(request.entries.empty());
}

TEST_F(AdvancedEditorTest, CheckingTheBoxOrClearingItWithoutInheritedRowsAsksNothing) {
    EXPECT_FALSE(editor.InheritClicked(true));
    EXPECT_TRUE(editor.modified());
    AdvancedEditor plain(L"C:\\Data", false, false);
    AdvancedSnapshot explicitOnly;
    explicitOnly.loaded.result = 1;
    explicitOnly.loaded.entries = {Entry(L"Bob", 0x1F01FF)};
    plain.Show(explicitOnly);
    EXPECT_FALSE(plain.inheritChecked());
    EXPECT_FALSE(plain.InheritClicked(false));
}

TEST_F(AdvancedEditorTest, InheritanceQuestionConvertRemoveOrLeave) {
    editor.rows().ToggleEntry(1);  // Users opened: its right rows are inherited too
    ASSERT_TRUE(editor.InheritClicked(false));

    AdvancedEditor remove(L"C:\\Data", false, false);
    remove.Show(Snapshot());
    remove.rows().ToggleEntry(1);
    ASSERT_TRUE(remove.InheritClicked(false));
    remove.AnswerInheritanceQuestion(InheritanceChoice::kRemove);
    EXPECT_EQ(remove.rows().RowCount(), 1u);
    EXPECT_EQ(remove.rows().EntryAt(0)->name, L"Bob");

    AdvancedEditor leave(L"C:\\Data", false, false);
    leave.Show(Snapshot());
    ASSERT_TRUE(leave.InheritClicked(false));
    leave.AnswerInheritanceQuestion(InheritanceChoice::kDoNotModify);
    EXPECT_EQ(leave.rows().RowCount(), 3u);
    EXPECT_FALSE(leave.inheritChecked());
    // Applied with the box cleared, the inherited rows are dropped.
    const ApplyRequest leaveRequest = leave.BeginApply();
    EXPECT_FALSE(leaveRequest.includeInheritable);
    ASSERT_EQ(leaveRequest.entries.size(), 1u);
    EXPECT_EQ(leaveRequest.entries[0].trustee, L"Bob");

    editor.AnswerInheritanceQuestion(InheritanceChoice::kConvert);
    for (size_t row = 0; row < editor.rows().RowCount(); ++row)
        EXPECT_FALSE(editor.rows().IsInheritedRow(row)) << row;
    EXPECT_EQ(editor.rows().EntryAt(1)->inherited, 0);
    const ApplyRequest convertRequest = editor.BeginApply();
    EXPECT_EQ(convertRequest.entries.size(), 3u);  // all three written as explicit entries
}

TEST_F(AdvancedEditorTest, CopiedEntriesPasteAsExplicitRowsAtTheTopInReverseOrder) {
    AceClipboard clipboard;
    editor.rows().ToggleEntry(0);
    editor.ClickCell(2, ace_column::kDeny);         // Bob: deny "Traverse folder" while open
    editor.CopyEntries({0, 5, 15, 16}, clipboard);  // Bob, a right row, Users, SYSTEM
    ASSERT_EQ(clipboard.entries().size(), 3u);
    EXPECT_EQ(clipboard.entries()[0].deny, 0x20u);  // recomposed from its cells
    EXPECT_EQ(clipboard.entries()[1].inherited, 0);
    EXPECT_TRUE(clipboard.entries()[1].inheritedFrom.empty());

    AdvancedEditor other(L"C:\\Other", false, false);
    other.Show(Snapshot());
    EXPECT_EQ(other.PasteEntries(clipboard), 3u);
    EXPECT_EQ(other.rows().EntryAt(0)->name, L"SYSTEM");
    EXPECT_EQ(other.rows().EntryAt(2)->name, L"Bob");
    EXPECT_FALSE(other.rows().IsInheritedRow(0));
    EXPECT_TRUE(other.modified());
    EXPECT_EQ(other.PasteEntries(clipboard), 3u);  // the clipboard keeps its content
}

TEST_F(AdvancedEditorTest, ReadOnlyViewChangesNothingButCopies) {
    AdvancedEditor view(L"C:\\Data", false, true);
    view.Show(Snapshot());
    AceClipboard clipboard;
    clipboard.Fill({Entry(L"Everyone", 0x1)});
    view.BeginAccountChoice(MenuMode::kAddEntry);
    EXPECT_EQ(view.ChooseAccount(L"Everyone"), std::nullopt);
    EXPECT_FALSE(view.RemoveEntries({0}));
    EXPECT_FALSE(view.SetScope({0}, ID_SCOPE_FILES_ONLY));
    EXPECT_EQ(view.PasteEntries(clipboard), 0u);
    view.rows().ToggleEntry(0);  // opening still works
    EXPECT_FALSE(view.ClickCell(1, ace_column::kAllow));
    view.CreateEmptyDacl();
    EXPECT_EQ(view.rows().RowCount(), 3u + 14u);
    EXPECT_FALSE(view.modified());
    view.CopyEntries({0}, clipboard);
    EXPECT_EQ(clipboard.entries()[0].name, L"Bob");
    const AdvancedControlStates states = view.ControlStates();
    for (const ControlState& hidden :
         {states.add, states.remove, states.reload, states.inherit, states.replaceChildren,
          states.changeOwner, states.ok, states.apply})
        EXPECT_FALSE(hidden.visible);
    EXPECT_TRUE(states.list.enabled);
}

TEST_F(AdvancedEditorTest, ImportedEntriesGoAboveTheRowsAndMayCheckTheBox) {
    AdvancedEditor plain(L"C:\\Data", false, false);
    LoadedAceEntries imported;
    imported.result = 2;
    imported.entries = {Entry(L"Everyone", 0x1), Entry(L"Guests", 0x1, 3, L"Parent Object")};
    plain.ImportEntries(imported);
    EXPECT_EQ(plain.rows().EntryAt(0)->name, L"Everyone");
    EXPECT_TRUE(plain.inheritChecked());
    EXPECT_TRUE(plain.modified());

    editor.ImportEntries(imported);
    EXPECT_EQ(editor.rows().RowCount(), 5u);
    EXPECT_EQ(editor.rows().EntryAt(2)->name, L"Bob");

    LoadedAceEntries broken;
    broken.result = kAcesNoDacl;
    editor.ImportEntries(broken);
    EXPECT_EQ(editor.rows().RowCount(), 5u);
    EXPECT_EQ(editor.emptyText(), kNullDaclText);  // seen only when the list is empty
}

TEST_F(AdvancedEditorTest, ApplyingDisablesEditingAndASuccessReloads) {
    editor.BeginAccountChoice(MenuMode::kAddEntry);
    editor.ChooseAccount(L"Everyone");
    ASSERT_TRUE(editor.rows().IsOpened(0));
    const ApplyRequest request = editor.BeginApply();
    EXPECT_FALSE(editor.rows().IsOpened(0));  // rows closed for the write-back
    EXPECT_TRUE(request.includeInheritable);
    EXPECT_EQ(request.owner, L"Bob");
    AdvancedControlStates busy = editor.ControlStates();
    for (const ControlState& off :
         {busy.add, busy.remove, busy.reload, busy.inherit, busy.replaceChildren, busy.changeOwner,
          busy.ok, busy.apply, busy.list})
        EXPECT_FALSE(off.enabled);
    EXPECT_FALSE(editor.ClickCell(1, ace_column::kAllow));

    ApplyOutcome outcome;
    outcome.reloaded = Snapshot();
    editor.ApplyFinished(outcome);
    EXPECT_FALSE(editor.applying());
    EXPECT_FALSE(editor.modified());
    EXPECT_EQ(Names().size(), 3u);
    EXPECT_FALSE(editor.ControlStates().apply.enabled);
    EXPECT_TRUE(editor.ControlStates().add.enabled);
}

TEST_F(AdvancedEditorTest, AFailedWriteKeepsTheUsersRowsAndChanges) {
    editor.BeginAccountChoice(MenuMode::kAddEntry);
    editor.ChooseAccount(L"Everyone");
    editor.BeginApply();
    ApplyOutcome failed;
    failed.written = Status::Fail(err::kAccessDenied);
    editor.ApplyFinished(failed);
    EXPECT_EQ(Names().front(), L"Everyone");
    EXPECT_TRUE(editor.modified());
    EXPECT_TRUE(editor.ControlStates().apply.enabled);
}

TEST_F(AdvancedEditorTest, CancelDuringApplyReenablesAndALateOutcomeRespectsNewEdits) {
    editor.InheritClicked(true);
    editor.BeginApply();
    editor.ApplyAbandoned();
    EXPECT_FALSE(editor.applying());
    EXPECT_TRUE(editor.ControlStates().ok.enabled);
    EXPECT_TRUE(editor.ControlStates().list.enabled);
    ApplyOutcome written;
    AdvancedSnapshot after = Snapshot();
    after.loaded.entries.pop_back();
    after.loaded.result = 2;
    written.reloaded = after;
    editor.ApplyFinished(written);  // nothing edited since: the object as it now is
    EXPECT_EQ(Names().size(), 2u);

    editor.InheritClicked(true);
    editor.BeginApply();
    editor.ApplyAbandoned();
    editor.BeginAccountChoice(MenuMode::kAddEntry);
    editor.ChooseAccount(L"Guests");
    editor.ApplyFinished(written);
    EXPECT_EQ(Names().front(), L"Guests");  // the new edit stays on the screen
    EXPECT_TRUE(editor.modified());
}

TEST_F(AdvancedEditorTest, FilesHideTheReplaceBoxAndKeepScopes) {
    AdvancedEditor file(L"C:\\a.txt", true, false);
    file.Show(Snapshot());
    EXPECT_FALSE(file.ControlStates().replaceChildren.visible);
    EXPECT_FALSE(file.SetScope({0}, ID_SCOPE_FILES_ONLY));
    file.BeginAccountChoice(MenuMode::kAddEntry);
    file.ChooseAccount(L"Everyone");
    EXPECT_EQ(file.rows().EntryAt(0)->scope, 3);  // new entries still get scope 3
    EXPECT_EQ(file.rows().RowCount(), 4u + 13u);
}

TEST_F(AdvancedEditorTest, MenuContextDescribesTheSelection) {
    AceClipboard clipboard;
    editor.rows().ToggleEntry(0);
    AdvancedMenuContext rightRowsOnly = editor.MenuContext({1, 2}, clipboard);
    EXPECT_TRUE(rightRowsOnly.anyRowSelected);
    EXPECT_FALSE(rightRowsOnly.anyEntryRowSelected);
    EXPECT_TRUE(rightRowsOnly.clipboardEmpty);
    AdvancedMenuContext inherited = editor.MenuContext({15}, clipboard);
    EXPECT_TRUE(inherited.anyEntryRowSelected);
    EXPECT_FALSE(inherited.anyExplicitEntryRowSelected);
    EXPECT_EQ(inherited.firstSelectedScopeText, L"This folder,subfolders and files");
    clipboard.Fill({Entry(L"Everyone", 0x1)});
    AdvancedMenuContext both = editor.MenuContext({0, 15}, clipboard);
    EXPECT_TRUE(both.anyExplicitEntryRowSelected);
    EXPECT_FALSE(both.clipboardEmpty);
    EXPECT_TRUE(both.isDirectory);
}

TEST(AceTreeSelection, MovesWithInsertedAndRemovedRows) {
    EXPECT_EQ(RowsAfterInsert({0, 3, 5}, 3, 14), (std::vector<size_t>{0, 17, 19}));
    EXPECT_EQ(RowsAfterInsert({0, 2}, 3, 14), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(RowsAfterRemove({0, 1, 14, 15, 20}, 1, 14), (std::vector<size_t>{0, 1, 6}));
    EXPECT_TRUE(RowsAfterRemove({2, 3}, 0, 10).empty());
}

}  // namespace
}  // namespace vm
