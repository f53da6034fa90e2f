// The Bookmark Manager's rows and its geometry. The rows are what the
// manager writes back when it closes: the bookmarks of the file in position
// order, renamed and removed as the user did in the list. The window mirrors
// them in its list and draws them at the places computed here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bookmarks/BookmarkStore.h"
#include "lists/ListGeometry.h"

namespace vm {

struct BookmarkRow {
    uint8_t mode = 0;
    std::wstring name;
    std::wstring paths;  // the stored paths text (column 2)

    // The second line of the row (column 1): every "|" shown as two spaces.
    std::wstring ShownPaths() const { return BookmarkPathsForDisplay(paths); }
    bool operator==(const BookmarkRow&) const = default;
};

class BookmarkManagerModel {
  public:
    // One row per bookmark of the index, with its paths read from the file.
    static BookmarkManagerModel Load(const std::wstring& file, const BookmarkIndex& index);
    explicit BookmarkManagerModel(std::vector<BookmarkRow> rows = {}) : rows_(std::move(rows)) {}

    const std::vector<BookmarkRow>& rows() const { return rows_; }
    int count() const { return static_cast<int>(rows_.size()); }

    // In-place renaming: the edited text is the row's new name, whatever it
    // is (an empty name included). False for a row that does not exist.
    bool Rename(int row, const std::wstring& name);
    // "Remove selected items": the rows given, from the last one up; rows
    // that do not exist and repeats are ignored. Returns the rows removed,
    // last first, which is the order the list deletes them in.
    std::vector<int> Remove(std::vector<int> selected);

    // What the file is rewritten from on close.
    std::vector<BookmarkRecord> Records() const;

  private:
    std::vector<BookmarkRow> rows_;
};

// "Remove selected items" is enabled exactly when a row is selected.
inline bool CanRemoveBookmarks(int selectedCount) {
    return selectedCount > 0;
}

// ---- Geometry (sizes named at 96 DPI, computed at the window's DPI) ---------

inline constexpr int kBookmarkRowHeight = 50;
inline constexpr int kBookmarkNameColumnWidth = 300;
inline constexpr int kBookmarkPictureSide = 16;

// The manager's client area of width W and height H: the list at (15, 15),
// W - 15 wide and H - 75 high, its name column W - 30 wide; "Close" 90 x 25
// at (W - 105, H - 40), "Remove selected items" 135 x 25 at (W - 260, H - 40);
// the window colour above H - 60, the button face below, with a one-pixel
// line at H - 60.
struct BookmarkManagerPlaces {
    PixelRect list;
    int nameColumnWidth = 0;
    PixelRect close;
    PixelRect remove;
    PixelRect content;  // the window-coloured part
    PixelRect footer;   // the button-face band
    PixelRect line;     // the grey line between them
};
BookmarkManagerPlaces ComputeBookmarkManagerPlaces(int clientWidth, int clientHeight, int dpi);

// One row of the list: the picture at (left + 5, top + 10); the name in the
// band 5 to 30 below the row's top and the paths in the band 20 to 45 below
// it, both from 30 right of the row's left edge, the paths ending 10 before
// its right edge.
struct BookmarkRowPlaces {
    PixelRect picture;
    PixelRect name;
    PixelRect paths;
};
BookmarkRowPlaces ComputeBookmarkRowPlaces(const PixelRect& row, int dpi);

// Where the in-place edit box goes: over the row's name line.
PixelRect BookmarkLabelEditPlace(const PixelRect& row, int dpi);

}  // namespace vm
