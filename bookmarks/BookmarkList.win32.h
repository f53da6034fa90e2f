// CBookmarkList: the Bookmark Manager's list (a report-view list-view
// without a column header, with in-place renaming). Every row is drawn here,
// 50 pixels high at 96 DPI: the bookmark picture, the name on the first line
// and the paths in grey on the second, both cut with an ellipsis. Columns:
// 0 the name, 1 the paths as shown, 2 the paths as stored (1 and 2 have no
// width). Each row's image index is the bookmark's mode. A selection change
// posts message 1126 to the parent.
#pragma once

#include <memory>

#include "framework/Gdi.h"
#include "framework/GdiPlus.h"
#include "framework/ListCtrl.h"

namespace vm {

class CBookmarkList : public CListCtrl {
  public:
    CBookmarkList();
    ~CBookmarkList() override;

    // Once attached: the explorer look when themes are on, the extended
    // styles, the three columns and the row height.
    void SetUp(bool themed);
    int RowHeight() const;

  protected:
    void OnAttached() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CBookmarkList>> Routes();
    LRESULT OnMeasureItem(Message& m);
    LRESULT OnDrawItem(Message& m);
    LRESULT OnItemChanged(Message& m);
    LRESULT OnBeginLabelEdit(Message& m);
    LRESULT OnScroll(Message& m);
    LRESULT OnThemeChanged(Message& m);

    void OpenTheme();
    void LoadPicture();
    void PaintRowBackground(HDC dc, const RECT& bounds, bool selected) const;

    bool themed_ = false;
    ThemeHandle theme_;
    COLORREF normalText_ = 0;
    COLORREF selectedText_ = 0;
    std::unique_ptr<Gdiplus::Bitmap> picture_;
    // Keeps the in-place edit box over the name line while it is open.
    std::unique_ptr<CWnd> labelEdit_;
};

}  // namespace vm
