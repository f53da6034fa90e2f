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

// "Bookmark-%Y-%m-%d %H:%M:%S", written here rather than by wcsftime: the
// Windows runtime refuses years past 9999 (an invalid-parameter error), and
// the name must not depend on the runtime it is built with.
std::wstring DefaultBookmarkName(const std::tm& localTime) {
    const auto padded = [](int value, size_t width) {
        std::wstring digits = std::to_wstring(value);
        if (digits.size() < width)
            digits.insert(0, width - digits.size(), L'0');
        return digits;
    };
    return L"Bookmark-" + padded(localTime.tm_year + 1900, 4) + L"-" +
           padded(localTime.tm_mon + 1, 2) + L"-" + padded(localTime.tm_mday, 2) + L" " +
           padded(localTime.tm_hour, 2) + L":" + padded(localTime.tm_min, 2) + L":" +
           padded(localTime.tm_sec, 2);
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
