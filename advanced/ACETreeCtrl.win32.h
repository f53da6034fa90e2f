// CACETreeCtrl: the list of the Advanced Security Settings window (control
// 1020). A virtual report-view list (LVS_OWNERDATA) with fixed owner-drawn
// rows, the rows of an AceTreeModel one to one (the model tells it where
// rows come and go, and the selection moves with them), so that opening on
// hundreds of entries costs the list nothing per row. It draws every row
// itself, ticks Allow and Deny cells with the model's rules, opens the scope
// menu from an entry's arrow and the context menu on a right click (both
// owned by the dialog, which receives their commands), shows "Please
// wait..." while the dialog writes and the empty-list text when there are no
// rows, and posts WM_USER+100 to the dialog after every ticked cell.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "advanced/AceListGeometry.h"
#include "advanced/AceTreeModel.h"
#include "app/AppContext.win32.h"
#include "framework/Gdi.h"
#include "framework/GdiPlus.h"
#include "framework/ListCtrl.h"

namespace vm {

class CACETreeCtrl : public CListCtrl, private AceTreeListener {
  public:
    explicit CACETreeCtrl(const AppContext& app);
    ~CACETreeCtrl() override;

    // Once attached: styles, columns and rows of the model (which must
    // outlive the control or be replaced).
    void InitColumns(AceTreeModel& model);
    AceTreeModel* Model() const { return model_; }

    void SetBusy(bool busy);
    bool Busy() const { return busy_; }
    int BusyFrame() const { return busyFrame_; }
    void AdvanceBusyFrame();
    void SetEmptyText(const std::wstring& text);
    const std::wstring& EmptyText() const { return emptyText_; }

    // Selected rows, ascending, as the model counts them.
    std::vector<size_t> SelectedModelRows() const;
    // Selects exactly these rows and focuses the first.
    void SelectOnly(const std::vector<size_t>& rows);

    int RowHeight() const { return metrics_.rowHeight; }

  protected:
    void OnAttached() override;
    void OnDestroyed() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CACETreeCtrl>> Routes();
    void RowsInserted(size_t at, size_t count) override;
    void RowsRemoved(size_t at, size_t count) override;

    LRESULT OnMeasureItem(Message& m);
    LRESULT OnDrawItem(Message& m);
    LRESULT OnGetDispInfo(Message& m);
    LRESULT OnClick(Message& m);
    LRESULT OnDoubleClick(Message& m);
    LRESULT OnRightClick(Message& m);
    LRESULT OnKeyDown(Message& m);
    LRESULT OnItemChanged(Message& m);
    LRESULT OnRangeChanged(Message& m);
    LRESULT OnContextMenu(Message& m);
    LRESULT OnPaint(Message& m);
    LRESULT OnPrintClient(Message& m);
    LRESULT OnSetFont(Message& m);
    LRESULT OnThemeChanged(Message& m);

    void RequestRowHeight();
    void SetRowCount();
    void MoveSelection(const std::vector<size_t>& selected, const std::optional<size_t>& focused);
    std::optional<size_t> FocusedRow() const;
    int LongestTextWidth(const std::vector<std::wstring>& texts) const;
    void LoadPictures();
    void ReadTextColour();
    void ClickCell(size_t row, int column);
    void ShowScopeMenu();
    void ShowContextMenu();

    // Painting.
    bool PaintsItself() const;
    void PaintWhole(HDC dc);
    void PaintBusy(HDC dc, const RECT& client);
    void PaintEmptyText(HDC dc, const RECT& client);
    void PaintRow(HDC dc, size_t row, const RECT& bounds, bool selected);
    void PaintEntryRow(HDC dc, size_t row, const std::vector<PixelRect>& cells);
    void PaintRightRow(HDC dc, size_t row, const std::vector<PixelRect>& cells);
    void PaintText(HDC dc, const std::wstring& text, PixelRect cell, UINT align) const;
    void PaintPicture(HDC dc, Gdiplus::Bitmap* picture, PixelPoint origin, BYTE alpha) const;

    const AppContext& app_;
    AceTreeModel* model_ = nullptr;
    AceListMetrics metrics_;
    ThemeHandle listTheme_;
    COLORREF normalText_ = 0;
    std::unique_ptr<Gdiplus::Bitmap> entryPicture_;  // 175
    std::unique_ptr<Gdiplus::Bitmap> emptyCell_;     // 176, also the waiting dots
    std::unique_ptr<Gdiplus::Bitmap> scopeArrow_;    // 177
    std::unique_ptr<Gdiplus::Bitmap> tickedCell_;    // 178
    std::wstring emptyText_;
    // Written and read on the window's thread only (the animation thread
    // posts the dialog a message, which advances the frame here).
    bool busy_ = false;
    int busyFrame_ = 0;
};

}  // namespace vm
