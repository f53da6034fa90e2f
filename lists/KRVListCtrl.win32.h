// CKRVListCtrl: the report-view list on which every item list is built (the
// two lists of the main window and the Restore window's list). It draws
// every row itself in the look of the explorer lists: the row's small system
// icon, an icon before the access and owner cells, a hover highlight, its own
// check boxes, the empty-folder text of the browse list, the missing-item
// background, and sorts on a header click. It knows nothing of permissions:
// it shows what its owner puts into the rows and their ItemRecords.
//
// The rows live in the list's ItemRows model, each with its ItemRecord and
// cell texts; the list view is an owner-data list (LVS_OWNERDATA, which must
// be given when the window is made: kRequiredStyle) that keeps only the
// number of rows and the selection by position and asks for what it shows.
// The owner creates records and fills the cells; the list owns them.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/ListCtrl.h"
#include "lists/ItemRecord.h"
#include "lists/ItemRows.h"
#include "lists/ListEnvironment.win32.h"
#include "lists/ListGeometry.h"
#include "lists/RowSort.h"

namespace vm {

class CKRVListCtrl : public CListCtrl {
  public:
    // The styles the list view must be made with (an owner-data list cannot
    // become one later); LVS_OWNERDRAWFIXED is added on attaching if missing.
    static constexpr DWORD kRequiredStyle = LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED;

    // Rows added inside a batch reach the list view in one step when the
    // batch ends (one LVM_SETITEMCOUNT and one redraw instead of one each).
    class RowBatch {
      public:
        explicit RowBatch(CKRVListCtrl& list) : list_(list) { ++list_.batchDepth_; }
        ~RowBatch() {
            if (--list_.batchDepth_ == 0)
                list_.ShowRowCount();
        }
        RowBatch(const RowBatch&) = delete;
        RowBatch& operator=(const RowBatch&) = delete;

      private:
        CKRVListCtrl& list_;
    };

    explicit CKRVListCtrl(const ListEnvironment& environment);
    ~CKRVListCtrl() override;

    // Once the window exists: check boxes from the extended style, the
    // explorer theme, full-row select, header drag and drop, double
    // buffering, no info tips; dropped files only in mode kEdit.
    void SetUp(ListMode mode);
    ListMode Mode() const { return mode_; }

    // Inserts a row at index (clamped) with its name and icon and takes the
    // record (the list owns it from now on); rows below it move down with
    // their selection. The row index.
    int InsertRecordRow(int index, const std::wstring& name, std::unique_ptr<ItemRecord> record);
    // The record of a row, or null.
    ItemRecord* Record(int row) const;
    // Records of the selected rows, in ascending row order.
    std::vector<ItemRecord*> SelectedRecords() const;
    // The row whose record has this serial, or -1.
    int RowOfSerial(uint64_t serial) const;
    // A cell's text, and a new one, repainted at once if the row is in view.
    const std::wstring& CellText(int row, int column) const;
    void SetCellText(int row, int column, std::wstring_view text);
    // The rows in view, a partly shown last one included.
    struct RowRange {
        int first = 0;
        int last = -1;
        bool Contains(int row) const { return row >= first && row <= last; }
        int Size() const { return last - first + 1; }
    };
    RowRange RowsInView() const;
    // Repaints one row if it is in view; a row out of view, or any row
    // while drawing is off or rows are being added in a batch, costs
    // nothing. RedrawRowIn takes the view from the caller: each question to
    // the list view is a message, which adds up over thousands of rows.
    void RedrawRow(int row) { RedrawRowIn(row, RowsInView()); }
    void RedrawRowIn(int row, const RowRange& view);
    // Deletes these rows and their records; the others keep their
    // selection and focus.
    void DeleteRecordRows(std::vector<int> rows);
    void DeleteRecordRow(int row) { DeleteRecordRows({row}); }
    // Deletes every row and frees every record.
    void FreeAllRows();
    const ItemRows& Rows() const { return rows_; }

    // The row's icon in the system small image list (extension icon cache;
    // the shell for a drive root).
    int IconIndex(const std::wstring& path, int32_t kind);

    // Sorts by a column as a header click does (same column: flip).
    void SortByColumn(int column);
    // Sorts again by the current column and direction.
    void Resort();
    const SortState& Sort() const { return sort_; }

    // The list's own check boxes (rows' state image 2 = checked).
    bool IsChecked(int row) const;
    void SetChecked(int row, bool checked);

    int HotRow() const { return hotRow_; }
    int RowHeight() const { return metrics_.rowHeight; }
    const ListMetrics& Metrics() const { return metrics_; }
    bool HasCheckBoxes() const { return checkBoxes_; }

  protected:
    void OnAttached() override;
    void OnDestroyed() override;
    // Row height, icon sizes and margins at the new DPI; the columns keep
    // their share of the width.
    void OnDpiChanged(int oldDpi, int newDpi) override;
    bool OnMessage(Message& m, LRESULT& result) override;
    // Called after a record's row was deleted and before the record is freed.
    virtual void OnRecordRemoved(ItemRecord&) {}
    // Called before a paint that shows other rows than the last one did
    // (scrolled, resized, rows added, removed or sorted).
    virtual void OnRowsInView(const RowRange&) {}
    // Tells the list view how many rows the model has, keeping its view.
    void ShowRowCount();
    // A cell's text without a repaint (the row's redraw is on its way).
    void StoreCellText(int row, int column, std::wstring_view text) {
        if (row >= 0)
            rows_.SetText(static_cast<size_t>(row), column, text);
    }
    const ListEnvironment& Environment() const { return environment_; }
    // Posts message 1128 to the parent (status text).
    void NotifyParentStatus() const;

  private:
    // The list view keeps no items of an owner-data list: rows, texts and
    // their records go through the model (InsertRecordRow, SetCellText).
    using CListCtrl::DeleteAllItems;
    using CListCtrl::DeleteItem;
    using CListCtrl::InsertItem;
    using CListCtrl::ItemData;
    using CListCtrl::ItemImage;
    using CListCtrl::SetItemData;
    using CListCtrl::SetItemText;
    using CListCtrl::SortItems;

    static std::span<const Route<CKRVListCtrl>> Routes();
    LRESULT OnCustomDraw(Message& m);
    LRESULT OnMeasureItem(Message& m);
    LRESULT OnDrawItem(Message& m);
    LRESULT OnHotTrack(Message& m);
    LRESULT OnClick(Message& m);
    LRESULT OnColumnClick(Message& m);
    LRESULT OnItemChanged(Message& m);
    LRESULT OnScroll(Message& m);
    LRESULT OnMouseMove(Message& m);
    LRESULT OnMouseLeave(Message& m);
    LRESULT OnThemeChanged(Message& m);
    LRESULT OnPaint(Message& m);
    LRESULT OnPrintClient(Message& m);
    LRESULT OnSetFont(Message& m);
    LRESULT OnSetRedraw(Message& m);
    LRESULT OnGetDispInfo(Message& m);
    LRESULT OnFindItem(Message& m);
    LRESULT OnRangeChanged(Message& m);
    LRESULT OnKeyDown(Message& m);

    // The list view's selection, kept on the model's rows while they move.
    void MarkSelection();
    void RestoreSelection();
    void ToggleSelectedChecks();

    void OpenThemes();
    void RequestRowHeight();
    void ReadTextColours();
    void PaintEmptyText(HDC dc);
    void PaintRow(HDC dc, int row, const RECT& bounds);
    void PaintRowBackground(HDC dc, int row, const ItemRecord& record, const RECT& bounds,
                            bool selected);
    void PaintCheckBox(HDC dc, const RECT& iconRect, const RECT& bounds, const ItemRecord& record,
                       bool checked);
    struct RowLayout {
        RECT icon{};
        std::vector<RECT> labels;  // by column
        static RECT At(const RECT& relative, const RECT& bounds) {
            return {bounds.left + relative.left, bounds.top + relative.top,
                    bounds.left + relative.right, bounds.top + relative.bottom};
        }
    };
    const RowLayout& LayoutFor(int row, const RECT& bounds);
    void PaintCells(HDC dc, int row, const ItemRecord& record, bool selected,
                    const RowLayout& layout, const RECT& bounds);
    void PaintRowIcon(HDC dc, int row, PixelPoint origin);
    void ClearAllStates();
    void SetHotRow(int row);

    const ListEnvironment& environment_;
    ThemeHandle listTheme_;
    int hotRow_ = -1;
    ListMetrics metrics_;  // the row height field and the other sizes at the list's DPI
    ListMode mode_ = ListMode::kPlain;
    SortState sort_;
    int columnCount_ = 0;
    COLORREF normalText_ = 0;
    COLORREF selectedText_ = 0;
    bool tracking_ = false;
    bool redrawOn_ = true;
    bool checkBoxes_ = false;
    ThemeHandle buttonTheme_;
    ItemRows rows_;
    int batchDepth_ = 0;
    std::optional<RowLayout> rowLayout_;  // of the paint under way
    // What the last paint showed; a change tells OnRowsInView.
    struct View {
        int first = -1;
        int last = -1;
        uint64_t rowsVersion = 0;
        bool operator==(const View&) const = default;
    };
    View shownView_;
    uint64_t rowsVersion_ = 0;  // counts row insertions, removals and sorts
};

}  // namespace vm
