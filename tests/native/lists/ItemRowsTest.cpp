#include "lists/ItemRows.h"

#include <gtest/gtest.h>

#include <random>

#include "lists/IconCache.h"

namespace vm {
namespace {

constexpr int kColumns = 6;
constexpr int kOwnerColumn = 4;

std::unique_ptr<ItemRecord> MakeRecord(const std::wstring& path, int32_t kind = kKindFile) {
    auto record = std::make_unique<ItemRecord>();
    record->path = path;
    record->kind = kind;
    return record;
}

// Rows named by their paths, with the name in column 0 and an owner.
ItemRows RowsOf(const std::vector<std::pair<std::wstring, std::wstring>>& pathsAndOwners) {
    ItemRows rows(kColumns);
    for (const auto& [path, owner] : pathsAndOwners) {
        const size_t row = rows.Append(MakeRecord(path));
        rows.SetText(row, 0, path);
        rows.SetText(row, kOwnerColumn, owner);
    }
    return rows;
}

std::vector<std::wstring> Paths(const ItemRows& rows) {
    std::vector<std::wstring> paths;
    for (size_t row = 0; row < rows.Count(); ++row) {
        paths.push_back(rows.Record(row)->path);
        EXPECT_EQ(rows.Record(row)->row, static_cast<int32_t>(row)) << "record tells a stale row";
    }
    return paths;
}

TEST(ItemRows, SortCarriesSelectionAndFocusToTheSameRecords) {
    ItemRows rows = RowsOf(
        {{L"d", L"Bob"}, {L"a", L"Zed"}, {L"c", L"Bob"}, {L"b", L"Administrators"}, {L"e", L""}});
    rows.MarkSelection({{0, 3}, 1});  // d and b selected, a focused
    rows.Sort(SortState{kOwnerColumn, true}, kColumns, OrdinalCompare);
    // Empty owner first; the two Bob rows keep their order (stable).
    EXPECT_EQ(Paths(rows), (std::vector<std::wstring>{L"e", L"b", L"d", L"c", L"a"}));
    RowSelection after = rows.MarkedSelection();
    EXPECT_EQ(after.selected, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(after.focused, 4u);

    rows.Sort(SortState{kOwnerColumn, false}, kColumns, OrdinalCompare);
    // Descending: equal rows still in their previous order, not reversed.
    EXPECT_EQ(Paths(rows), (std::vector<std::wstring>{L"a", L"d", L"c", L"b", L"e"}));
    after = rows.MarkedSelection();
    EXPECT_EQ(after.selected, (std::vector<size_t>{1, 3}));
    EXPECT_EQ(after.focused, 0u);
}

TEST(ItemRows, RemovingScatteredRowsHandsBackTheirRecordsAndMovesTheRest) {
    ItemRows rows = RowsOf({{L"r0", L""}, {L"r1", L""}, {L"r2", L""}, {L"r3", L""}, {L"r4", L""}});
    rows.MarkSelection({{1, 4}, 3});
    auto removed = rows.Remove({4, 0, 2, 2, 99});  // any order, a duplicate, one past the end
    ASSERT_EQ(removed.size(), 3u);
    EXPECT_EQ(removed[0]->path, L"r0");
    EXPECT_EQ(removed[2]->path, L"r4");
    EXPECT_EQ(Paths(rows), (std::vector<std::wstring>{L"r1", L"r3"}));
    const RowSelection after = rows.MarkedSelection();
    EXPECT_EQ(after.selected, (std::vector<size_t>{0}));
    EXPECT_EQ(after.focused, 1u);
    // The focused row itself removed: no focus is left behind on another row.
    rows.MarkSelection({{}, 1});
    rows.Remove({1});
    EXPECT_FALSE(rows.MarkedSelection().focused.has_value());
}

TEST(ItemRows, InsertClampsAndRenumbersTheRowsBelow) {
    ItemRows rows = RowsOf({{L"a", L""}, {L"c", L""}});
    EXPECT_EQ(rows.Insert(1, MakeRecord(L"b")), 1u);
    EXPECT_EQ(rows.Insert(50, MakeRecord(L"z")), 3u);
    EXPECT_EQ(Paths(rows), (std::vector<std::wstring>{L"a", L"b", L"c", L"z"}));
    // A new row's cells are empty, as are cells of columns that do not exist.
    EXPECT_EQ(rows.Text(1, 0), L"");
    EXPECT_EQ(rows.Text(0, kColumns), L"");
    EXPECT_EQ(rows.Text(9, 0), L"");
    EXPECT_EQ(rows.Record(9), nullptr);
}

TEST(ItemRows, CellTextsAreKeptOnceAndSurviveColumnChanges) {
    ItemRows rows = RowsOf({{L"a", L"Bob"}, {L"b", L"Bob"}});
    EXPECT_EQ(&rows.Text(0, kOwnerColumn), &rows.Text(1, kOwnerColumn));
    rows.SetText(0, kOwnerColumn, L"Carol");
    EXPECT_EQ(rows.Text(0, kOwnerColumn), L"Carol");
    EXPECT_EQ(rows.Text(1, kOwnerColumn), L"Bob");
    rows.SetColumnCount(2);
    EXPECT_EQ(rows.Text(0, 0), L"a");
    EXPECT_EQ(rows.Text(0, kOwnerColumn), L"");
    rows.SetText(0, kOwnerColumn, L"ignored");  // no such column now
    rows.SetColumnCount(kColumns);
    EXPECT_EQ(rows.Text(0, kOwnerColumn), L"");
    EXPECT_EQ(rows.Clear().size(), 2u);
    EXPECT_TRUE(rows.Empty());
}

TEST(ItemRows, TypeToFindMatchesNamesWithoutCaseFromTheStartRow) {
    ItemRows rows = RowsOf({{L"Alpha", L""}, {L"beta", L""}, {L"Banana", L""}, {L"alps", L""}});
    EXPECT_EQ(rows.FindByPrefix(L"B", 0, false), 1u);
    EXPECT_EQ(rows.FindByPrefix(L"b", 2, false), 2u);
    EXPECT_EQ(rows.FindByPrefix(L"ALPH", 1, false), std::nullopt);
    EXPECT_EQ(rows.FindByPrefix(L"ALPH", 1, true), 0u);
    EXPECT_EQ(rows.FindByPrefix(L"alps!", 0, true), std::nullopt);
    EXPECT_EQ(ItemRows(kColumns).FindByPrefix(L"a", 0, true), std::nullopt);
}

// The order by ranks is exactly the order of the row comparison the lists
// have always used, for every column and direction, missing items included.
TEST(SortOrder, MatchesTheRowComparisonOnRandomRows) {
    std::mt19937 random(7);
    const std::vector<std::wstring> texts = {L"", L"a", L"B", L"b", L"Bob", L"x"};
    const int32_t kinds[] = {kKindDriveRoot, kKindFolder, kKindFile, -kKindFolder, -kKindFile};
    std::vector<std::unique_ptr<ItemRecord>> owned;
    std::vector<ItemRecord*> records;
    std::vector<std::wstring> cellTexts;
    for (int i = 0; i < 300; ++i) {
        owned.push_back(MakeRecord(std::to_wstring(i), kinds[random() % 5]));
        records.push_back(owned.back().get());
        cellTexts.push_back(texts[random() % texts.size()]);
    }
    for (int column : {0, 3, 4, 5}) {
        for (bool ascending : {true, false}) {
            const SortState sort{column, ascending};
            std::vector<SortKey> keys;
            for (size_t i = 0; i < records.size(); ++i)
                keys.push_back({records[i]->kind, &cellTexts[i]});
            const std::vector<size_t> order = SortOrder(keys, sort, kColumns);
            const std::vector<ItemRecord*> expected =
                SortRecords(records, cellTexts, sort, kColumns);
            ASSERT_EQ(order.size(), expected.size());
            for (size_t i = 0; i < order.size(); ++i)
                ASSERT_EQ(records[order[i]], expected[i]) << column << ' ' << ascending << ' ' << i;
        }
    }
}

// A column of a few owners over many rows costs a few text comparisons, not
// one per pair of rows compared; texts the comparison finds equal share a
// rank, so such rows keep their order.
TEST(SortOrder, ComparesEachDistinctTextOnlyAmongTheOthers) {
    const std::wstring owners[] = {L"SYSTEM", L"Administrators", L"system"};
    std::vector<SortKey> keys;
    for (int i = 0; i < 10'000; ++i)
        keys.push_back({kKindFile, &owners[i % 3]});
    int comparisons = 0;
    const TextCompare caseless = [&](const std::wstring& a, const std::wstring& b) {
        ++comparisons;
        return ToUpperText(a).compare(ToUpperText(b));
    };
    const std::vector<size_t> order =
        SortOrder(keys, SortState{kOwnerColumn, true}, kColumns, caseless);
    EXPECT_LT(comparisons, 20);
    EXPECT_EQ(order[0], 1u);      // Administrators
    EXPECT_EQ(order[3'333], 0u);  // 3,333 of them, then SYSTEM and system as they came
    EXPECT_EQ(order[3'334], 2u);
    EXPECT_EQ(order[3'335], 3u);
}

}  // namespace
}  // namespace vm
