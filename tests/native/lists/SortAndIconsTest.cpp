#include <gtest/gtest.h>

#include "lists/IconCache.h"
#include "lists/RowSort.h"

namespace vm {
namespace {

TEST(SortState, SameColumnFlipsOtherColumnStartsAscending) {
    SortState sort;
    sort.OnHeaderClick(0);
    EXPECT_FALSE(sort.ascending);  // column 0 is the initial sort column
    sort.OnHeaderClick(0);
    EXPECT_TRUE(sort.ascending);
    sort.OnHeaderClick(2);
    EXPECT_EQ(sort.column, 2);
    EXPECT_TRUE(sort.ascending);
}

struct Rows {
    std::vector<std::unique_ptr<ItemRecord>> owned;
    std::vector<ItemRecord*> records;
    std::vector<std::wstring> texts;

    void Add(int32_t kind, std::wstring path, std::wstring text) {
        owned.push_back(std::make_unique<ItemRecord>());
        owned.back()->kind = kind;
        owned.back()->path = std::move(path);
        records.push_back(owned.back().get());
        texts.push_back(std::move(text));
    }
};

std::vector<std::wstring> Paths(const std::vector<ItemRecord*>& records) {
    std::vector<std::wstring> paths;
    for (const ItemRecord* record : records)
        paths.push_back(record->path);
    return paths;
}

Rows MixedRows() {
    Rows rows;
    rows.Add(kKindFile, L"b.txt", L"Text Document");
    rows.Add(kKindFolder, L"Zeta", L"File folder");
    rows.Add(kKindFile, L"a.bmp", L"Bitmap image");
    rows.Add(kKindDriveRoot, L"C:\\", L"Local Disk");
    rows.Add(kKindFolder, L"Alpha", L"File folder");
    return rows;
}

TEST(RowSort, KindsGroupRootsFoldersFilesThenTexts) {
    Rows rows = MixedRows();
    SortState sort{1, true};
    auto sorted = SortRecords(rows.records, rows.texts, sort, 6);
    // Folders have equal type texts: the stable sort keeps their order.
    EXPECT_EQ(Paths(sorted),
              (std::vector<std::wstring>{L"C:\\", L"Zeta", L"Alpha", L"a.bmp", L"b.txt"}));
    // The records were renumbered to their positions before the sort.
    EXPECT_EQ(rows.owned[3]->row, 3);
}

TEST(RowSort, DescendingReversesGroupsToo) {
    Rows rows = MixedRows();
    SortState sort{1, false};
    auto sorted = SortRecords(rows.records, rows.texts, sort, 6);
    EXPECT_EQ(Paths(sorted),
              (std::vector<std::wstring>{L"b.txt", L"a.bmp", L"Zeta", L"Alpha", L"C:\\"}));
}

TEST(RowSort, LastTwoColumnsIgnoreTheGroups) {
    Rows rows = MixedRows();
    rows.texts = {L"Bob", L"Administrators", L"Alice", L"SYSTEM", L"Carol"};
    SortState sort{4, true};
    auto sorted = SortRecords(rows.records, rows.texts, sort, 6);
    EXPECT_EQ(Paths(sorted),
              (std::vector<std::wstring>{L"Zeta", L"a.bmp", L"b.txt", L"Alpha", L"C:\\"}));
    // Column 3 of six is not among the last two: groups count.
    sort.column = 3;
    sorted = SortRecords(rows.records, rows.texts, sort, 6);
    EXPECT_EQ(Paths(sorted).front(), L"C:\\");
}

TEST(RowSort, MissingItemsSortByTheirNegativeKind) {
    Rows rows;
    rows.Add(kKindFile, L"present.txt", L"x");
    rows.Add(-kKindFile, L"missing.txt", L"x");
    rows.Add(kKindDriveRoot, L"D:\\", L"x");
    auto sorted = SortRecords(rows.records, rows.texts, SortState{0, true}, 6);
    EXPECT_EQ(Paths(sorted), (std::vector<std::wstring>{L"missing.txt", L"D:\\", L"present.txt"}));
}

TEST(RowSort, RowWithoutRecordComparesEqual) {
    ItemRecord file;
    const std::wstring text = L"a";
    SortState sort;
    EXPECT_EQ(CompareRows({nullptr, &text}, {&file, &text}, sort, 6, OrdinalCompare), 0);
    EXPECT_EQ(CompareRows({&file, &text}, {nullptr, &text}, sort, 6, OrdinalCompare), 0);
}

TEST(IconCache, KeysFromTheFileNameInUpperCase) {
    EXPECT_EQ(ExtensionIconCache::KeyFor(L"C:\\Data\\a.Txt", kKindFile), L".TXT");
    EXPECT_EQ(ExtensionIconCache::KeyFor(L"C:\\Data\\archive.tar.gz", kKindFile), L".GZ");
    EXPECT_EQ(ExtensionIconCache::KeyFor(L"C:\\Data\\README", kKindFile), L"README");
    EXPECT_EQ(ExtensionIconCache::KeyFor(L"C:\\v1.2\\README", kKindFile), L"README");
    EXPECT_EQ(ExtensionIconCache::KeyFor(L"C:\\Data.old", kKindFolder), L".:");
    // A missing file keys like a file.
    EXPECT_EQ(ExtensionIconCache::KeyFor(L"C:\\x.doc", -kKindFile), L".DOC");
}

TEST(IconCache, LookupEntersUnknownKeysWithZero) {
    ExtensionIconCache cache;
    EXPECT_TRUE(cache.Empty());
    cache.Set(L".txt", 7);
    cache.Set(kFolderIconKey, 3);
    EXPECT_EQ(cache.Lookup(L"C:\\a.TXT", kKindFile), 7);
    EXPECT_EQ(cache.Lookup(L"C:\\Data", kKindFolder), 3);
    EXPECT_EQ(cache.Lookup(L"C:\\b.xyz", kKindFile), 0);
    EXPECT_EQ(cache.Lookup(L"C:\\", kKindDriveRoot), std::nullopt);
    cache.Set(L".XYZ", 9);
    EXPECT_EQ(cache.Lookup(L"C:\\b.xyz", kKindFile), 9);
}

}  // namespace
}  // namespace vm
