// What the Restore window decides, without the window: the rows it loads in
// each mode, the columns it shows, the cells of a row, when its row commands
// are offered, and the run's bookkeeping (which rows a run writes, what a
// finished row shows).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "backup/RestoreModel.h"
#include "backup/RestoreRunner.h"
#include "platform/Reporter.h"

namespace vm {

inline constexpr size_t kRestoreColumnCount = 5;
// The subitems of both modes.
inline constexpr int kRestoreNameColumn = 0;
inline constexpr int kRestorePathColumn = 1;
inline constexpr int kRestoreStatusColumn = 2;  // result, or file system in reset mode
inline constexpr int kRestoreAccessColumn = 3;
inline constexpr int kRestoreOwnerColumn = 4;

struct RestoreColumn {
    std::wstring title;
    int widthAt96 = 0;
};
// Subitem order (string 184 or 203).
std::array<RestoreColumn, kRestoreColumnCount> RestoreColumns(RestoreMode mode);
// The display order of the subitems: in file mode "Status" shows last.
std::array<int, kRestoreColumnCount> RestoreColumnOrder(RestoreMode mode);

// A row's cells by subitem.
std::array<std::wstring, kRestoreColumnCount> RestoreRowCells(const RestoreRow& row);

struct RestoreLoad {
    std::wstring heading;     // the file's path, or the reset heading
    std::wstring backupTime;  // the file's creation time; empty in reset mode
    std::vector<RestoreRow> rows;
};

// File mode: the file's items as rows. A file of unknown format is told by
// the reader and loads nothing; a damaged one loads its complete items and
// says so; a file that cannot be opened loads nothing and says nothing.
RestoreLoad LoadBackupRows(const AppState& app, const std::wstring& file, Reporter& reporter);
// Reset mode: the drive roots and system folders.
RestoreLoad LoadResetRows(const AppState& app);

// "Copy Security Settings" and "Advanced Security Settings..." need exactly
// one selected row.
inline bool RowCommandsEnabled(size_t selectedRows) {
    return selectedRows == 1;
}

// What a run does with the rows: in reset mode only the ticked ones (given
// by the window's check boxes) are written.
std::vector<RestoreWork> WorkForRun(const std::vector<RestoreRow>& rows,
                                    const std::vector<bool>& ticked);

}  // namespace vm
