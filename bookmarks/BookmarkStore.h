// The bookmark file ("Bookmark" beside the program, profile-file syntax):
// section "INFO" key "CONUT" (spelled so in every existing file) holds the
// count n; sections "0" to "n-1" hold MODE, NAME, PATHS and LENGTH. Sections
// numbered n or higher may linger from earlier states and are never read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "resources/resource.h"

namespace vm {

inline constexpr const wchar_t* kBookmarkFileName = L"Bookmark";
inline constexpr int kFirstBookmarkCommand = ID_BOOKMARK_FIRST_ENTRY;
// Bookmark commands must stay below the other menu ids; a hand-edited count
// beyond this is read as this many.
inline constexpr int kMaxBookmarks = 1000;
// GetPrivateProfileStringW buffer of a bookmark's name.
inline constexpr size_t kBookmarkNameBufferChars = 260;

enum class BookmarkMode : uint8_t {
    kSelectedItems = 0,
    kAllItems = 1,
    kCurrentFolder = 2,
};

struct BookmarkIndexEntry {
    uint8_t mode = 0;
    std::wstring name;
    bool operator==(const BookmarkIndexEntry&) const = default;
};

// The names the menus and the Bookmark Manager show, in position order.
struct BookmarkIndex {
    std::vector<BookmarkIndexEntry> entries;
    int count() const { return static_cast<int>(entries.size()); }
};

// One bookmark as the manager rewrites it.
struct BookmarkRecord {
    uint8_t mode = 0;
    std::wstring name;
    std::wstring paths;  // the stored paths text
};

BookmarkIndex LoadBookmarkIndex(const std::wstring& file);

// Appends a bookmark as section "CONUT" and raises the count, in one write
// of the file. The caller loads the index again afterwards.
Status AddBookmark(const std::wstring& file, uint8_t mode, const std::wstring& name,
                   const std::wstring& paths);
// Writes the count and sections 0 .. t-1 from the records in order; later
// sections stay in the file unread.
Status RewriteBookmarks(const std::wstring& file, const std::vector<BookmarkRecord>& records);

// The paths text of bookmark i, read into a buffer of LENGTH + 10 characters.
std::wstring ReadBookmarkPaths(const std::wstring& file, int index);

// What opening bookmark i shows: mode 2 navigates Browse Mode to the one
// folder; every other mode fills the Edit Mode list with the paths up to the
// first empty part.
struct OpenedBookmark {
    uint8_t mode = 0;
    int viewMode = 1;                 // the view the main window switches to
    std::vector<std::wstring> paths;  // mode 2: exactly the folder
};
OpenedBookmark OpenBookmark(const std::wstring& file, int index);

// "p1|p2|" for items, the folder alone for mode 2.
std::wstring BuildBookmarkPaths(BookmarkMode mode, const std::vector<std::wstring>& paths);
// The paths text as the Bookmark Manager's second line shows it.
std::wstring BookmarkPathsForDisplay(const std::wstring& paths);
// The parts of a paths text up to (not including) the first empty part.
std::vector<std::wstring> SplitBookmarkPaths(const std::wstring& paths);

int BookmarkCommandId(int index);
// The bookmark a menu command opens, when it is one of the count.
std::optional<int> BookmarkFromCommand(int commandId, int count);

}  // namespace vm
