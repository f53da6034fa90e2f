// Sorting the rows of an item list by a click on a column header.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lists/ItemRecord.h"

namespace vm {

// The sort column and direction of a list; a header click picks them.
struct SortState {
    int column = 0;
    bool ascending = true;

    // The same column flips the direction; another column sorts ascending.
    void OnHeaderClick(int clickedColumn);
};

// Locale-aware, case-sensitive text comparison (lstrcmpW in the windows; an
// ordinal comparison by default, for tests).
using TextCompare = std::function<int(const std::wstring&, const std::wstring&)>;
int OrdinalCompare(const std::wstring& a, const std::wstring& b);

// One row as the comparison sees it: its record (may be null) and its text
// in the sort column.
struct SortRow {
    const ItemRecord* record = nullptr;
    const std::wstring* text = nullptr;
};

// Negative, zero or positive as a sorts before, with or after b. Rows without
// a record are equal to every row. Drive roots, folders and files form groups
// in that order (kind difference), except in the last two header columns
// (column >= headerCount - 2) where only the texts count; rows of one kind
// compare by their texts. A descending sort negates the result.
int CompareRows(const SortRow& a, const SortRow& b, const SortState& sort, int headerCount,
                const TextCompare& compare);

// Sorts record pointers (renumbered first: record->row = position) by the
// texts of the sort column, texts[i] belonging to records[i]; the sort is
// stable. Returns the records in their new order.
std::vector<ItemRecord*> SortRecords(std::vector<ItemRecord*> records,
                                     const std::vector<std::wstring>& texts, const SortState& sort,
                                     int headerCount, const TextCompare& compare = OrdinalCompare);

// One row as a sort by keys sees it: its kind and its text in the sort
// column (null: empty). Rows whose texts are the same object rank together
// without a comparison.
struct SortKey {
    int32_t kind = kKindFile;
    const std::wstring* text = nullptr;
};

// The order CompareRows gives rows that all have records, as positions into
// keys, stable. Each distinct text is ranked once among the others, and the
// rows are sorted by kind and rank: a column of few distinct texts (owners,
// types, access levels) costs few text comparisons however many rows there
// are, and a column of distinct names n log n of them, as before.
std::vector<size_t> SortOrder(const std::vector<SortKey>& keys, const SortState& sort,
                              int headerCount, const TextCompare& compare = OrdinalCompare);

}  // namespace vm
