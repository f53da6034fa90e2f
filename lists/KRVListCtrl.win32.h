// CKRVListCtrl: the report-view list on which every item list is built (the
// two lists of the main window and the Restore window's list). It draws
// every row itself in the look of the explorer lists: the row's small system
// icon, an icon before the access and owner cells, a hover highlight, its own
// check boxes, the empty-folder text of the browse list, the missing-item
// background, and sorts on a header click. It knows nothing of permissions:
// it shows what its owner puts into the rows and their ItemRecords.
//
// Every row's item data is an ItemRecord owned by the list (see AddRecord
// and FreeAllRows); the owner creates records and fills the cells.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/ListCtrl.h"
#include "lists/ItemRecord.h"
#include "lists/ListEnvironment.win32.h"
#include "lists/ListGeometry.h"
#include "lists/RowSort.h"

namespace vm {

class CKRVListCtrl : public CListCtrl {
  public:
    explicit CKRVListCtrl(const ListEnvironment& environment);
    ~CKRVListCtrl() override;

    // Once the window exists: check boxes from the extended style, the
    // explorer theme, full-row select, header drag and drop, double
    // buffering, no info tips; dropped files only in mode kEdit.
    void SetUp(ListMode mode);
    ListMode Mode() const { return mode_; }

    // Inserts a row at index with its name and icon and attaches the record
    // (the list owns it from now on). The row index, or -1.
    int InsertRecordRow(int index, const std::wstring& name, std::unique_ptr<ItemRecord> record);
    // The record of a row, or null.
    ItemRecord* Record(int row) const;
    // Records of the selected rows, in ascending row order.
    std::vector<ItemRecord*> SelectedRecords() const;
    // The row whose record has this serial, or -1.
    int RowOfSerial(uint64_t serial) const;
    // Deletes one row and its record.
    void DeleteRecordRow(int row);
    // Deletes every row and frees every record.
    void FreeAllRows();

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
    const ListEnvironment& Environment() const { return environment_; }
    // Posts message 1128 to the parent (status text).
    void NotifyParentStatus() const;

  private:
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

    void OpenThemes();
    void RequestRowHeight();
    void ReadTextColours();
    void PaintEmptyText(HDC dc);
    void PaintRow(HDC dc, int row);
    void PaintRowBackground(HDC dc, int row, const ItemRecord& record, const RECT& bounds,
                            bool selected);
    void PaintCheckBox(HDC dc, const RECT& iconRect, const RECT& bounds, const ItemRecord& record,
                       bool checked);
    void PaintCells(HDC dc, int row, const ItemRecord& record, bool selected);
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
};

}  // namespace vm
