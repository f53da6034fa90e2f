#include "lists/RowSort.h"

#include <algorithm>
#include <unordered_map>

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

namespace {

const std::wstring kNoText;

const std::wstring* TextOf(const SortKey& key) {
    return key.text != nullptr ? key.text : &kNoText;
}

// The rank of every distinct text: equal ranks for texts the comparison
// finds equal, rising with the comparison's order.
std::unordered_map<const std::wstring*, uint32_t> RankTexts(const std::vector<SortKey>& keys,
                                                            const TextCompare& compare) {
    std::vector<const std::wstring*> distinct;
    std::unordered_map<const std::wstring*, uint32_t> ranks;
    for (const SortKey& key : keys)
        if (ranks.emplace(TextOf(key), 0).second)
            distinct.push_back(TextOf(key));
    std::sort(distinct.begin(), distinct.end(),
              [&](const std::wstring* a, const std::wstring* b) { return compare(*a, *b) < 0; });
    uint32_t rank = 0;
    for (size_t i = 0; i < distinct.size(); ++i) {
        if (i > 0 && compare(*distinct[i - 1], *distinct[i]) != 0)
            ++rank;
        ranks[distinct[i]] = rank;
    }
    return ranks;
}

}  // namespace

std::vector<size_t> SortOrder(const std::vector<SortKey>& keys, const SortState& sort,
                              int headerCount, const TextCompare& compare) {
    const auto ranks = RankTexts(keys, compare);
    const bool groupsCount = sort.column < headerCount - 2;
    struct Ranked {
        int64_t group;
        uint32_t rank;
        size_t position;
    };
    std::vector<Ranked> rows(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        rows[i] = {groupsCount ? keys[i].kind : 0, ranks.at(TextOf(keys[i])), i};
    auto before = [](const Ranked& a, const Ranked& b) {
        return a.group != b.group ? a.group < b.group : a.rank < b.rank;
    };
    // Descending negates the comparison: b before a, equal rows still in
    // their old order.
    if (sort.ascending)
        std::stable_sort(rows.begin(), rows.end(), before);
    else
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const Ranked& a, const Ranked& b) { return before(b, a); });
    std::vector<size_t> order(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        order[i] = rows[i].position;
    return order;
}

}  // namespace vm
