#include "bookmarks/BookmarkAdding.h"

#include <cwchar>

#include "resources/resource.h"
#include "resources/strings.h"

namespace vm {

std::optional<BookmarkMode> BookmarkModeOfCommand(uint32_t commandId) {
    switch (commandId) {
        case ID_BOOKMARK_SELECTED:
            return BookmarkMode::kSelectedItems;
        case ID_BOOKMARK_ALL:
            return BookmarkMode::kAllItems;
        case ID_BOOKMARK_CURRENT_DIRECTORY:
            return BookmarkMode::kCurrentFolder;
        default:
            return std::nullopt;
    }
}

std::wstring BookmarkMenuText(BookmarkMode mode) {
    switch (mode) {
        case BookmarkMode::kSelectedItems:
            return L"" STR_MENU_BOOKMARK_SELECTED;
        case BookmarkMode::kAllItems:
            return L"" STR_MENU_BOOKMARK_ALL;
        case BookmarkMode::kCurrentFolder:
            return L"" STR_MENU_BOOKMARK_CURRENT_DIRECTORY;
    }
    return std::wstring();
}

std::wstring BookmarkPrompt(const std::wstring& menuText) {
    std::wstring prompt;
    for (size_t i = 0; i < menuText.size();) {
        if (menuText.compare(i, 3, L"...") == 0) {
            prompt += L'.';
            i += 3;
        } else {
            prompt += menuText[i++];
        }
    }
    return prompt;
}

std::wstring DefaultBookmarkName(const std::tm& localTime) {
    wchar_t text[64]{};
    const size_t length =
        std::wcsftime(text, std::size(text), L"Bookmark-%Y-%m-%d %H:%M:%S", &localTime);
    return std::wstring(text, length);
}

std::vector<std::wstring> BookmarkedPaths(BookmarkMode mode, const std::wstring& currentFolder,
                                          const std::vector<std::wstring>& selectedPaths,
                                          const std::vector<std::wstring>& allPaths) {
    switch (mode) {
        case BookmarkMode::kSelectedItems:
            return selectedPaths;
        case BookmarkMode::kAllItems:
            return allPaths;
        case BookmarkMode::kCurrentFolder:
            return {currentFolder};
    }
    return {};
}

}  // namespace vm
