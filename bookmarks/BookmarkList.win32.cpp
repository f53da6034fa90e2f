#include "bookmarks/BookmarkList.win32.h"

#include <vssym32.h>

#include "app/Messages.h"
#include "bookmarks/BookmarkManagerModel.h"
#include "resources/resource.h"

namespace vm {

namespace {

RECT ToRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

PixelRect ToPixelRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The list's in-place edit box, held over the row's name line: the list
// view places it itself after LVN_BEGINLABELEDIT and again as the text grows.
class LabelEditPlacer final : public CWnd {
  public:
    explicit LabelEditPlacer(const RECT& place) : place_(place) {}

  protected:
    bool OnMessage(Message& m, LRESULT& result) override {
        if (m.message == WM_WINDOWPOSCHANGING) {
            auto& pos = *reinterpret_cast<WINDOWPOS*>(m.lParam);
            pos.x = place_.left;
            pos.y = place_.top;
            pos.cx = place_.right - place_.left;
            pos.cy = place_.bottom - place_.top;
            pos.flags &= ~static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE);
        }
        return CWnd::OnMessage(m, result);
    }

  private:
    RECT place_;
};

constexpr int kColumnCount = 3;

}  // namespace

CBookmarkList::CBookmarkList() = default;
CBookmarkList::~CBookmarkList() = default;

std::span<const Route<CBookmarkList>> CBookmarkList::Routes() {
    static const Route<CBookmarkList> routes[] = {
        OnReflected(WM_MEASUREITEM, kAnyCode, &CBookmarkList::OnMeasureItem),
        OnReflected(WM_DRAWITEM, kAnyCode, &CBookmarkList::OnDrawItem),
        OnReflected(WM_NOTIFY, LVN_ITEMCHANGED, &CBookmarkList::OnItemChanged),
        OnReflected(WM_NOTIFY, LVN_BEGINLABELEDITW, &CBookmarkList::OnBeginLabelEdit),
        OnMsg(WM_HSCROLL, &CBookmarkList::OnScroll),
        OnMsg(WM_VSCROLL, &CBookmarkList::OnScroll),
        OnMsg(WM_MOUSEWHEEL, &CBookmarkList::OnScroll),
        OnMsg(WM_THEMECHANGED, &CBookmarkList::OnThemeChanged),
    };
    return routes;
}

bool CBookmarkList::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CListCtrl::OnMessage(m, result);
}

void CBookmarkList::OnAttached() {
    // Every row is drawn here; the row height was asked before this object
    // could answer, so it is asked again.
    ChangeStyle(0, LVS_OWNERDRAWFIXED);
    RequestOwnerDrawRowHeight(hwnd());
    LoadPicture();
}

void CBookmarkList::SetUp(bool themed) {
    themed_ = themed;
    if (themed_)
        SetWindowTheme(hwnd(), L"explorer", nullptr);
    constexpr DWORD kStyles =
        LVS_EX_INFOTIP | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SetExtendedStyle(kStyles, LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    DragAcceptFiles(hwnd(), FALSE);
    InsertColumn(0, L"", Scale(kBookmarkNameColumnWidth));
    for (int column = 1; column < kColumnCount; ++column)
        InsertColumn(column, L"", 0);
    OpenTheme();
    RequestOwnerDrawRowHeight(hwnd());
}

int CBookmarkList::RowHeight() const {
    return Scale(kBookmarkRowHeight);
}

void CBookmarkList::OnDpiChanged(int, int) {
    LoadPicture();
    RequestOwnerDrawRowHeight(hwnd());
}

void CBookmarkList::LoadPicture() {
    picture_ = LoadPngForSide(IDP_BOOKMARK, Scale(kBookmarkPictureSide));
}

void CBookmarkList::OpenTheme() {
    theme_.Close();
    if (themed_)
        theme_.Open(hwnd(), L"Explorer::ListView");
    normalText_ = GetSysColor(COLOR_WINDOWTEXT);
    selectedText_ = GetSysColor(COLOR_HIGHLIGHTTEXT);
    if (!theme_)
        return;
    // The theme's text colours of a normal and a hot-selected item.
    COLORREF colour = 0;
    if (SUCCEEDED(GetThemeColor(theme_.get(), LVP_LISTITEM, LISS_NORMAL, TMT_TEXTCOLOR, &colour)))
        normalText_ = colour;
    else
        normalText_ = GetSysColor(COLOR_WINDOWTEXT);
    if (SUCCEEDED(
            GetThemeColor(theme_.get(), LVP_LISTITEM, LISS_HOTSELECTED, TMT_TEXTCOLOR, &colour)))
        selectedText_ = colour;
    else
        selectedText_ = GetSysColor(COLOR_WINDOWTEXT);
}

LRESULT CBookmarkList::OnThemeChanged(Message& m) {
    OpenTheme();
    Invalidate();
    m.handled = false;
    return 0;
}

LRESULT CBookmarkList::OnMeasureItem(Message& m) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
    item.itemHeight = static_cast<UINT>(RowHeight());
    return TRUE;
}

void CBookmarkList::PaintRowBackground(HDC dc, const RECT& bounds, bool selected) const {
    FillSysColour(dc, bounds, COLOR_WINDOW);
    if (!selected)
        return;
    if (theme_)
        DrawThemeBackground(theme_.get(), dc, LVP_LISTITEM, LISS_SELECTED, &bounds, nullptr);
    else
        FillSysColour(dc, bounds, COLOR_HIGHLIGHT);
}

LRESULT CBookmarkList::OnDrawItem(Message& m) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
    const int row = static_cast<int>(item.itemID);
    if (row < 0)
        return TRUE;
    HDC dc = item.hDC;
    SavedDcState saved(dc);
    const RECT bounds = ItemRect(row, LVIR_BOUNDS);
    const bool selected = IsSelected(row);
    SetBkMode(dc, TRANSPARENT);
    PaintRowBackground(dc, bounds, selected);

    const BookmarkRowPlaces places = ComputeBookmarkRowPlaces(ToPixelRect(bounds), Dpi());
    DrawPicture(dc, picture_.get(), ToRect(places.picture));

    SelectedObject font(dc, reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    constexpr UINT kLine = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX;
    SetTextColor(dc, selected ? selectedText_ : normalText_);
    const std::wstring name = ItemText(row, 0);
    RECT nameRect = ToRect(places.name);
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &nameRect, kLine);
    // Grey on the classic highlight would be hard to read: the second line of
    // a selected row takes the highlight's text colour there.
    const bool classicSelection = selected && !theme_;
    SetTextColor(dc, GetSysColor(classicSelection ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    const std::wstring paths = ItemText(row, 1);
    RECT pathsRect = ToRect(places.paths);
    DrawTextW(dc, paths.c_str(), static_cast<int>(paths.size()), &pathsRect, kLine);
    return TRUE;
}

LRESULT CBookmarkList::OnItemChanged(Message& m) {
    const auto& change = *reinterpret_cast<const NMLISTVIEW*>(m.lParam);
    if ((change.uChanged & LVIF_STATE) != 0 &&
        ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
        Invalidate();
        PostMessageW(Parent(), kMsgBookmarkChanged, 0, 0);
    }
    m.handled = false;
    return 0;
}

LRESULT CBookmarkList::OnBeginLabelEdit(Message& m) {
    const auto& info = *reinterpret_cast<const NMLVDISPINFOW*>(m.lParam);
    HWND edit = reinterpret_cast<HWND>(Send(LVM_GETEDITCONTROL));
    if (edit != nullptr && info.item.iItem >= 0) {
        const PixelRect row = ToPixelRect(ItemRect(info.item.iItem, LVIR_BOUNDS));
        labelEdit_ = std::make_unique<LabelEditPlacer>(ToRect(BookmarkLabelEditPlace(row, Dpi())));
        labelEdit_->Attach(edit);
    }
    m.handled = false;  // the parent may still refuse the edit
    return FALSE;
}

LRESULT CBookmarkList::OnScroll(Message& m) {
    // Rows drawn in two lines leave traces when the list scrolls by lines.
    const LRESULT result = DefaultProcessing(m);
    Invalidate();
    return result;
}

}  // namespace vm
