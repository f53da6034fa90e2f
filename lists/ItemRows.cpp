#include "lists/ItemRows.h"

#include <algorithm>
#include <cwctype>

namespace vm {
namespace {

const std::wstring kNoText;

bool StartsWithNoCase(const std::wstring& text, std::wstring_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towupper(static_cast<wint_t>(text[i])) !=
            std::towupper(static_cast<wint_t>(prefix[i])))
            return false;
    return true;
}

}  // namespace

const std::wstring* TextPool::Intern(std::wstring_view text) {
    if (text.empty())
        return nullptr;
    if (auto found = texts_.find(text); found != texts_.end())
        return &*found;
    return &*texts_.emplace(text).first;
}

void ItemRows::SetColumnCount(int columns) {
    columnCount_ = std::max(columns, 0);
    for (Row& row : rows_)
        row.cells.resize(static_cast<size_t>(columnCount_), nullptr);
}

ItemRecord* ItemRows::Record(size_t row) const {
    return row < rows_.size() ? rows_[row].record.get() : nullptr;
}

const std::wstring& ItemRows::Text(size_t row, int column) const {
    if (row >= rows_.size() || column < 0 || column >= columnCount_)
        return kNoText;
    const std::wstring* text = rows_[row].cells[static_cast<size_t>(column)];
    return text != nullptr ? *text : kNoText;
}

int ItemRows::Image(size_t row) const {
    return row < rows_.size() ? rows_[row].image : 0;
}

bool ItemRows::Checked(size_t row) const {
    return row < rows_.size() && rows_[row].checked;
}

size_t ItemRows::Insert(size_t index, std::unique_ptr<ItemRecord> record, int image) {
    index = std::min(index, rows_.size());
    Row row;
    row.record = std::move(record);
    row.cells.assign(static_cast<size_t>(columnCount_), nullptr);
    row.image = image;
    rows_.insert(rows_.begin() + static_cast<ptrdiff_t>(index), std::move(row));
    Renumber(index);
    return index;
}

void ItemRows::SetText(size_t row, int column, std::wstring_view text) {
    if (row >= rows_.size() || column < 0 || column >= columnCount_)
        return;
    rows_[row].cells[static_cast<size_t>(column)] = texts_.Intern(text);
}

void ItemRows::SetImage(size_t row, int image) {
    if (row < rows_.size())
        rows_[row].image = image;
}

void ItemRows::SetChecked(size_t row, bool checked) {
    if (row < rows_.size())
        rows_[row].checked = checked;
}

std::vector<std::unique_ptr<ItemRecord>> ItemRows::Remove(std::vector<size_t> rows) {
    std::vector<bool> removed(rows_.size(), false);
    for (size_t row : rows)
        if (row < rows_.size())
            removed[row] = true;
    std::vector<std::unique_ptr<ItemRecord>> records;
    size_t kept = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (removed[i]) {
            records.push_back(std::move(rows_[i].record));
            continue;
        }
        if (kept != i)
            rows_[kept] = std::move(rows_[i]);
        ++kept;
    }
    rows_.resize(kept);
    Renumber(0);
    return records;
}

std::vector<std::unique_ptr<ItemRecord>> ItemRows::Clear() {
    std::vector<std::unique_ptr<ItemRecord>> records;
    records.reserve(rows_.size());
    for (Row& row : rows_)
        records.push_back(std::move(row.record));
    rows_.clear();
    texts_.Clear();
    return records;
}

void ItemRows::Sort(const SortState& sort, int headerCount, const TextCompare& compare) {
    std::vector<SortKey> keys(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        keys[i].kind = row.record ? row.record->kind : kKindFile;
        if (sort.column >= 0 && sort.column < columnCount_)
            keys[i].text = row.cells[static_cast<size_t>(sort.column)];
    }
    const std::vector<size_t> order = SortOrder(keys, sort, headerCount, compare);
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (size_t position : order)
        sorted.push_back(std::move(rows_[position]));
    rows_ = std::move(sorted);
    Renumber(0);
}

void ItemRows::MarkSelection(const RowSelection& selection) {
    for (Row& row : rows_)
        row.selected = row.focused = false;
    for (size_t row : selection.selected)
        if (row < rows_.size())
            rows_[row].selected = true;
    if (selection.focused && *selection.focused < rows_.size())
        rows_[*selection.focused].focused = true;
}

RowSelection ItemRows::MarkedSelection() const {
    RowSelection selection;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].selected)
            selection.selected.push_back(i);
        if (rows_[i].focused)
            selection.focused = i;
    }
    return selection;
}

std::optional<size_t> ItemRows::FindByPrefix(std::wstring_view prefix, size_t start,
                                             bool wrap) const {
    const size_t count = rows_.size();
    if (count == 0)
        return std::nullopt;
    start = std::min(start, count);
    const size_t steps = wrap ? count : count - start;
    for (size_t step = 0; step < steps; ++step) {
        const size_t row = (start + step) % count;
        if (StartsWithNoCase(Text(row, 0), prefix))
            return row;
    }
    return std::nullopt;
}

void ItemRows::Renumber(size_t from) {
    for (size_t i = from; i < rows_.size(); ++i)
        if (rows_[i].record)
            rows_[i].record->row = static_cast<int32_t>(i);
}

}  // namespace vm
