#include "lists/RowSort.h"

#include <algorithm>

namespace vm {

void SortState::OnHeaderClick(int clickedColumn) {
    ascending = clickedColumn == column ? !ascending : true;
    column = clickedColumn;
}

int OrdinalCompare(const std::wstring& a, const std::wstring& b) {
    return a.compare(b);
}

int CompareRows(const SortRow& a, const SortRow& b, const SortState& sort, int headerCount,
                const TextCompare& compare) {
    if (a.record == nullptr || b.record == nullptr)
        return 0;
    const int kindDifference = a.record->kind - b.record->kind;
    int result = kindDifference;
    if (sort.column >= headerCount - 2 || kindDifference == 0) {
        static const std::wstring kEmpty;
        result =
            compare(a.text != nullptr ? *a.text : kEmpty, b.text != nullptr ? *b.text : kEmpty);
    }
    return sort.ascending ? result : -result;
}

std::vector<ItemRecord*> SortRecords(std::vector<ItemRecord*> records,
                                     const std::vector<std::wstring>& texts, const SortState& sort,
                                     int headerCount, const TextCompare& compare) {
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i] != nullptr)
            records[i]->row = static_cast<int32_t>(i);
    // Sort positions, not records, so that rows without a record keep a text.
    std::vector<size_t> order(records.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    auto rowAt = [&](size_t i) {
        return SortRow{records[i], i < texts.size() ? &texts[i] : nullptr};
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        return CompareRows(rowAt(x), rowAt(y), sort, headerCount, compare) < 0;
    });
    std::vector<ItemRecord*> sorted;
    sorted.reserve(records.size());
    for (size_t i : order)
        sorted.push_back(records[i]);
    return sorted;
}

}  // namespace vm
