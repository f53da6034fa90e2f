#include <gtest/gtest.h>

#include "advanced/AceTreeModel.h"

namespace vm {
namespace {

constexpr size_t kReadAttributesRow = 4;  // entry row 0, then right 0 at row 1 ...

AceEntry Entry(uint32_t allow, uint32_t deny = 0, uint8_t type = 0) {
    return {L"NT Service\\TrustedInstaller", 0, type, 3, allow, deny, L""};
}

// Allow and deny ticks of the opened entry at row 0, as "AD" pairs per right.
std::wstring Ticks(const AceTreeModel& model) {
    std::wstring text;
    for (size_t row = 1; row <= model.RightRowCount(); ++row) {
        text += model.CellText(row, ace_column::kAllow).empty() ? L'.' : L'A';
        text += model.CellText(row, ace_column::kDeny).empty() ? L'.' : L'D';
        text += L' ';
    }
    return text;
}

TEST(AceTreeModel, EntryRowTextsAndOpeningForFilesAndFolders) {
    AceTreeModel folder;
    folder.Init(L"C:\\Data", false, false);
    AceEntry inherited = Entry(0x1200A9);
    inherited.inherited = 1;
    inherited.inheritedFrom = L"C:\\";
    EXPECT_EQ(folder.FillEntryRows({Entry(0xF01FF), inherited}), 1u);
    EXPECT_EQ(folder.CellText(0, ace_column::kToggle), L"+");
    EXPECT_EQ(folder.CellText(0, ace_column::kType), L"Allow");
    EXPECT_EQ(folder.CellText(0, ace_column::kName), L"TrustedInstaller");
    EXPECT_EQ(folder.CellText(0, ace_column::kApplyTo), L"This folder,subfolders and files");
    EXPECT_EQ(folder.CellText(1, ace_column::kInheritedFrom), L"C:\\");
    EXPECT_TRUE(folder.EntryAt(1)->inheritedFrom.empty());  // the row's column holds it
    EXPECT_TRUE(folder.IsInheritedRow(1));

    ASSERT_TRUE(folder.ToggleEntry(1));
    EXPECT_EQ(folder.RowCount(), 2u + 14u);
    EXPECT_EQ(folder.CellText(1, ace_column::kToggle), L"-");
    EXPECT_EQ(folder.CellText(2, ace_column::kName), L"Full control");
    EXPECT_EQ(folder.CellText(2, ace_column::kToggle), L"");
    EXPECT_EQ(folder.CellText(15, ace_column::kInheritedFrom), L"C:\\");
    EXPECT_FALSE(folder.ToggleEntry(2));  // a right row does not toggle

    AceTreeModel file;
    file.Init(L"C:\\a.txt", true, false);
    file.AddEntryRow(Entry(0xF01FF), 0);
    file.AddEntryRow(Entry(0x1), 1);
    EXPECT_EQ(file.ColumnCount(), 6);
    ASSERT_TRUE(file.ToggleEntry(0));
    EXPECT_EQ(file.RowCount(), 2u + 13u);
    for (size_t row = 1; row <= 13; ++row)
        EXPECT_NE(file.CellText(row, ace_column::kName), L"Delete subfolders and files");
    ASSERT_TRUE(file.ToggleEntry(0));
    EXPECT_EQ(file.RowCount(), 2u);  // exactly thirteen rows gone
    EXPECT_EQ(file.CellText(1, ace_column::kToggle), L"+");
}

TEST(AceTreeModel, TickingFullControlTakesTheWholeColumn) {
    AceTreeModel model;
    model.Init(L"C:\\Data", false, false);
    model.AddEntryRow(Entry(0, 0x80 | 0x1), 0);
    model.ToggleEntry(0);
    EXPECT_TRUE(model.ClickCell(1, ace_column::kAllow));  // Allow on "Full control"
    std::wstring allAllowed;
    for (int i = 0; i < 14; ++i)
        allAllowed += L"A. ";
    EXPECT_EQ(Ticks(model), allAllowed);                  // every Deny cleared, every Allow ticked
    EXPECT_TRUE(model.ClickCell(1, ace_column::kAllow));  // and off again
    model.RecomposeEntry(0);
    EXPECT_EQ(model.EntryAt(0)->allow, 0u);
    EXPECT_EQ(model.EntryAt(0)->deny, 0u);
}

TEST(AceTreeModel, DenyOnOneRightUnderFullControlSplitsTheMasks) {
    AceTreeModel model;
    model.Init(L"C:\\Data", false, false);
    model.AddEntryRow(Entry(0xF01FF), 0);
    model.ToggleEntry(0);
    ASSERT_EQ(model.CellText(kReadAttributesRow, ace_column::kName), L"Read attributes");
    EXPECT_TRUE(model.ClickCell(kReadAttributesRow, ace_column::kDeny));
    EXPECT_EQ(model.CellText(1, ace_column::kAllow), L"");  // "Full control" cleared
    EXPECT_EQ(model.CellText(kReadAttributesRow, ace_column::kAllow), L"");
    EXPECT_EQ(model.CellText(2, ace_column::kAllow), L"*");
    model.ToggleEntry(0);
    EXPECT_EQ(model.EntryAt(0)->allow, 0xF017Fu);
    EXPECT_EQ(model.EntryAt(0)->deny, 0x80u);
}

TEST(AceTreeModel, UntickingASingleRightAlsoUnticksFullControl) {
    AceTreeModel model;
    model.Init(L"C:\\Data", false, false);
    model.AddEntryRow(Entry(0x1F01FF), 0);
    model.ToggleEntry(0);
    EXPECT_TRUE(model.ClickCell(2, ace_column::kAllow));  // traverse off
    model.RecomposeEntry(0);
    EXPECT_EQ(model.EntryAt(0)->allow, 0xF01FFu & ~0x20u);
    // Ticking it again does not bring "Full control" back until reopened.
    EXPECT_TRUE(model.ClickCell(2, ace_column::kAllow));
    EXPECT_EQ(model.CellText(1, ace_column::kAllow), L"");
    model.ToggleEntry(0);
    EXPECT_EQ(model.EntryAt(0)->allow, 0xF01FFu);
    model.ToggleEntry(0);
    EXPECT_EQ(model.CellText(1, ace_column::kAllow), L"*");
}

TEST(AceTreeModel, ReadOnlyInheritedEntryRowsAndOtherColumnsRefuseClicks) {
    AceTreeModel readOnly;
    readOnly.Init(L"C:\\Data", false, true);
    readOnly.AddEntryRow(Entry(0x1), 0);
    readOnly.ToggleEntry(0);  // opening still works
    EXPECT_FALSE(readOnly.ClickCell(3, ace_column::kAllow));
    EXPECT_FALSE(readOnly.IsScopeArrowClick(0, ace_column::kApplyTo, 185, 190));

    AceTreeModel model;
    model.Init(L"C:\\Data", false, false);
    AceEntry inherited = Entry(0x1);
    inherited.inherited = 1;
    inherited.inheritedFrom = L"Parent Object";
    model.AddEntryRow(inherited, 0);
    model.AddEntryRow(Entry(0x1), 1);
    model.ToggleEntry(0);
    std::wstring before = Ticks(model);
    EXPECT_FALSE(model.ClickCell(3, ace_column::kAllow));
    EXPECT_EQ(Ticks(model), before);
    EXPECT_FALSE(model.ClickCell(0, ace_column::kAllow));                      // entry row
    EXPECT_FALSE(model.ClickCell(3, ace_column::kName));                       // not a cell
    EXPECT_FALSE(model.IsScopeArrowClick(0, ace_column::kApplyTo, 185, 190));  // inherited
    size_t explicitRow = 15;
    EXPECT_TRUE(model.IsScopeArrowClick(explicitRow, ace_column::kApplyTo, 171, 190));
    EXPECT_FALSE(model.IsScopeArrowClick(explicitRow, ace_column::kApplyTo, 169, 190));
    EXPECT_FALSE(model.IsScopeArrowClick(explicitRow, ace_column::kInheritedFrom, 185, 190));
}

TEST(AceTreeModel, CollectingClosesOpenRowsSoMasksAreCurrent) {
    AceTreeModel model;
    model.Init(L"C:\\Data", false, false);
    model.AddEntryRow(Entry(0x1F01FF, 0, 1), 0);  // deny read as 0x1F01FF
    model.AddEntryRow(Entry(0x10000000), 1);      // never opened: kept as read
    model.AddEntryRow(Entry(0x120089), 2);
    model.ToggleEntry(2);
    model.ToggleEntry(0);
    std::vector<AceEntry> entries = model.CloseAllAndCollect();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(model.RowCount(), 3u);
    EXPECT_EQ(entries[0].allow, 0xF01FFu);  // opened and closed: recomposed
    EXPECT_EQ(entries[1].allow, 0x10000000u);
    EXPECT_EQ(entries[2].allow, 0x20089u);  // SYNCHRONIZE has no row

    EXPECT_TRUE(model.DeleteEntryRow(1));
    model.ToggleEntry(0);
    EXPECT_FALSE(model.DeleteEntryRow(1));  // a right row
    EXPECT_TRUE(model.DeleteEntryRow(0));
    EXPECT_EQ(model.RowCount(), 1u);
    EXPECT_TRUE(model.SetEntryScope(0, 11));
    EXPECT_EQ(model.CellText(0, ace_column::kApplyTo), L"Subfolders and files only");
    model.DeleteAllRows();
    EXPECT_EQ(model.RowCount(), 0u);
}

}  // namespace
}  // namespace vm
