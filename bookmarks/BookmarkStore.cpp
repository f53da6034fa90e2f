#include "bookmarks/BookmarkStore.h"

#include <algorithm>

#include "files/ProfileFile.h"
#include "platform/Utf16.h"

namespace vm {
namespace {

constexpr const wchar_t* kInfoSection = L"INFO";
constexpr const wchar_t* kCountKey = L"CONUT";
constexpr const wchar_t* kModeKey = L"MODE";
constexpr const wchar_t* kNameKey = L"NAME";
constexpr const wchar_t* kPathsKey = L"PATHS";
constexpr const wchar_t* kLengthKey = L"LENGTH";
constexpr wchar_t kSeparator = L'|';
constexpr int kPathsBufferSlack = 10;

std::wstring SectionOf(int index) {
    return std::to_wstring(index);
}

int StoredCount(const ProfileDocument& document) {
    return std::clamp(ProfileInt(document, kInfoSection, kCountKey, 0), 0, kMaxBookmarks);
}

void WriteSection(ProfileDocument& document, int index, const BookmarkRecord& record) {
    std::wstring section = SectionOf(index);
    document.Set(section, kModeKey, std::to_wstring(record.mode));
    document.Set(section, kNameKey, record.name);
    document.Set(section, kPathsKey, record.paths);
    // Characters as the profile functions count them: UTF-16 units.
    document.Set(section, kLengthKey, std::to_wstring(ToUtf16(record.paths).size()));
}

std::wstring PathsOf(const ProfileDocument& document, int index) {
    std::wstring section = SectionOf(index);
    int length = ProfileInt(document, section, kLengthKey, 0);
    long long buffer = static_cast<long long>(length) + kPathsBufferSlack;
    if (buffer <= 0)
        return {};
    return ProfileString(document, section, kPathsKey, L"", static_cast<size_t>(buffer));
}

}  // namespace

BookmarkIndex LoadBookmarkIndex(const std::wstring& file) {
    BookmarkIndex index;
    ProfileDocument document = ReadProfileDocument(file);
    int count = StoredCount(document);
    for (int i = 0; i < count; ++i) {
        std::wstring section = SectionOf(i);
        index.entries.push_back(
            {static_cast<uint8_t>(ProfileInt(document, section, kModeKey, 0)),
             ProfileString(document, section, kNameKey, L"", kBookmarkNameBufferChars)});
    }
    return index;
}

Status AddBookmark(const std::wstring& file, uint8_t mode, const std::wstring& name,
                   const std::wstring& paths) {
    ProfileDocument document = ReadProfileDocument(file);
    int count = StoredCount(document);
    document.Set(kInfoSection, kCountKey, std::to_wstring(count + 1));
    WriteSection(document, count, {mode, name, paths});
    return WriteProfileDocument(document, file);
}

Status RewriteBookmarks(const std::wstring& file, const std::vector<BookmarkRecord>& records) {
    ProfileDocument document = ReadProfileDocument(file);
    document.Set(kInfoSection, kCountKey, std::to_wstring(records.size()));
    for (size_t j = 0; j < records.size(); ++j)
        WriteSection(document, static_cast<int>(j), records[j]);
    return WriteProfileDocument(document, file);
}

std::wstring ReadBookmarkPaths(const std::wstring& file, int index) {
    return PathsOf(ReadProfileDocument(file), index);
}

OpenedBookmark OpenBookmark(const std::wstring& file, int index) {
    ProfileDocument document = ReadProfileDocument(file);
    OpenedBookmark opened;
    opened.mode = static_cast<uint8_t>(ProfileInt(document, SectionOf(index), kModeKey, 0));
    std::wstring paths = PathsOf(document, index);
    if (opened.mode == static_cast<uint8_t>(BookmarkMode::kCurrentFolder)) {
        opened.viewMode = 2;
        opened.paths.push_back(paths);
    } else {
        opened.viewMode = 1;
        opened.paths = SplitBookmarkPaths(paths);
    }
    return opened;
}

std::wstring BuildBookmarkPaths(BookmarkMode mode, const std::vector<std::wstring>& paths) {
    if (mode == BookmarkMode::kCurrentFolder)
        return paths.empty() ? std::wstring() : paths.front();
    std::wstring text;
    for (const std::wstring& path : paths) {
        text += path;
        text += kSeparator;
    }
    return text;
}

std::wstring BookmarkPathsForDisplay(const std::wstring& paths) {
    std::wstring shown;
    for (wchar_t c : paths) {
        if (c == kSeparator)
            shown += L"  ";
        else
            shown += c;
    }
    return shown;
}

std::vector<std::wstring> SplitBookmarkPaths(const std::wstring& paths) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start < paths.size()) {
        size_t end = paths.find(kSeparator, start);
        if (end == std::wstring::npos)
            end = paths.size();
        if (end == start)
            break;  // an empty part ends the list
        parts.push_back(paths.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

int BookmarkCommandId(int index) {
    return kFirstBookmarkCommand + index;
}

std::optional<int> BookmarkFromCommand(int commandId, int count) {
    int index = commandId - kFirstBookmarkCommand;
    if (index < 0 || index >= count)
        return std::nullopt;
    return index;
}

}  // namespace vm
