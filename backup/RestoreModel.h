// The rows of the Restore window without the window: rows read from a backup
// file (file mode) or the drive roots and system folders with their default
// descriptors (reset mode), the access computed from a stored descriptor, and
// copying a row's settings into the copy buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "backup/BackupFile.h"
#include "backup/DefaultDescriptors.h"
#include "backup/RestoreMode.h"
#include "lists/ItemRecord.h"
#include "platform/Platform.h"
#include "resources/strings.h"
#include "security/AccessEvaluation.h"
#include "security/DaclEdits.h"

namespace vm {

// String 184 (file mode columns) and 203 (reset mode columns).
inline constexpr const wchar_t* kRestoreFileColumns = L"" STR_RESTORE_FILE_COLUMNS;
inline constexpr const wchar_t* kRestoreResetColumns = L"" STR_RESTORE_RESET_COLUMNS;
// String 204: the labels of reset rows.
inline constexpr const wchar_t* kResetLabels = L"" STR_RESET_LABELS;
// String 205: the per-row results of a file-mode run.
inline constexpr const wchar_t* kRestoreResults = L"" STR_RESTORE_RESULTS;
// String 206: the heading of reset mode.
inline constexpr const wchar_t* kResetHeading = L"" STR_RESET_HEADING;
// First part of string 182: the clipboard indicator's suffix for a backup row.
inline constexpr const wchar_t* kBackupMarker = L"(Backup)";

// One row: the ItemRecord fields and the cell texts the window shows.
struct RestoreRow {
    std::wstring path;
    int32_t row = 0;
    int32_t kind = kKindFile;
    int32_t access = kAccessUnknown;  // AccessLevel, or kAccessUnknown
    std::optional<Bytes> descriptor;  // what a restore writes; none: left alone
    std::wstring name;                // column 0
    std::wstring status;              // column 2: result (file mode) or file system (reset)
    std::wstring owner;               // column 4: the owner to give back
    bool checked = false;             // reset mode check box

    // Column 3: the part of string 187, empty for an unknown level.
    std::wstring AccessText() const;
};

// The file-system name per drive letter, as the program keeps it at start-up.
inline FileSystemTable ReadFileSystemTable(Platform& platform) {
    return FileSystemTable::Read(platform);
}

// The name column of a path as PathFindFileNameW gives it (a drive root
// whole).
std::wstring FileNamePart(const std::wstring& path);

// 0 for a drive root ("C:\"), 1 for an existing directory, else 2.
int32_t KindOfPath(Platform& platform, const std::wstring& path);

// The current user's level by a stored descriptor: kAccessUnknown when the
// user's SID cannot be looked up or the bytes are not a descriptor; Allowed
// for a missing or NULL DACL; else the level of the applying entries.
int32_t AccessFromStoredDescriptor(Platform& platform, const UserIdentity& user,
                                   const Bytes& descriptor, SidNameCache& names);

// File mode: one row per backup item, in file order.
std::vector<RestoreRow> RowsFromBackup(Platform& platform, const UserIdentity& user,
                                       std::vector<BackupItem> items);

// Reset mode: the existing drive roots A to Z, then the Windows, system and
// 32-bit system directories. Only rows on NTFS get a default descriptor.
std::vector<RestoreRow> BuildResetRows(Platform& platform, const UserIdentity& user,
                                       const DefaultDescriptors& defaults,
                                       const FileSystemTable& fileSystems);

// "Copy Security Settings" of one row: the descriptor and the owner text go
// to the copy buffer. False (buffer unchanged) for a row without descriptor.
bool CopyRowSettings(const RestoreRow& row, CopyBuffer& buffer);
// The clipboard indicator's text after such a copy: path, blank, "(Backup)".
std::wstring BackupClipboardText(const std::wstring& path);

}  // namespace vm
