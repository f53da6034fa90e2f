// The rows of an item list, held here rather than in the list view: each
// row's record, the texts of its cells, its icon, its check box and, while
// rows move, its selection. The list view (an owner-data list) keeps only
// the number of rows and the selection by position, and asks for what it
// draws; adding, removing, refreshing and sorting rows are operations on
// this model followed by one redraw of what is in view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "lists/ItemRecord.h"
#include "lists/RowSort.h"

namespace vm {

// The cell texts of a list, each distinct text kept once: a folder of
// 100,000 files has a few types, dates and owners, so a row's cells are
// pointers into the pool. The pointers stay valid until Clear().
class TextPool {
  public:
    const std::wstring* Intern(std::wstring_view text);
    void Clear() { texts_.clear(); }
    size_t Size() const { return texts_.size(); }

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::wstring_view text) const noexcept {
            return std::hash<std::wstring_view>{}(text);
        }
    };
    std::unordered_set<std::wstring, Hash, std::equal_to<>> texts_;
};

// Which rows were selected and which had the focus, by position.
struct RowSelection {
    std::vector<size_t> selected;  // ascending
    std::optional<size_t> focused;
};

class ItemRows {
  public:
    explicit ItemRows(int columnCount = 0) : columnCount_(columnCount) {}

    // The number of cell texts each row has; rows added later get this
    // many. Changing it keeps the rows' texts for the columns that stay.
    void SetColumnCount(int columns);
    int ColumnCount() const { return columnCount_; }

    size_t Count() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }
    // The record of a row, or null past the end.
    ItemRecord* Record(size_t row) const;
    // A cell's text; empty for a row or column that does not exist.
    const std::wstring& Text(size_t row, int column) const;
    int Image(size_t row) const;
    bool Checked(size_t row) const;

    // Adds a row at index (clamped to the count) with empty cells and gives
    // its position; the rows after it move down one. Every record tells its
    // row (ItemRecord::row) after every operation of this model.
    size_t Insert(size_t index, std::unique_ptr<ItemRecord> record, int image = 0);
    size_t Append(std::unique_ptr<ItemRecord> record, int image = 0) {
        return Insert(rows_.size(), std::move(record), image);
    }
    // Room for this many rows in all (a fill of a known size).
    void Reserve(size_t rows) { rows_.reserve(rows); }
    void SetText(size_t row, int column, std::wstring_view text);
    void SetImage(size_t row, int image);
    void SetChecked(size_t row, bool checked);

    // Removes the rows at these positions (any order, duplicates and
    // positions past the end ignored) and hands back their records, in row
    // order. The selection marked before moves with the rows that stay.
    std::vector<std::unique_ptr<ItemRecord>> Remove(std::vector<size_t> rows);
    // Removes every row; hands back the records.
    std::vector<std::unique_ptr<ItemRecord>> Clear();

    // Sorts the rows stably by the texts of the sort column (CompareRows'
    // order, see SortOrder). The selection marked before moves with them.
    void Sort(const SortState& sort, int headerCount, const TextCompare& compare);

    // The selection of the list view, marked on the rows before they move
    // and read back, at the rows' new positions, after.
    void MarkSelection(const RowSelection& selection);
    RowSelection MarkedSelection() const;

    // The first row at or after start (wrapping round when asked) whose
    // column-0 text starts with prefix, compared without case; the list
    // view's type-to-find. nullopt when none does.
    std::optional<size_t> FindByPrefix(std::wstring_view prefix, size_t start, bool wrap) const;

  private:
    struct Row {
        std::unique_ptr<ItemRecord> record;
        std::vector<const std::wstring*> cells;  // into texts_; null: empty
        int32_t image = 0;
        bool checked = false;
        bool selected = false;  // marked by MarkSelection
        bool focused = false;
    };
    void Renumber(size_t from);

    int columnCount_ = 0;
    std::vector<Row> rows_;
    TextPool texts_;
};

}  // namespace vm
