// What the three "Bookmark ..." commands of the main menu decide before and
// after the "Add bookmark" dialog: which kind of bookmark a command makes,
// the dialog's prompt and default name, and which paths go into it.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "bookmarks/BookmarkStore.h"

namespace vm {

// Commands 32806, 32807 and 32808 make modes 0, 1 and 2 (command - 32806).
std::optional<BookmarkMode> BookmarkModeOfCommand(uint32_t commandId);

// The menu text of the command that opens the dialog ("Bookmark selected
// items..."); the prompt is that text with every "..." made ".".
std::wstring BookmarkMenuText(BookmarkMode mode);
std::wstring BookmarkPrompt(const std::wstring& menuText);

// "Bookmark-%Y-%m-%d %H:%M:%S" of a local time.
std::wstring DefaultBookmarkName(const std::tm& localTime);

// The paths a bookmark of that mode keeps: the current folder (mode 2), the
// selected rows in row order (mode 0) or every row in row order (mode 1).
std::vector<std::wstring> BookmarkedPaths(BookmarkMode mode, const std::wstring& currentFolder,
                                          const std::vector<std::wstring>& selectedPaths,
                                          const std::vector<std::wstring>& allPaths);

}  // namespace vm
