// What the item lists show, as plain computation: the column set of each
// list, the texts of a row's cells, the kind of a path and the progress of a
// drop. The list windows call these; tests run them on any host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "lists/ItemRecord.h"
#include "platform/Platform.h"
#include "resources/strings.h"
#include "security/Rights.h"

namespace vm {

// ---- Columns ------------------------------------------------------------------

// Titles of string 183: Name;Type;Date created;Access rights of current
// user;Owner;File system;Folder;
inline constexpr std::wstring_view kItemListColumnTitles = L"" STR_ITEM_LIST_COLUMNS;
inline constexpr int kItemListWidths[7] = {300, 120, 135, 160, 170, 70, 200};

// Subitems of a main-window list.
enum ItemColumn : int {
    kColumnName = 0,
    kColumnType = 1,
    kColumnDate = 2,
    kColumnAccess = 3,
    kColumnOwner = 4,
    kColumnLocation = 5,  // "Folder" (edit list) or "File system" (browse list)
};

struct ColumnSpec {
    std::wstring title;
    int width = 0;
};

// The columns of an Edit (Folder last) or Browse (File system last, shown
// third) list: the subitems in order and the display order.
struct ColumnLayout {
    std::vector<ColumnSpec> columns;
    std::vector<int> displayOrder;
};
// All seven columns are made, "File system" is moved to display position 3,
// then "Folder" leaves the browse list and "File system" the edit list. The
// widths are named at 96 DPI and given at dpi.
ColumnLayout ItemListColumnLayout(ListMode mode, int dpi,
                                  std::wstring_view titles = kItemListColumnTitles);

// ---- Cell texts -----------------------------------------------------------------

inline constexpr const wchar_t* kUnknownCellText = L"???";

// PathFindFileNameW: the text after the last "\" that is not the path's last
// character; the whole path when it has none ("C:\" stays "C:\").
std::wstring FileNameOfPath(const std::wstring& path);
// PathRemoveFileSpecW: the path without its last component ("C:\Data\a.txt"
// gives "C:\Data", "C:\Data" gives "C:\", "C:\" stays).
std::wstring FolderPart(const std::wstring& path);

// Access cell: the level's text of string 187; empty for an unknown level.
std::wstring AccessCellText(int32_t access, std::wstring_view levels = kAccessLevelTexts);
// Owner cell: the owner's name, "???" when it could not be read.
std::wstring OwnerCellText(const std::wstring& ownerName);
// Location cell: the folder of the path (edit list) or the file system of
// its drive letter (browse list).
std::wstring LocationCellText(ListMode mode, const std::wstring& path,
                              const FileSystemTable& fileSystems);

// A calendar time (local time of the machine, computed by the caller).
struct CivilTime {
    int year = 1601;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};
// FILETIME (100 ns since 1601-01-01) to a calendar time in the same zone.
CivilTime CivilFromFileTime(uint64_t fileTime);
// "%Y-%m-%d %H:%M".
std::wstring FormatCivilTime(const CivilTime& time);
// The time "Date created" shows: the creation time, or the last-write time
// when the file system reports no creation time (zero).
uint64_t DisplayedCreationTime(uint64_t creationTime, uint64_t lastWriteTime);

// The creation and last-write times of a path (FindFirstFileW on the path
// itself); nullopt when they cannot be read (a drive root, a missing path).
struct ItemTimes {
    uint64_t creationTime = 0;
    uint64_t lastWriteTime = 0;
};
std::optional<ItemTimes> ReadItemTimes(Platform& platform, const std::wstring& path);

// One entry of a folder listing with what its row needs from the file
// system, so that a Browse Mode fill reads the folder once instead of asking
// about every entry again.
struct FolderEntry {
    std::wstring path;
    int32_t kind = kKindFile;
    std::optional<ItemTimes> times;
};
// FindFirstFileW / FindNextFileW over the folder, once: every entry but "."
// and "..", in the order found, hidden and system entries included. Empty
// when the folder cannot be read.
std::vector<FolderEntry> ReadFolderEntries(Platform& platform, const std::wstring& folder);
// The same for one path (a dropped or added item, a drive root).
FolderEntry ReadItemEntry(Platform& platform, const std::wstring& path);
// ReadItemEntry for each path, in order, with the same results; where many
// paths lie in one folder (a drop of a whole folder's files) the folder is
// listed once instead of each path being searched for.
std::vector<FolderEntry> ReadItemEntries(Platform& platform,
                                         const std::vector<std::wstring>& paths);
// From this many paths of one folder on, the folder is listed.
inline constexpr size_t kListFolderFromPaths = 8;

// ---- Kinds ------------------------------------------------------------------------

// File (2); folder (1) when the path is an existing directory; drive root (0)
// when it is a root, checked last so that a root is 0.
int32_t ItemKindOfPath(Platform& platform, const std::wstring& path);

// ---- Dropping files -----------------------------------------------------------------

// More names than this show the "Please Wait..." window.
inline constexpr size_t kDropWaitWindowThreshold = 300;
inline bool DropNeedsWaitWindow(size_t count) {
    return count > kDropWaitWindowThreshold;
}
// The wait window's progress before adding file b of n: b * 100 / n.
int DropProgress(size_t index, size_t count);

}  // namespace vm
