// The names the file-and-folder dialog hands back, the paths they make, the
// folder it keeps for next time and the places of its controls.
#include <gtest/gtest.h>

#include "controls/FileAndFolderSelection.h"

#include <string_view>

namespace vm {
namespace {

using Names = std::vector<std::wstring>;

TEST(ChosenNames, FoldersComeFirstThenTheTypedFiles) {
    EXPECT_EQ(ChosenNames({L"Music", L"Photos"}, L"notes.txt", 3),
              (Names{L"Music", L"Photos", L"notes.txt"}));
    EXPECT_EQ(ChosenNames({L"Music"}, L"\"my notes.txt\" \"a b.doc\" \"c.txt\"", 4),
              (Names{L"Music", L"my notes.txt", L"a b.doc", L"c.txt"}));
    EXPECT_EQ(ChosenNames({}, L"\"only.txt\"", 1), Names{L"only.txt"});
}

TEST(ChosenNames, TheTypedNamesAreReadOnlyForWhatTheFoldersLeaveOver) {
    // Folders alone: whatever the file-name field still holds is old.
    EXPECT_EQ(ChosenNames({L"Music", L"Photos"}, L"old.txt", 2), (Names{L"Music", L"Photos"}));
    // A field holding more names than files are selected: the first ones.
    EXPECT_EQ(ChosenNames({L"Music"}, L"\"a.txt\" \"b.txt\" \"c.txt\"", 2),
              (Names{L"Music", L"a.txt"}));
    // Nothing in the field names no file (an empty name is the folder itself).
    EXPECT_EQ(ChosenNames({L"Music"}, L"", 2), Names{L"Music"});
    EXPECT_EQ(ChosenNames({}, L"\"\" \"b.txt\"", 2), Names{L"b.txt"});
}

TEST(PickedFromFileBuffer, OneFileOrSeveralAsTheDialogsOwnActionReturnsThem) {
    using namespace std::string_view_literals;
    const auto one = PickedFromFileBuffer(L"C:\\Data\\a.txt\0"sv, 8);
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(one->folder, L"C:\\Data");
    EXPECT_EQ(one->names, Names{L"a.txt"});
    const auto several = PickedFromFileBuffer(L"C:\\\0a.txt\0b c.txt\0\0"sv, 4);
    ASSERT_TRUE(several.has_value());
    EXPECT_EQ(several->folder, L"C:\\");
    EXPECT_EQ(several->names, (Names{L"a.txt", L"b c.txt"}));
    EXPECT_EQ(PickedFromFileBuffer(L"C:\\a.txt\0"sv, 3)->folder, L"C:\\");
    // Offsets outside the buffer, and a last name without its nul.
    EXPECT_FALSE(PickedFromFileBuffer(L"C:\\a.txt\0"sv, 0).has_value());
    EXPECT_FALSE(PickedFromFileBuffer(L"C:\\a.txt\0"sv, 40).has_value());
    EXPECT_FALSE(PickedFromFileBuffer(L"C:\\Data\0a.txt"sv, 8).has_value());
    EXPECT_FALSE(PickedFromFileBuffer(L"C:\\Data\0\0"sv, 8).has_value());
}

TEST(PickedPaths, EveryNameBelowItsFolderWithOneBackslash) {
    EXPECT_EQ(PickedPaths({L"C:\\Data", {L"Music", L"a.txt"}}),
              (Names{L"C:\\Data\\Music", L"C:\\Data\\a.txt"}));
    EXPECT_EQ(PickedPaths({L"C:\\", {L"Data"}}), Names{L"C:\\Data"});
    EXPECT_TRUE(PickedPaths({L"C:\\Data", {}}).empty());
}

TEST(OpenPathToKeep, AFolderTheSettingCannotHoldWholeIsNotKept) {
    const std::wstring longest = L"C:\\" + std::wstring(256, L'x');
    ASSERT_EQ(longest.size(), 259u);
    EXPECT_EQ(OpenPathToKeep(longest), longest);
    EXPECT_FALSE(OpenPathToKeep(longest + L"y").has_value());
    EXPECT_FALSE(OpenPathToKeep(L"").has_value());
}

TEST(FileAndFolderDialogPlaces, ControlsKeepTheirDistanceFromTheEdges) {
    const FileAndFolderDialogPlaces at96 = ComputeFileAndFolderDialogPlaces(434, 261, 96);
    EXPECT_EQ(at96.shellView, (ControlPlace{0, 45, 434, 161}));
    EXPECT_EQ(at96.folderCombo, (ControlPlace{55, 10, 369, 25}));
    EXPECT_EQ(at96.addButton, (ControlPlace{219, 222, 90, 25}));
    EXPECT_EQ(at96.cancelButton, (ControlPlace{329, 222, 90, 25}));
    EXPECT_EQ(at96.typeCombo, (ControlPlace{80, 224, 124, 25}));
    EXPECT_EQ(at96.typeLabel, (ControlPlace{10, 226, 65, 25}));

    // A label text wider than its place moves the combo box's left edge only.
    const FileAndFolderDialogPlaces wide = ComputeFileAndFolderDialogPlaces(434, 261, 96, 90);
    EXPECT_EQ(wide.typeLabel.width, 90);
    EXPECT_EQ(wide.typeCombo.x, 10 + 90 + 4);
    EXPECT_EQ(wide.typeCombo.x + wide.typeCombo.width, 434 - 230);
    EXPECT_EQ(ComputeFileAndFolderDialogPlaces(434, 261, 96, 60).typeCombo, at96.typeCombo);

    // At twice the scale every distance doubles, whatever the client's size.
    const FileAndFolderDialogPlaces at192 = ComputeFileAndFolderDialogPlaces(1001, 777, 192);
    EXPECT_EQ(at192.shellView.y + at192.shellView.height, 777 - 110);
    EXPECT_EQ(at192.cancelButton.x + at192.cancelButton.width, 1001 - 30);
    EXPECT_EQ(at192.addButton.x + at192.addButton.width + 40, at192.cancelButton.x);
    EXPECT_EQ(at192.toolbar, (ControlPlace{6, 20, 100, 50}));
}

}  // namespace
}  // namespace vm
