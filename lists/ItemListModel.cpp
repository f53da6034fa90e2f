#include "lists/ItemListModel.h"

#include <cstdio>
#include <unordered_map>

#include "app/BrowsePaths.h"
#include "lists/IconCache.h"
#include "platform/Dpi.h"

namespace vm {

ColumnLayout ItemListColumnLayout(ListMode mode, int dpi, std::wstring_view titles) {
    constexpr int kFileSystem = 5;
    constexpr int kFolder = 6;
    ColumnLayout layout;
    for (int i = 0; i < 7; ++i)
        layout.columns.push_back({ResourceListItem(titles, static_cast<size_t>(i)),
                                  ScaleForDpi(kItemListWidths[i], dpi)});
    // Display order after moving "File system" to position 3.
    std::vector<int> order = {0, 1, 2, kFileSystem, 3, 4, kFolder};
    const int removed = mode == ListMode::kBrowse ? kFolder : kFileSystem;
    layout.columns.erase(layout.columns.begin() + removed);
    for (auto it = order.begin(); it != order.end();) {
        if (*it == removed) {
            it = order.erase(it);
            continue;
        }
        if (*it > removed)
            --*it;  // the list view renumbers the subitems after the removed one
        ++it;
    }
    layout.displayOrder = std::move(order);
    return layout;
}

std::wstring FileNameOfPath(const std::wstring& path) {
    // As PathFindFileNameW: the text after the last "\", "/" or ":" that is
    // followed by something other than a separator.
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i];
        const bool separator = c == L'\\' || c == L'/' || c == L':';
        if (separator && i + 1 < path.size() && path[i + 1] != L'\\' && path[i + 1] != L'/')
            start = i + 1;
    }
    return path.substr(start);
}

std::wstring FolderPart(const std::wstring& path) {
    // As PathRemoveFileSpecW: cut at the last "\" (a drive's "C:\" is kept
    // whole; the leading "\\" of a UNC path is skipped).
    size_t i = 0;
    size_t cut = 0;
    if (i < path.size() && path[i] == L'\\')
        cut = ++i;
    if (i < path.size() && path[i] == L'\\')
        cut = ++i;
    while (i < path.size()) {
        if (path[i] == L'\\') {
            cut = i;
        } else if (path[i] == L':') {
            cut = ++i;
            if (i < path.size() && path[i] == L'\\')
                ++cut;
        }
        ++i;
    }
    if (cut >= path.size())
        return path;
    return path.substr(0, cut);
}

std::wstring AccessCellText(int32_t access, std::wstring_view levels) {
    if (access < 0 || access > 2)
        return {};
    return ResourceListItem(levels, static_cast<size_t>(access));
}

std::wstring OwnerCellText(const std::wstring& ownerName) {
    return ownerName.empty() ? std::wstring(kUnknownCellText) : ownerName;
}

std::wstring LocationCellText(ListMode mode, const std::wstring& path,
                              const FileSystemTable& fileSystems) {
    if (mode == ListMode::kBrowse)
        return fileSystems.ForPath(path);
    return FolderPart(path);
}

CivilTime CivilFromFileTime(uint64_t fileTime) {
    constexpr int64_t kTicksPerSecond = 10'000'000;
    const int64_t seconds = static_cast<int64_t>(fileTime / kTicksPerSecond);
    const int64_t daysSince1601 = seconds / 86400;
    const int64_t secondOfDay = seconds % 86400;
    // Days from 1601-01-01 to 0000-03-01 based civil arithmetic: shift to an
    // era count starting on 0000-03-01 (the proleptic Gregorian calendar).
    constexpr int64_t kDaysFrom0000_03_01To1601_01_01 = 584694;
    const int64_t z = daysSince1601 + kDaysFrom0000_03_01To1601_01_01;
    const int64_t era = z / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    CivilTime time;
    time.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    time.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
    time.hour = static_cast<int>(secondOfDay / 3600);
    time.minute = static_cast<int>(secondOfDay % 3600 / 60);
    return time;
}

std::wstring FormatCivilTime(const CivilTime& time) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute);
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

uint64_t DisplayedCreationTime(uint64_t creationTime, uint64_t lastWriteTime) {
    return creationTime != 0 ? creationTime : lastWriteTime;
}

std::optional<ItemTimes> ReadItemTimes(Platform& platform, const std::wstring& path) {
    // A wildcard in the path would list other entries; a root or a path with
    // a trailing separator names no single entry.
    if (path.empty() || path.back() == L'\\' || path.find_first_of(L"*?") != std::wstring::npos)
        return std::nullopt;
    auto found = platform.FindFiles(path);
    if (!found.ok() || found->empty())
        return std::nullopt;
    return ItemTimes{found->front().creationTime, found->front().lastWriteTime};
}

std::vector<FolderEntry> ReadFolderEntries(Platform& platform, const std::wstring& folder) {
    std::vector<FolderEntry> entries;
    auto found = platform.FindFiles(FolderSearchPattern(folder));
    if (!found.ok())
        return entries;
    entries.reserve(found->size());
    for (const FindData& data : *found) {
        if (data.name == L"." || data.name == L"..")
            continue;
        FolderEntry entry;
        entry.path = JoinPath(folder, data.name);
        entry.kind = (data.attributes & attr::kDirectory) != 0 ? kKindFolder : kKindFile;
        entry.times = ItemTimes{data.creationTime, data.lastWriteTime};
        entries.push_back(std::move(entry));
    }
    return entries;
}

FolderEntry ReadItemEntry(Platform& platform, const std::wstring& path) {
    return {path, ItemKindOfPath(platform, path), ReadItemTimes(platform, path)};
}

namespace {

// A path that names one entry of a folder: a listing can stand for it.
bool IsPlainEntryPath(const std::wstring& path) {
    return !path.empty() && path.back() != L'\\' &&
           path.find_first_of(L"*?") == std::wstring::npos && !PathIsRoot(path) &&
           FolderPart(path) != path;
}

// The entries of one folder by their names in upper case (file names are
// compared without case).
std::unordered_map<std::wstring, const FindData*> EntriesByName(
    const std::vector<FindData>& found) {
    std::unordered_map<std::wstring, const FindData*> byName;
    for (const FindData& data : found)
        byName.emplace(ToUpperText(data.name), &data);
    return byName;
}

}  // namespace

std::vector<FolderEntry> ReadItemEntries(Platform& platform,
                                         const std::vector<std::wstring>& paths) {
    std::unordered_map<std::wstring, std::vector<size_t>> byFolder;
    for (size_t i = 0; i < paths.size(); ++i)
        if (IsPlainEntryPath(paths[i]))
            byFolder[FolderPart(paths[i])].push_back(i);
    std::vector<std::optional<FolderEntry>> read(paths.size());
    for (const auto& [folder, members] : byFolder) {
        if (members.size() < kListFolderFromPaths)
            continue;
        auto found = platform.FindFiles(FolderSearchPattern(folder));
        if (!found.ok())
            continue;
        const auto byName = EntriesByName(*found);
        for (size_t i : members) {
            const auto entry = byName.find(ToUpperText(FileNameOfPath(paths[i])));
            if (entry == byName.end())
                continue;  // gone, or not listed: asked for on its own below
            const FindData& data = *entry->second;
            read[i] = FolderEntry{
                paths[i], (data.attributes & attr::kDirectory) != 0 ? kKindFolder : kKindFile,
                ItemTimes{data.creationTime, data.lastWriteTime}};
        }
    }
    std::vector<FolderEntry> entries;
    entries.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        entries.push_back(read[i] ? std::move(*read[i]) : ReadItemEntry(platform, paths[i]));
    return entries;
}

int32_t ItemKindOfPath(Platform& platform, const std::wstring& path) {
    int32_t kind = kKindFile;
    if (platform.PathIsDirectory(path))
        kind = kKindFolder;
    if (PathIsRoot(path))
        kind = kKindDriveRoot;
    return kind;
}

int DropProgress(size_t index, size_t count) {
    if (count == 0)
        return 100;
    return static_cast<int>(index * 100 / count);
}

}  // namespace vm
