// The two-level list of the ACE tree control without its drawing: entry rows
// (one AceEntry each) that open into one right row per right, the cell texts
// of every row, the ticking rules of the Allow and Deny cells, and the
// recomposition of an entry's masks from its cells.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "advanced/AceEntries.h"
#include "resources/strings.h"
#include "security/Rights.h"

namespace vm {

// Columns of the list (string 193 ";Type;;Allow;Deny;Inherited From;Apply to;").
namespace ace_column {
inline constexpr int kToggle = 0;
inline constexpr int kType = 1;
inline constexpr int kName = 2;
inline constexpr int kAllow = 3;
inline constexpr int kDeny = 4;
inline constexpr int kInheritedFrom = 5;
inline constexpr int kApplyTo = 6;  // containers only
}  // namespace ace_column

inline constexpr const wchar_t* kAceListColumns = L"" STR_ACE_LIST_COLUMNS;
inline constexpr const wchar_t* kTickedCell = L"*";
inline constexpr const wchar_t* kClosedEntry = L"+";
inline constexpr const wchar_t* kOpenedEntry = L"-";
// Width of the drop-down arrow at the right end of an entry's "Apply to" cell.
inline constexpr int kScopeArrowWidth = 20;

// Told of every change in the number of rows, so that a list control can
// insert and delete its items at the same places (its selection then moves
// with the rows, as the model's rows move).
class AceTreeListener {
  public:
    virtual ~AceTreeListener() = default;
    virtual void RowsInserted(size_t at, size_t count) = 0;
    virtual void RowsRemoved(size_t at, size_t count) = 0;
};

// Where selected rows (ascending) are after rows were inserted or removed at
// `at`: those below move with them, removed ones drop out. A list that keeps
// no items of its own (a virtual list) moves its selection so.
std::vector<size_t> RowsAfterInsert(const std::vector<size_t>& rows, size_t at, size_t count);
std::vector<size_t> RowsAfterRemove(const std::vector<size_t>& rows, size_t at, size_t count);

class AceTreeModel {
  public:
    void Init(std::wstring path, bool isFile, bool readOnly);
    // Null for none; the listener must outlive the model or be replaced.
    void SetListener(AceTreeListener* listener) { listener_ = listener; }

    const std::wstring& path() const { return path_; }
    bool isFile() const { return isFile_; }
    bool readOnly() const { return readOnly_; }
    int ColumnCount() const { return isFile_ ? 6 : 7; }
    // 13 for a file (no "Delete subfolders and files"), 14 for a container.
    size_t RightRowCount() const;

    size_t RowCount() const { return rows_.size(); }
    bool IsEntryRow(size_t row) const;
    bool IsOpened(size_t row) const;
    // A row is inherited when its "Inherited From" column is not empty.
    bool IsInheritedRow(size_t row) const;
    // The entry of an entry row; nullptr for right rows and rows out of range.
    const AceEntry* EntryAt(size_t row) const;
    // The right index (0 to 13) of a right row.
    std::optional<size_t> RightIndexAt(size_t row) const;
    // The entry row a row belongs to (itself for an entry row).
    std::optional<size_t> OwningEntryRow(size_t row) const;
    std::wstring CellText(size_t row, int column) const;

    // Inserts a closed entry row with a copy of entry at position (clamped
    // to the end); the copy's inheritedFrom moves to the row's column.
    void AddEntryRow(const AceEntry& entry, size_t position);
    // One entry row per entry at positions 0, 1, 2, ...; the number of
    // inherited entries.
    size_t FillEntryRows(const std::vector<AceEntry>& entries);
    // Opens a closed entry row or closes an opened one (recomposing its
    // masks); false on a right row.
    bool ToggleEntry(size_t row);
    // Closes and removes an entry row; right rows are left alone.
    bool DeleteEntryRow(size_t row);
    void DeleteAllRows();
    // Deletes one row as it is: a right row alone (the inheritance question
    // deletes those of an opened inherited entry one by one), an entry row
    // with the right rows still below it.
    bool DeleteRow(size_t row);
    // The inheritance question's "Convert": the entry becomes explicit, and
    // the row's "Inherited From" column empty.
    void ClearInheritedFlag(size_t row);
    void ClearInheritedFrom(size_t row);
    // Sets an opened entry's masks from its cells; nothing for a closed row.
    void RecomposeEntry(size_t row);
    // Closes every opened entry from the last row up and returns the entries
    // in row order, as write-back and copying need them.
    std::vector<AceEntry> CloseAllAndCollect();

    // A click on the Allow or Deny cell of a right row. False (nothing
    // changed, nothing to tell the dialog) when read-only, on an inherited
    // row, an entry row or another column.
    bool ClickCell(size_t row, int column);
    // True when a click at x (pixels from the cell's left edge) in the
    // "Apply to" cell of cellWidth opens the scope menu.
    bool IsScopeArrowClick(size_t row, int column, int x, int cellWidth) const;
    // The scope chosen from the menu for an explicit entry row.
    bool SetEntryScope(size_t row, uint8_t scope);

  private:
    struct Row {
        bool isEntry = false;
        bool opened = false;
        AceEntry entry;         // entry rows
        size_t rightIndex = 0;  // right rows
        bool allowTicked = false;
        bool denyTicked = false;
        std::wstring inheritedFrom;  // column 5
    };

    std::vector<size_t> RightIndices() const;
    void Open(size_t row);
    void Close(size_t row);
    void Inserted(size_t at, size_t count) const;
    void Removed(size_t at, size_t count) const;
    void Recompose(Row& entryRow, size_t firstRightRow) const;
    static bool& Cell(Row& row, int column) {
        return column == ace_column::kAllow ? row.allowTicked : row.denyTicked;
    }

    std::wstring path_;
    bool isFile_ = false;
    bool readOnly_ = false;
    std::vector<Row> rows_;
    AceTreeListener* listener_ = nullptr;
};

}  // namespace vm
