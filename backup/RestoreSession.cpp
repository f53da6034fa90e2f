#include "backup/RestoreSession.h"

#include "app/Texts.h"
#include "security/Rights.h"

namespace vm {
namespace {

constexpr std::array<int, kRestoreColumnCount> kFileWidths{160, 360, 100, 160, 170};
constexpr std::array<int, kRestoreColumnCount> kResetWidths{200, 250, 100, 160, 170};

}  // namespace

std::array<RestoreColumn, kRestoreColumnCount> RestoreColumns(RestoreMode mode) {
    const bool file = mode == RestoreMode::kFile;
    const wchar_t* titles = file ? kRestoreFileColumns : kRestoreResetColumns;
    const auto& widths = file ? kFileWidths : kResetWidths;
    std::array<RestoreColumn, kRestoreColumnCount> columns;
    for (size_t i = 0; i < kRestoreColumnCount; ++i)
        columns[i] = {ResourceListItem(titles, i), widths[i]};
    return columns;
}

std::array<int, kRestoreColumnCount> RestoreColumnOrder(RestoreMode mode) {
    if (mode == RestoreMode::kFile)
        return {kRestoreNameColumn, kRestorePathColumn, kRestoreAccessColumn, kRestoreOwnerColumn,
                kRestoreStatusColumn};
    return {0, 1, 2, 3, 4};
}

std::array<std::wstring, kRestoreColumnCount> RestoreRowCells(const RestoreRow& row) {
    return {row.name, row.path, row.status, row.AccessText(), row.owner};
}

RestoreLoad LoadBackupRows(const AppState& app, const std::wstring& file, Reporter& reporter) {
    RestoreLoad load;
    load.heading = file;
    BackupContents contents = ReadBackupFile(file, reporter);
    load.backupTime = contents.creationTime;
    if (contents.status == BackupReadStatus::kDamaged)
        reporter.Tell(FillPlaceholders(L"" STR_BACKUP_DAMAGED,
                                       {file, std::to_wstring(contents.items.size())}),
                      MessageIcon::kWarning);
    load.rows = RowsFromBackup(app.platform(), app.user, std::move(contents.items));
    return load;
}

RestoreLoad LoadResetRows(const AppState& app) {
    RestoreLoad load;
    load.heading = kResetHeading;
    load.rows = BuildResetRows(app.platform(), app.user, app.defaultDescriptors, app.fileSystems);
    return load;
}

std::vector<RestoreWork> WorkForRun(const std::vector<RestoreRow>& rows,
                                    const std::vector<bool>& ticked) {
    std::vector<RestoreWork> work = WorkFromRows(rows);
    for (size_t i = 0; i < work.size(); ++i)
        work[i].ticked = i < ticked.size() && ticked[i];
    return work;
}

}  // namespace vm
