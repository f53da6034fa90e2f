// The item commands of the main window over the simulated machine: copy and
// its indicator, the two "Clear Access Control List" commands and their
// question, "Inheritance Permissions" with its drive roots and an early
// close, "Replace all child object permissions", adding files and folders,
// and Properties.
#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "app/CommandActions.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/DaclEdits.h"

namespace vm::test {
namespace {

class ItemCommandsTest : public CommandTest {
  protected:
    ItemCommandsTest() {
        machine.AddFile(L"C:\\Data\\a.txt", L"O:BUD:(A;;FA;;;WD)");
        machine.AddFile(L"C:\\Data\\b.txt", L"O:BUD:(A;;FR;;;WD)");
        machine.AddFile(L"C:\\Data\\c.txt", L"O:BUD:PAI(D;;FA;;;WD)");
    }

    std::vector<std::wstring> Sddls(const std::vector<std::wstring>& paths) const {
        std::vector<std::wstring> sddls;
        for (const std::wstring& path : paths)
            sddls.push_back(machine.SddlOf(path));
        return sddls;
    }

    const std::vector<std::wstring> threeFiles{L"C:\\Data\\a.txt", L"C:\\Data\\b.txt",
                                               L"C:\\Data\\c.txt"};
};

TEST_F(ItemCommandsTest, CopyFromAFolderPastesItsDaclAndOwnerOntoThreeFiles) {
    machine.AddLocalUser(L"Carol");
    machine.AddFolder(L"C:\\Shared", L"O:" + machine.SidOf(L"Carol").ToString() +
                                         L"D:PAI(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)");
    Run(ID_ITEM_COPY_SECURITY, Browsing(L"C:\\", {Folder(3, L"C:\\Shared")}));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"copy source C:\\Shared"});
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Shared"), L"Carol");  // the source keeps its owner

    Run(ID_ITEM_PASTE_SECURITY,
        Browsing(L"C:\\Data",
                 {File(1, threeFiles[0]), File(2, threeFiles[1]), File(3, threeFiles[2])}));
    for (const std::wstring& file : threeFiles) {
        EXPECT_EQ(machine.DaclSddlOf(file), machine.DaclSddlOf(L"C:\\Shared")) << file.c_str();
        EXPECT_EQ(machine.OwnerNameOf(file), L"Carol");
    }
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(ItemCommandsTest, CopyRefusesOtherVolumesAndSaysWhenItCouldNotRead) {
    Run(ID_ITEM_COPY_SECURITY, Browsing(L"E:\\", {Folder(0, L"E:\\Photos")}, false));
    ASSERT_EQ(reporter.texts(), std::vector<std::wstring>{L"" STR_NTFS_ONLY});
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);

    // Two rows: nothing at all, as the key and the menu entry promise.
    reporter.Clear();
    Run(ID_ITEM_COPY_SECURITY,
        Browsing(L"C:\\Data", {File(0, threeFiles[0]), File(1, threeFiles[1])}));
    EXPECT_TRUE(window.calls.empty());
    EXPECT_TRUE(reporter.messages().empty());
    EXPECT_FALSE(app.copyBuffer.CopiedDescriptor.has_value());

    // An item whose security cannot be read leaves no copy to paste, and the
    // indicator shows none.
    machine.DenyAccess(threeFiles[0], 0x00020000);  // READ_CONTROL
    Run(ID_ITEM_COPY_SECURITY, Browsing(L"C:\\Data", {File(0, threeFiles[0])}));
    EXPECT_FALSE(app.copyBuffer.CopiedDescriptor.has_value());
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"copy source "});
    ASSERT_EQ(reporter.texts().size(), 1u);
    EXPECT_NE(reporter.texts()[0].find(threeFiles[0] + L" could not be read"), std::wstring::npos);
}

TEST_F(ItemCommandsTest, ClearDaclQuestionJoinsItsPiecesWithoutASeparator) {
    const ClearDaclQuestion null = ClearDaclQuestionFor(true);
    const ClearDaclQuestion empty = ClearDaclQuestionFor(false);
    EXPECT_EQ(null.caption, L"Clear Access Control List");
    EXPECT_EQ(empty.caption, null.caption);
    EXPECT_EQ(null.text,
              L"Create a Null DACL\n\nA null DACL grants full access to any user that requests "
              L"it.Do you want to continue?");
    EXPECT_EQ(empty.text,
              L"Create an empty DACL\n\nAn empty DACL grants no access to the object it is "
              L"assigned to.Do you want to continue?");
}

TEST_F(ItemCommandsTest, NullDaclAnsweredNoChangesNothingAndYesOpensEveryItem) {
    const MainWindowState state =
        Browsing(L"C:\\Data", {File(0, threeFiles[0]), File(2, threeFiles[2])});
    const std::vector<std::wstring> before = Sddls(threeFiles);
    Run(ID_ITEM_NULL_DACL, state);
    EXPECT_EQ(Sddls(threeFiles), before);
    EXPECT_EQ(window.calls.size(), 1u);
    EXPECT_EQ(window.calls[0].rfind(L"ask Clear Access Control List: Create a Null DACL", 0), 0u);

    window.calls.clear();
    window.warningAnswer = true;
    Run(ID_ITEM_NULL_DACL, state);
    for (const std::wstring& file : {threeFiles[0], threeFiles[2]}) {
        EXPECT_FALSE(machine.DaclOf(file).acl.has_value()) << "a NULL DACL";
        EXPECT_EQ(machine.OwnerNameOf(file), L"Administrators");
    }
    EXPECT_EQ(machine.SddlOf(threeFiles[1]), before[1]);
    // The rows are reread once every item is written, with drawing paused.
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{window.calls[0], L"pause", L"refresh row 0",
                                                       L"refresh row 2", L"resume"}));
    // A NULL DACL asked for is what the user wanted: no warning about it.
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(ItemCommandsTest, EmptyDaclLeavesAListWithoutEntriesAndReportsARefusal) {
    window.warningAnswer = true;
    machine.FailEveryCall(sim::Call::kSetNamedSecurityInfo, 5);  // ERROR_ACCESS_DENIED
    machine.FailEveryCall(sim::Call::kSetFileSecurity, 5);
    Run(ID_ITEM_EMPTY_DACL, Editing({File(0, threeFiles[0])}));
    EXPECT_EQ(machine.DaclSddlOf(threeFiles[0]), L"D:(A;;FA;;;WD)");
    ASSERT_EQ(reporter.texts().size(), 1u);
    EXPECT_NE(reporter.texts()[0].find(threeFiles[0]), std::wstring::npos);

    machine.ClearFaults();
    reporter.Clear();
    Run(ID_ITEM_EMPTY_DACL, Editing({File(0, threeFiles[0])}));
    ASSERT_TRUE(machine.DaclOf(threeFiles[0]).acl.has_value());
    EXPECT_TRUE(machine.DaclOf(threeFiles[0]).acl->aces.empty());
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(ItemCommandsTest, InheritancePassesOverDriveRootsWithoutAQuestion) {
    const std::wstring rootBefore = machine.SddlOf(L"C:\\");
    Run(ID_ITEM_INHERITANCE,
        Editing({{0, L"C:\\", kKindDriveRoot}, File(1, threeFiles[0]), File(2, threeFiles[2])}));
    EXPECT_EQ(machine.SddlOf(L"C:\\"), rootBefore);
    for (const std::wstring& file : {threeFiles[0], threeFiles[2]}) {
        EXPECT_EQ(machine.OwnerNameOf(file), L"Administrators");
        // Only what C:\\Data passes on, as on a file that always inherited.
        EXPECT_EQ(machine.DaclSddlOf(file), machine.DaclSddlOf(L"C:\\Data\\notes.txt"));
    }
    EXPECT_EQ(window.calls,
              (std::vector<std::wstring>{L"pause", L"wait window", L"refresh row 1",
                                         L"refresh row 2", L"wait window closed", L"resume"}));
    EXPECT_TRUE(reporter.messages().empty());
    EXPECT_TRUE(IsDriveRootItem({0, L"D:", kKindFolder}));
    EXPECT_FALSE(IsDriveRootItem(Folder(0, L"C:\\Data")));
}

// Closing the wait window stops the worker between two items: the item in
// hand is finished, the ones after it are not touched at all.
TEST_F(ItemCommandsTest, InheritanceClosedEarlyStopsAtAnItemBoundary) {
    const std::vector<std::wstring> before = Sddls(threeFiles);
    window.stopAfterRefreshes = 1;
    Run(ID_ITEM_INHERITANCE,
        Editing({File(0, threeFiles[0]), File(1, threeFiles[1]), File(2, threeFiles[2])}));
    EXPECT_EQ(machine.OwnerNameOf(threeFiles[0]), L"Administrators");
    EXPECT_NE(machine.SddlOf(threeFiles[0]), before[0]);
    EXPECT_EQ(machine.SddlOf(threeFiles[1]), before[1]);
    EXPECT_EQ(machine.SddlOf(threeFiles[2]), before[2]);
}

TEST_F(ItemCommandsTest, ReplaceChildrenTakesTheFirstSelectedRowIfItIsAFolder) {
    Run(ID_ITEM_REPLACE_CHILDREN,
        Browsing(L"C:\\", {Folder(0, L"C:\\Data"), Folder(1, L"C:\\Empty")}));
    Run(ID_ITEM_REPLACE_CHILDREN,
        Browsing(L"C:\\Data", {File(0, threeFiles[0]), Folder(1, L"C:\\Data\\Music")}));
    Run(ID_ITEM_REPLACE_CHILDREN, Browsing(L"C:\\Data"));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"replace children C:\\Data"});
}

TEST_F(ItemCommandsTest, AddingPutsThePickedNamesBelowTheirFolder) {
    Run(ID_ITEM_ADD, Editing());  // Cancel
    window.picked = PickedItems{L"E:\\Photos", {L"cat.jpg"}};
    Run(IDC_MAIN_ADD, Editing());
    EXPECT_EQ(reporter.texts(), std::vector<std::wstring>{L"" STR_NTFS_ONLY});
    window.picked = PickedItems{L"C:\\Data", {L"Music", L"notes.txt"}};
    Run(IDC_MAIN_ADD, Editing());
    window.picked = PickedItems{L"C:\\", {L"Data"}};
    Run(ID_ITEM_ADD, Editing());
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"pick", L"pick", L"pick",
                                                       L"add C:\\Data\\Music C:\\Data\\notes.txt",
                                                       L"pick", L"add C:\\Data"}));
}

TEST_F(ItemCommandsTest, PropertiesTakeEverySelectedItemAtOnce) {
    Run(ID_ITEM_PROPERTIES,
        Browsing(L"C:\\Data", {File(0, threeFiles[0]), File(1, threeFiles[1])}));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"properties 2"});
}

}  // namespace
}  // namespace vm::test
