#include "advanced/AceTreeModel.h"

#include <algorithm>
#include <utility>

namespace vm {

std::vector<size_t> RowsAfterInsert(const std::vector<size_t>& rows, size_t at, size_t count) {
    std::vector<size_t> moved;
    for (size_t row : rows)
        moved.push_back(row >= at ? row + count : row);
    return moved;
}

std::vector<size_t> RowsAfterRemove(const std::vector<size_t>& rows, size_t at, size_t count) {
    std::vector<size_t> moved;
    for (size_t row : rows) {
        if (row < at)
            moved.push_back(row);
        else if (row >= at + count)
            moved.push_back(row - count);
    }
    return moved;
}

void AceTreeModel::Init(std::wstring path, bool isFile, bool readOnly) {
    path_ = std::move(path);
    isFile_ = isFile;
    readOnly_ = readOnly;
}

void AceTreeModel::Inserted(size_t at, size_t count) const {
    if (listener_ && count > 0)
        listener_->RowsInserted(at, count);
}

void AceTreeModel::Removed(size_t at, size_t count) const {
    if (listener_ && count > 0)
        listener_->RowsRemoved(at, count);
}

std::vector<size_t> AceTreeModel::RightIndices() const {
    std::vector<size_t> indices;
    for (size_t i = 0; i < kRightCount; ++i) {
        if (RightApplies(i, !isFile_))
            indices.push_back(i);
    }
    return indices;
}

size_t AceTreeModel::RightRowCount() const {
    return RightIndices().size();
}

bool AceTreeModel::IsEntryRow(size_t row) const {
    return row < rows_.size() && rows_[row].isEntry;
}

bool AceTreeModel::IsOpened(size_t row) const {
    return IsEntryRow(row) && rows_[row].opened;
}

bool AceTreeModel::IsInheritedRow(size_t row) const {
    return row < rows_.size() && !rows_[row].inheritedFrom.empty();
}

const AceEntry* AceTreeModel::EntryAt(size_t row) const {
    return IsEntryRow(row) ? &rows_[row].entry : nullptr;
}

std::optional<size_t> AceTreeModel::RightIndexAt(size_t row) const {
    if (row >= rows_.size() || rows_[row].isEntry)
        return std::nullopt;
    return rows_[row].rightIndex;
}

std::optional<size_t> AceTreeModel::OwningEntryRow(size_t row) const {
    if (row >= rows_.size())
        return std::nullopt;
    for (size_t at = row + 1; at-- > 0;) {
        if (rows_[at].isEntry)
            return at;
    }
    return std::nullopt;
}

std::wstring AceTreeModel::CellText(size_t row, int column) const {
    if (row >= rows_.size())
        return {};
    const Row& r = rows_[row];
    if (column == ace_column::kInheritedFrom)
        return r.inheritedFrom;
    if (r.isEntry) {
        switch (column) {
            case ace_column::kToggle:
                return r.opened ? kOpenedEntry : kClosedEntry;
            case ace_column::kType:
                return AceTypeText(r.entry.type);
            case ace_column::kName:
                return DisplayName(r.entry.name);
            case ace_column::kApplyTo:
                return isFile_ ? std::wstring() : ScopeText(r.entry.scope);
            default:
                return {};
        }
    }
    switch (column) {
        case ace_column::kName:
            return RightName(r.rightIndex);
        case ace_column::kAllow:
            return r.allowTicked ? kTickedCell : L"";
        case ace_column::kDeny:
            return r.denyTicked ? kTickedCell : L"";
        default:
            return {};
    }
}

void AceTreeModel::AddEntryRow(const AceEntry& entry, size_t position) {
    Row row;
    row.isEntry = true;
    row.entry = entry;
    row.inheritedFrom = std::move(row.entry.inheritedFrom);
    row.entry.inheritedFrom.clear();
    position = std::min(position, rows_.size());
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(position), std::move(row));
    Inserted(position, 1);
}

size_t AceTreeModel::FillEntryRows(const std::vector<AceEntry>& entries) {
    // The listener hears of the rows once, as one block.
    AceTreeListener* listener = std::exchange(listener_, nullptr);
    size_t inherited = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        AddEntryRow(entries[i], i);
        if (entries[i].inherited)
            ++inherited;
    }
    listener_ = listener;
    Inserted(0, entries.size());
    return inherited;
}

void AceTreeModel::Open(size_t row) {
    Row& entryRow = rows_[row];
    RightSet allow = RightsFromMask(entryRow.entry.allow, !isFile_);
    RightSet deny = RightsFromMask(entryRow.entry.deny, !isFile_);
    std::vector<Row> rights;
    for (size_t index : RightIndices()) {
        Row right;
        right.rightIndex = index;
        right.allowTicked = allow[index];
        right.denyTicked = deny[index];
        right.inheritedFrom = entryRow.inheritedFrom;
        rights.push_back(std::move(right));
    }
    entryRow.opened = true;
    const size_t count = rights.size();
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(row + 1),
                 std::make_move_iterator(rights.begin()), std::make_move_iterator(rights.end()));
    Inserted(row + 1, count);
}

void AceTreeModel::Recompose(Row& entryRow, size_t firstRightRow) const {
    RightSet allow{};
    RightSet deny{};
    for (size_t at = firstRightRow; at < rows_.size() && !rows_[at].isEntry; ++at) {
        allow[rows_[at].rightIndex] = rows_[at].allowTicked;
        deny[rows_[at].rightIndex] = rows_[at].denyTicked;
    }
    // The cells replace the masks: generic bits and SYNCHRONIZE are gone.
    entryRow.entry.allow = MaskFromRights(allow, !isFile_);
    entryRow.entry.deny = MaskFromRights(deny, !isFile_);
}

void AceTreeModel::Close(size_t row) {
    Recompose(rows_[row], row + 1);
    size_t end = row + 1;
    while (end < rows_.size() && !rows_[end].isEntry)
        ++end;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row + 1),
                rows_.begin() + static_cast<std::ptrdiff_t>(end));
    rows_[row].opened = false;
    Removed(row + 1, end - row - 1);
}

bool AceTreeModel::ToggleEntry(size_t row) {
    if (!IsEntryRow(row))
        return false;
    if (rows_[row].opened)
        Close(row);
    else
        Open(row);
    return true;
}

bool AceTreeModel::DeleteEntryRow(size_t row) {
    if (!IsEntryRow(row))
        return false;
    return DeleteRow(row);
}

void AceTreeModel::DeleteAllRows() {
    const size_t count = rows_.size();
    rows_.clear();
    Removed(0, count);
}

bool AceTreeModel::DeleteRow(size_t row) {
    if (row >= rows_.size())
        return false;
    // An entry row takes the right rows still below it along, so that none
    // is left under another entry.
    size_t end = row + 1;
    if (rows_[row].isEntry) {
        while (end < rows_.size() && !rows_[end].isEntry)
            ++end;
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row),
                rows_.begin() + static_cast<std::ptrdiff_t>(end));
    Removed(row, end - row);
    return true;
}

void AceTreeModel::ClearInheritedFlag(size_t row) {
    if (IsEntryRow(row))
        rows_[row].entry.inherited = 0;
}

void AceTreeModel::ClearInheritedFrom(size_t row) {
    if (row < rows_.size())
        rows_[row].inheritedFrom.clear();
}

void AceTreeModel::RecomposeEntry(size_t row) {
    if (IsOpened(row))
        Recompose(rows_[row], row + 1);
}

std::vector<AceEntry> AceTreeModel::CloseAllAndCollect() {
    for (size_t row = rows_.size(); row-- > 0;) {
        if (IsOpened(row))
            Close(row);
    }
    std::vector<AceEntry> entries;
    for (const Row& row : rows_)
        entries.push_back(row.entry);
    return entries;
}

bool AceTreeModel::ClickCell(size_t row, int column) {
    if (readOnly_ || row >= rows_.size() || rows_[row].isEntry || IsInheritedRow(row))
        return false;
    if (column != ace_column::kAllow && column != ace_column::kDeny)
        return false;
    auto entryRow = OwningEntryRow(row);
    if (!entryRow)
        return false;
    int other = column == ace_column::kAllow ? ace_column::kDeny : ace_column::kAllow;
    size_t fullControlRow = *entryRow + 1;
    size_t end = fullControlRow;
    while (end < rows_.size() && !rows_[end].isEntry)
        ++end;
    bool clickedFullControl = row == fullControlRow;
    Row& clicked = rows_[row];
    Row& fullControl = rows_[fullControlRow];
    if (Cell(clicked, column)) {
        if (clickedFullControl) {
            for (size_t at = fullControlRow; at < end; ++at)
                Cell(rows_[at], column) = false;
        } else {
            Cell(clicked, column) = false;
            Cell(fullControl, column) = false;
        }
    } else if (clickedFullControl) {
        for (size_t at = fullControlRow; at < end; ++at) {
            Cell(rows_[at], column) = true;
            Cell(rows_[at], other) = false;
        }
    } else {
        Cell(clicked, column) = true;
        Cell(clicked, other) = false;
        Cell(fullControl, other) = false;
    }
    return true;
}

bool AceTreeModel::IsScopeArrowClick(size_t row, int column, int x, int cellWidth) const {
    return !readOnly_ && !isFile_ && column == ace_column::kApplyTo && IsEntryRow(row) &&
           !IsInheritedRow(row) && x >= cellWidth - kScopeArrowWidth && x < cellWidth;
}

bool AceTreeModel::SetEntryScope(size_t row, uint8_t scope) {
    if (readOnly_ || !IsEntryRow(row) || IsInheritedRow(row))
        return false;
    rows_[row].entry.scope = scope;
    return true;
}

}  // namespace vm
