#include "lists/ItemListModel.h"

#include <gtest/gtest.h>

#include "lists/IconCache.h"
#include "platform/Dpi.h"
#include "platform/sim/SimPlatform.h"

namespace vm {
namespace {

std::vector<std::wstring> Titles(const ColumnLayout& layout) {
    std::vector<std::wstring> titles;
    for (const auto& column : layout.columns)
        titles.push_back(column.title);
    return titles;
}

TEST(ItemListColumns, EditListKeepsFolderAndShowsInSubitemOrder) {
    ColumnLayout layout = ItemListColumnLayout(ListMode::kEdit, kBaseDpi);
    EXPECT_EQ(Titles(layout),
              (std::vector<std::wstring>{L"Name", L"Type", L"Date created",
                                         L"Access rights of current user", L"Owner", L"Folder"}));
    EXPECT_EQ(layout.columns[5].width, 200);
    EXPECT_EQ(layout.displayOrder, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(ItemListColumns, BrowseListShowsFileSystemThird) {
    ColumnLayout layout = ItemListColumnLayout(ListMode::kBrowse, kBaseDpi);
    EXPECT_EQ(Titles(layout), (std::vector<std::wstring>{L"Name", L"Type", L"Date created",
                                                         L"Access rights of current user", L"Owner",
                                                         L"File system"}));
    EXPECT_EQ(layout.columns[5].width, 70);
    EXPECT_EQ(layout.columns[4].width, 170);
    EXPECT_EQ(layout.displayOrder, (std::vector<int>{0, 1, 2, 5, 3, 4}));
}

TEST(ItemListColumns, WidthsScaleWithTheList) {
    const ColumnLayout at144 = ItemListColumnLayout(ListMode::kBrowse, 144);
    EXPECT_EQ(at144.columns[0].width, 450);
    EXPECT_EQ(at144.columns[2].width, 203);  // 202.5
    EXPECT_EQ(at144.columns[5].width, 105);
    const ColumnLayout at192 = ItemListColumnLayout(ListMode::kEdit, 192);
    EXPECT_EQ(at192.columns[5].width, 400);
    // Scaling changes widths only, never which columns there are or their order.
    EXPECT_EQ(at192.displayOrder, ItemListColumnLayout(ListMode::kEdit, 96).displayOrder);
}

TEST(PathParts, FileNameFollowsPathFindFileName) {
    EXPECT_EQ(FileNameOfPath(L"C:\\Data\\a.txt"), L"a.txt");
    EXPECT_EQ(FileNameOfPath(L"C:\\Data"), L"Data");
    EXPECT_EQ(FileNameOfPath(L"C:\\"), L"C:\\");
    EXPECT_EQ(FileNameOfPath(L"C:\\Data\\"), L"Data\\");
    EXPECT_EQ(FileNameOfPath(L"a.txt"), L"a.txt");
    EXPECT_EQ(FileNameOfPath(L""), L"");
}

TEST(PathParts, FolderFollowsPathRemoveFileSpec) {
    EXPECT_EQ(FolderPart(L"C:\\Data\\a.txt"), L"C:\\Data");
    EXPECT_EQ(FolderPart(L"C:\\Data"), L"C:\\");
    EXPECT_EQ(FolderPart(L"C:\\"), L"C:\\");
    EXPECT_EQ(FolderPart(L"C:\\Data\\"), L"C:\\Data");
    EXPECT_EQ(FolderPart(L"\\\\server\\share\\x"), L"\\\\server\\share");
    EXPECT_EQ(FolderPart(L"name"), L"");
}

TEST(CellTexts, AccessOwnerAndLocation) {
    EXPECT_EQ(AccessCellText(0), L"Allowed");
    EXPECT_EQ(AccessCellText(1), L"Read Only");
    EXPECT_EQ(AccessCellText(2), L"Denied");
    EXPECT_EQ(AccessCellText(kAccessUnknown), L"");
    EXPECT_EQ(AccessCellText(3), L"");

    EXPECT_EQ(OwnerCellText(L"Administrators"), L"Administrators");
    EXPECT_EQ(OwnerCellText(L""), L"???");

    FileSystemTable table;
    table.Set(L'C', L"NTFS");
    table.Set(L'E', L"FAT32");
    EXPECT_EQ(LocationCellText(ListMode::kBrowse, L"E:\\x.txt", table), L"FAT32");
    EXPECT_EQ(LocationCellText(ListMode::kBrowse, L"C:\\", table), L"NTFS");
    EXPECT_EQ(LocationCellText(ListMode::kEdit, L"E:\\Docs\\x.txt", table), L"E:\\Docs");
}

constexpr uint64_t kTicksPerSecond = 10'000'000;
constexpr uint64_t kSecondsFrom1601To1970 = 11644473600;

TEST(DateCell, CivilTimeOfKnownInstants) {
    EXPECT_EQ(FormatCivilTime(CivilFromFileTime(0)), L"1601-01-01 00:00");
    EXPECT_EQ(FormatCivilTime(CivilFromFileTime(kSecondsFrom1601To1970 * kTicksPerSecond)),
              L"1970-01-01 00:00");
    // 2024-02-29 13:45:59 UTC is 1709214359 s after 1970.
    const uint64_t leapDay = (kSecondsFrom1601To1970 + 1709214359) * kTicksPerSecond;
    EXPECT_EQ(FormatCivilTime(CivilFromFileTime(leapDay)), L"2024-02-29 13:45");
    // 2000-12-31 23:59 (a leap year ending on day 366).
    const uint64_t endOf2000 = (kSecondsFrom1601To1970 + 978307199) * kTicksPerSecond;
    EXPECT_EQ(FormatCivilTime(CivilFromFileTime(endOf2000)), L"2000-12-31 23:59");
}

TEST(DateCell, ZeroCreationTimeShowsLastWrite) {
    EXPECT_EQ(DisplayedCreationTime(0, 42), 42u);
    EXPECT_EQ(DisplayedCreationTime(7, 42), 7u);
}

TEST(Kinds, RootFolderAndFile) {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    machine.AddFolder(L"C:\\Data");
    machine.AddFile(L"C:\\Data\\a.txt");
    EXPECT_EQ(ItemKindOfPath(machine, L"C:\\"), kKindDriveRoot);
    EXPECT_EQ(ItemKindOfPath(machine, L"C:\\Data"), kKindFolder);
    EXPECT_EQ(ItemKindOfPath(machine, L"C:\\Data\\a.txt"), kKindFile);
    // A path that does not exist is taken as a file; a missing drive's root
    // is still a root.
    EXPECT_EQ(ItemKindOfPath(machine, L"C:\\Gone"), kKindFile);
    EXPECT_EQ(ItemKindOfPath(machine, L"Q:\\"), kKindDriveRoot);
}

TEST(ItemRecordKinds, MissingMarksNegateButNotARoot) {
    ItemRecord file;
    file.kind = kKindFile;
    file.MarkMissing();
    EXPECT_EQ(file.kind, -2);
    EXPECT_TRUE(file.IsMissing());
    file.MarkMissing();
    EXPECT_EQ(file.kind, -2);
    file.MarkPresent();
    EXPECT_EQ(file.kind, 2);

    ItemRecord root;
    root.kind = kKindDriveRoot;
    root.MarkMissing();
    EXPECT_FALSE(root.IsMissing());
}

TEST(Drop, WaitWindowAbove300AndIntegerProgress) {
    EXPECT_FALSE(DropNeedsWaitWindow(300));
    EXPECT_TRUE(DropNeedsWaitWindow(301));
    EXPECT_EQ(DropProgress(0, 301), 0);
    EXPECT_EQ(DropProgress(150, 301), 49);
    EXPECT_EQ(DropProgress(300, 301), 99);
    EXPECT_EQ(DropProgress(0, 0), 100);
}

}  // namespace
}  // namespace vm

namespace vm {
namespace {

TEST(ItemTimesOfPaths, ReadFromTheEntryItself) {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    machine.AddFolder(L"C:\\Data");
    machine.AddFile(L"C:\\Data\\a.txt");
    machine.AddFile(L"C:\\Data\\ab.txt");
    machine.SetTimes(L"C:\\Data\\a.txt", 0, 1234);
    auto times = ReadItemTimes(machine, L"C:\\Data\\a.txt");
    ASSERT_TRUE(times.has_value());
    EXPECT_EQ(times->creationTime, 0u);
    EXPECT_EQ(times->lastWriteTime, 1234u);
    EXPECT_EQ(DisplayedCreationTime(times->creationTime, times->lastWriteTime), 1234u);
    EXPECT_FALSE(ReadItemTimes(machine, L"C:\\").has_value());
    EXPECT_FALSE(ReadItemTimes(machine, L"C:\\Data\\gone.txt").has_value());
    // A wildcard never reads another entry's times.
    EXPECT_FALSE(ReadItemTimes(machine, L"C:\\Data\\a*.txt").has_value());
}

}  // namespace
}  // namespace vm

namespace vm {
namespace {

TEST(FolderEntries, OneListingGivesKindsAndTimes) {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    machine.AddFolder(L"C:\\Data\\Sub");
    machine.AddFile(L"C:\\Data\\a.txt");
    machine.SetTimes(L"C:\\Data\\a.txt", 0, 99);
    machine.AddFile(L"C:\\Data\\hidden.sys");
    machine.SetAttributes(L"C:\\Data\\hidden.sys", attr::kHidden | attr::kSystem);
    machine.ResetCounters();
    auto entries = ReadFolderEntries(machine, L"C:\\Data\\");
    EXPECT_EQ(machine.TotalCalls(), 1u);
    // In the file system's order (NTFS: by upper-cased name).
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].path, L"C:\\Data\\a.txt");
    EXPECT_EQ(entries[0].kind, kKindFile);
    ASSERT_TRUE(entries[0].times.has_value());
    EXPECT_EQ(entries[0].times->lastWriteTime, 99u);
    EXPECT_EQ(entries[1].path, L"C:\\Data\\hidden.sys");
    EXPECT_EQ(entries[2].path, L"C:\\Data\\Sub");
    EXPECT_EQ(entries[2].kind, kKindFolder);

    EXPECT_TRUE(ReadFolderEntries(machine, L"C:\\Nowhere").empty());
    const FolderEntry root = ReadItemEntry(machine, L"C:\\");
    EXPECT_EQ(root.kind, kKindDriveRoot);
    EXPECT_FALSE(root.times.has_value());
}

}  // namespace
}  // namespace vm

namespace vm {
namespace {

// Reading many dropped items of one folder lists the folder once, and gives
// for every path exactly what reading it on its own gives: missing items,
// other spellings, roots, folders and paths no listing can stand for.
TEST(ReadItemEntries, ListsAFolderOnceAndAgreesWithReadingEachPath) {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    std::vector<std::wstring> paths;
    for (int i = 0; i < 20; ++i) {
        paths.push_back(L"C:\\Drop\\f" + std::to_wstring(i) + L".txt");
        machine.AddFile(paths.back());
    }
    machine.AddFolder(L"C:\\Drop\\Sub");
    machine.AddFile(L"C:\\Other\\one.txt");
    paths.insert(paths.end(),
                 {L"C:\\DROP\\F3.TXT", L"C:\\Drop\\Sub", L"C:\\Drop\\gone.txt", L"C:\\",
                  L"C:\\Drop\\f*.txt", L"C:\\Drop\\Sub\\", L"C:\\Other\\one.txt"});
    machine.ResetCounters();
    const std::vector<FolderEntry> entries = ReadItemEntries(machine, paths);
    const uint64_t listings = machine.CallCount(sim::Call::kFindFiles);
    ASSERT_EQ(entries.size(), paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        const FolderEntry alone = ReadItemEntry(machine, paths[i]);
        EXPECT_EQ(entries[i].path, paths[i]);
        EXPECT_EQ(entries[i].kind, alone.kind) << i;
        EXPECT_EQ(entries[i].times.has_value(), alone.times.has_value()) << i;
        if (entries[i].times && alone.times) {
            EXPECT_EQ(entries[i].times->creationTime, alone.times->creationTime) << i;
        }
    }
    // One listing of C:\Drop; on their own only the path that is gone, the
    // one of a folder with a single path, and the wildcard path search (the
    // root and the trailing separator search nothing).
    EXPECT_EQ(listings, 4u);
}

}  // namespace
}  // namespace vm
