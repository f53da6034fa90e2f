#include "bookmarks/BookmarkManagerModel.h"

#include <algorithm>

namespace vm {

BookmarkManagerModel BookmarkManagerModel::Load(const std::wstring& file,
                                                const BookmarkIndex& index) {
    std::vector<BookmarkRow> rows;
    rows.reserve(index.entries.size());
    for (size_t i = 0; i < index.entries.size(); ++i) {
        const BookmarkIndexEntry& entry = index.entries[i];
        rows.push_back({entry.mode, entry.name, ReadBookmarkPaths(file, static_cast<int>(i))});
    }
    return BookmarkManagerModel(std::move(rows));
}

bool BookmarkManagerModel::Rename(int row, const std::wstring& name) {
    if (row < 0 || row >= count())
        return false;
    rows_[static_cast<size_t>(row)].name = name;
    return true;
}

std::vector<int> BookmarkManagerModel::Remove(std::vector<int> selected) {
    std::erase_if(selected, [this](int row) { return row < 0 || row >= count(); });
    std::sort(selected.begin(), selected.end(), std::greater<>());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    for (int row : selected)
        rows_.erase(rows_.begin() + row);
    return selected;
}

std::vector<BookmarkRecord> BookmarkManagerModel::Records() const {
    std::vector<BookmarkRecord> records;
    records.reserve(rows_.size());
    for (const BookmarkRow& row : rows_)
        records.push_back({row.mode, row.name, row.paths});
    return records;
}

BookmarkManagerPlaces ComputeBookmarkManagerPlaces(int clientWidth, int clientHeight, int dpi) {
    const auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    const int w = clientWidth;
    const int h = clientHeight;
    BookmarkManagerPlaces places;
    places.list = {s(15), s(15), w, h - s(60)};
    places.nameColumnWidth = std::max(0, w - s(30));
    // The buttons keep their sizes; their corners follow the bottom right.
    const auto button = [&](int fromRight, int width) {
        const int left = w - s(fromRight);
        const int top = h - s(40);
        return PixelRect{left, top, left + s(width), top + s(25)};
    };
    places.close = button(105, 90);
    places.remove = button(260, 135);
    places.content = {0, 0, w, h - s(60)};
    places.footer = {0, h - s(60), w, h};
    places.line = {0, h - s(60), w, h - s(60) + 1};
    return places;
}

BookmarkRowPlaces ComputeBookmarkRowPlaces(const PixelRect& row, int dpi) {
    const auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    const int textLeft = row.left + s(30);
    const int side = s(kBookmarkPictureSide);
    BookmarkRowPlaces places;
    places.picture = {row.left + s(5), row.top + s(10), row.left + s(5) + side,
                      row.top + s(10) + side};
    places.name = {textLeft, row.top + s(5), row.right, row.top + s(30)};
    places.paths = {textLeft, row.top + s(20), row.right - s(10), row.top + s(45)};
    return places;
}

PixelRect BookmarkLabelEditPlace(const PixelRect& row, int dpi) {
    const BookmarkRowPlaces places = ComputeBookmarkRowPlaces(row, dpi);
    PixelRect edit = places.name;
    edit.right = std::max(edit.left, row.right - ScaleForDpi(10, dpi));
    return edit;
}

}  // namespace vm
