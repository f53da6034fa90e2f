#include "advanced/ACETreeCtrl.win32.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

#include "app/Messages.h"
#include "app/PopupMenu.win32.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace vm {
namespace {

constexpr BYTE kOpaque = 255;
constexpr BYTE kFaded = 100;  // inherited cells and the waiting dots not lit

PixelRect ToPixel(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}
RECT ToRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::vector<std::wstring> ColumnTitles() {
    std::vector<std::wstring> titles;
    std::wstring_view all = kAceListColumns;
    for (size_t start = 0; start < all.size();) {
        const size_t end = all.find(L';', start);
        if (end == std::wstring_view::npos)
            break;
        titles.emplace_back(all.substr(start, end - start));
        start = end + 1;
    }
    return titles;
}

std::vector<std::wstring> RightNames() {
    std::vector<std::wstring> names;
    for (size_t right = 0; right < kRightCount; ++right)
        names.push_back(RightName(right));
    return names;
}

std::vector<std::wstring> ScopeTexts() {
    std::vector<std::wstring> texts;
    for (const ScopeInfo& scope : kScopes)
        texts.emplace_back(scope.text);
    return texts;
}

}  // namespace

// The widest of the texts in the list's font.
int CACETreeCtrl::LongestTextWidth(const std::vector<std::wstring>& texts) const {
    WindowDc dc(hwnd());
    SelectedObject font(dc.get(), reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    int longest = 0;
    for (const std::wstring& text : texts) {
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        longest = std::max<int>(longest, size.cx);
    }
    return longest;
}

CACETreeCtrl::CACETreeCtrl(const AppContext& app) : app_(app) {}

CACETreeCtrl::~CACETreeCtrl() {
    if (model_ != nullptr)
        model_->SetListener(nullptr);
}

std::span<const Route<CACETreeCtrl>> CACETreeCtrl::Routes() {
    static const Route<CACETreeCtrl> routes[] = {
        OnReflected(WM_MEASUREITEM, kAnyCode, &CACETreeCtrl::OnMeasureItem),
        OnReflected(WM_DRAWITEM, kAnyCode, &CACETreeCtrl::OnDrawItem),
        OnReflected(WM_NOTIFY, LVN_GETDISPINFOW, &CACETreeCtrl::OnGetDispInfo),
        OnReflected(WM_NOTIFY, NM_CLICK, &CACETreeCtrl::OnClick),
        OnReflected(WM_NOTIFY, NM_DBLCLK, &CACETreeCtrl::OnDoubleClick),
        OnReflected(WM_NOTIFY, NM_RCLICK, &CACETreeCtrl::OnRightClick),
        OnReflected(WM_NOTIFY, LVN_KEYDOWN, &CACETreeCtrl::OnKeyDown),
        OnReflected(WM_NOTIFY, LVN_ITEMCHANGED, &CACETreeCtrl::OnItemChanged),
        OnReflected(WM_NOTIFY, LVN_ODSTATECHANGED, &CACETreeCtrl::OnRangeChanged),
        OnMsg(WM_CONTEXTMENU, &CACETreeCtrl::OnContextMenu),
        OnMsg(WM_PAINT, &CACETreeCtrl::OnPaint),
        OnMsg(WM_PRINTCLIENT, &CACETreeCtrl::OnPrintClient),
        OnMsg(WM_SETFONT, &CACETreeCtrl::OnSetFont),
        OnMsg(WM_THEMECHANGED, &CACETreeCtrl::OnThemeChanged),
    };
    return routes;
}

bool CACETreeCtrl::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CListCtrl::OnMessage(m, result);
}

// ---- Set-up -----------------------------------------------------------------------

void CACETreeCtrl::OnAttached() {
    metrics_ = AceListMetricsForDpi(Dpi());
    // The header is a child: the waiting picture and the empty text paint around it.
    ChangeStyle(0, WS_CLIPCHILDREN);
    listTheme_.Open(hwnd(), L"Explorer::ListView");
    if (!listTheme_)
        listTheme_.Open(hwnd(), L"ListView");
    ReadTextColour();
    LoadPictures();
    RequestRowHeight();
}

void CACETreeCtrl::OnDestroyed() {
    if (model_ != nullptr)
        model_->SetListener(nullptr);
    model_ = nullptr;
    listTheme_.Close();
}

void CACETreeCtrl::InitColumns(AceTreeModel& model) {
    if (model_ != nullptr)
        model_->SetListener(nullptr);
    model_ = &model;
    constexpr DWORD kStyles =
        LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;
    SetExtendedStyle(kStyles, LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    while (HeaderCount() > 0)
        DeleteColumn(0);
    const std::vector<std::wstring> titles = ColumnTitles();
    const std::vector<int> widths = AceColumnWidths(
        model.isFile(), Dpi(), LongestTextWidth(RightNames()), LongestTextWidth(ScopeTexts()));
    for (size_t column = 0; column < widths.size() && column < titles.size(); ++column)
        InsertColumn(static_cast<int>(column), titles[column], widths[column], LVCFMT_CENTER);
    model.SetListener(this);
    SetRowCount();
    RequestRowHeight();
}

// A size change makes an owner-drawn list ask for its row height again
// (WM_MEASUREITEM); one pixel taller and back, since a change to the same
// size may not count as one.
void CACETreeCtrl::RequestRowHeight() {
    const RECT rect = WindowRect();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(hwnd(), nullptr, 0, 0, width, height + 1, kFlags);
    SetWindowPos(hwnd(), nullptr, 0, 0, width, height, kFlags | SWP_FRAMECHANGED);
}

void CACETreeCtrl::LoadPictures() {
    const int side = metrics_.pictureSide;
    entryPicture_ = LoadPngForSide(IDP_OWNER, side);
    emptyCell_ = LoadPngForSide(IDP_CELL_EMPTY, side);
    scopeArrow_ = LoadPngForSide(IDP_CELL_DROPDOWN, side);
    tickedCell_ = LoadPngForSide(IDP_CELL_TICKED, side);
}

void CACETreeCtrl::ReadTextColour() {
    normalText_ = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF themed = normalText_;
    if (app_.shell.themeActive && IsVistaOrLater(app_.state.OsVersion) && listTheme_ &&
        SUCCEEDED(
            GetThemeColor(listTheme_.get(), LVP_LISTITEM, LISS_NORMAL, TMT_TEXTCOLOR, &themed)))
        normalText_ = themed;
}

void CACETreeCtrl::OnDpiChanged(int oldDpi, int newDpi) {
    metrics_ = AceListMetricsForDpi(newDpi);
    for (int column = 0; column < HeaderCount(); ++column)
        SetColumnWidth(column, ScaleBetweenDpi(ColumnWidth(column), oldDpi, newDpi));
    LoadPictures();
    RequestRowHeight();
    Invalidate();
}

LRESULT CACETreeCtrl::OnSetFont(Message& m) {
    const LRESULT result = DefaultProcessing(m);
    RequestRowHeight();
    return result;
}

LRESULT CACETreeCtrl::OnThemeChanged(Message& m) {
    listTheme_.Open(hwnd(), L"Explorer::ListView");
    ReadTextColour();
    m.handled = false;
    return 0;
}

// ---- Rows, as the model has them --------------------------------------------------------

// The list keeps no items (LVS_OWNERDATA): it asks the model for every text
// and keeps only how many rows there are and which are selected. A change of
// rows moves the selection and the focus with the rows.
void CACETreeCtrl::SetRowCount() {
    const size_t rows = model_ != nullptr ? model_->RowCount() : 0;
    Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), LVSICF_NOSCROLL);
}

void CACETreeCtrl::MoveSelection(const std::vector<size_t>& selected,
                                 const std::optional<size_t>& focused) {
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (size_t row : selected)
        SetItemState(static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
    if (focused)
        SetItemState(static_cast<int>(*focused), LVIS_FOCUSED, LVIS_FOCUSED);
}

std::optional<size_t> CACETreeCtrl::FocusedRow() const {
    const int focused = NextItem(-1, LVNI_FOCUSED);
    return focused >= 0 ? std::optional<size_t>(static_cast<size_t>(focused)) : std::nullopt;
}

void CACETreeCtrl::RowsInserted(size_t at, size_t count) {
    const std::vector<size_t> selected = SelectedModelRows();
    const std::optional<size_t> focused = FocusedRow();
    SetRowCount();
    if (selected.empty() && !focused)
        return;
    std::optional<size_t> focusedAfter;
    if (focused)
        focusedAfter = RowsAfterInsert({*focused}, at, count).front();
    MoveSelection(RowsAfterInsert(selected, at, count), focusedAfter);
}

void CACETreeCtrl::RowsRemoved(size_t at, size_t count) {
    const std::vector<size_t> selected = SelectedModelRows();
    const std::optional<size_t> focused = FocusedRow();
    SetRowCount();
    if (selected.empty() && !focused)
        return;
    std::optional<size_t> focusedAfter;
    if (focused) {
        const std::vector<size_t> moved = RowsAfterRemove({*focused}, at, count);
        if (!moved.empty())
            focusedAfter = moved.front();
    }
    MoveSelection(RowsAfterRemove(selected, at, count), focusedAfter);
}

LRESULT CACETreeCtrl::OnGetDispInfo(Message& m) {
    auto& info = *reinterpret_cast<NMLVDISPINFOW*>(m.lParam);
    if (model_ == nullptr || (info.item.mask & LVIF_TEXT) == 0 || info.item.cchTextMax <= 0)
        return 0;
    const std::wstring text =
        model_->CellText(static_cast<size_t>(info.item.iItem), info.item.iSubItem);
    lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
    return 0;
}

std::vector<size_t> CACETreeCtrl::SelectedModelRows() const {
    std::vector<size_t> rows;
    for (int row : SelectedRows())
        rows.push_back(static_cast<size_t>(row));
    return rows;
}

void CACETreeCtrl::SelectOnly(const std::vector<size_t>& rows) {
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (size_t row : rows) {
        const UINT state = row == rows.front() ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
        SetItemState(static_cast<int>(row), state, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (!rows.empty())
        EnsureVisible(static_cast<int>(rows.front()));
}

void CACETreeCtrl::SetBusy(bool busy) {
    busy_ = busy;
    busyFrame_ = 0;
    Invalidate();
}

void CACETreeCtrl::AdvanceBusyFrame() {
    if (!busy_)
        return;
    busyFrame_ = NextBusyFrame(busyFrame_);
    Invalidate();
}

void CACETreeCtrl::SetEmptyText(const std::wstring& text) {
    emptyText_ = text;
    if (ItemCount() == 0)
        Invalidate();
}

// ---- Mouse and keys ----------------------------------------------------------------------

void CACETreeCtrl::ClickCell(size_t row, int column) {
    if (model_ == nullptr || !model_->ClickCell(row, column))
        return;
    Invalidate();
    PostMessageW(Parent(), kMsgAceCellChanged, 0, 0);
}

LRESULT CACETreeCtrl::OnClick(Message& m) {
    const auto& click = *reinterpret_cast<const NMITEMACTIVATE*>(m.lParam);
    int column = -1;
    const int row = HitTest(click.ptAction, nullptr, &column);
    if (model_ == nullptr || row < 0 || column < 0)
        return 0;
    const auto modelRow = static_cast<size_t>(row);
    if (!model_->IsEntryRow(modelRow)) {
        ClickCell(modelRow, column);
        return 0;
    }
    const RECT cell = SubItemRect(row, column);
    const int x = At96Dpi(click.ptAction.x - cell.left, Dpi());
    const int width = At96Dpi(cell.right - cell.left, Dpi());
    if (model_->IsScopeArrowClick(modelRow, column, x, width))
        ShowScopeMenu();
    return 0;
}

LRESULT CACETreeCtrl::OnDoubleClick(Message& m) {
    const auto& click = *reinterpret_cast<const NMITEMACTIVATE*>(m.lParam);
    const int row = HitTest(click.ptAction);
    if (model_ != nullptr && row >= 0 && model_->IsEntryRow(static_cast<size_t>(row))) {
        RedrawGuard quiet(*this);
        model_->ToggleEntry(static_cast<size_t>(row));
    }
    return 0;
}

LRESULT CACETreeCtrl::OnRightClick(Message&) {
    ShowContextMenu();
    return TRUE;  // handled: no WM_CONTEXTMENU follows
}

// The context-menu key and Shift+F10; a right click was handled as NM_RCLICK.
LRESULT CACETreeCtrl::OnContextMenu(Message& m) {
    if (m.lParam == -1)
        ShowContextMenu();
    return 0;
}

// Space opens or closes an entry, and ticks the Allow cell of a right (the
// Deny cell with Shift); Delete removes the selected entries.
LRESULT CACETreeCtrl::OnKeyDown(Message& m) {
    const auto& key = *reinterpret_cast<const NMLVKEYDOWN*>(m.lParam);
    if (model_ == nullptr)
        return 0;
    if (key.wVKey == VK_DELETE) {
        SendMessageW(Parent(), WM_COMMAND, MAKEWPARAM(ID_ACE_REMOVE, 0), 0);
        return 0;
    }
    const int focused = NextItem(-1, LVNI_FOCUSED);
    if (key.wVKey != VK_SPACE || focused < 0)
        return 0;
    const auto row = static_cast<size_t>(focused);
    if (model_->IsEntryRow(row)) {
        RedrawGuard quiet(*this);
        model_->ToggleEntry(row);
    } else {
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        ClickCell(row, shift ? ace_column::kDeny : ace_column::kAllow);
    }
    return 0;
}

// A change of selection repaints the whole list: right rows never show one.
LRESULT CACETreeCtrl::OnItemChanged(Message& m) {
    const auto& change = *reinterpret_cast<const NMLISTVIEW*>(m.lParam);
    if ((change.uChanged & LVIF_STATE) != 0)
        Invalidate();
    m.handled = false;
    return 0;
}

// A range of rows changed state at once (a shift click in a virtual list).
LRESULT CACETreeCtrl::OnRangeChanged(Message& m) {
    Invalidate();
    m.handled = false;
    return 0;
}

void CACETreeCtrl::ShowScopeMenu() {
    PopupMenu(app_, PopupSubMenu::kApplyTo, Parent(), TPM_LEFTALIGN | TPM_TOPALIGN);
}

void CACETreeCtrl::ShowContextMenu() {
    PopupMenu(app_, PopupSubMenu::kAdvanced, Parent(), TPM_LEFTALIGN | TPM_TOPALIGN);
}

// ---- Painting --------------------------------------------------------------------------

bool CACETreeCtrl::PaintsItself() const {
    return busy_ || ItemCount() == 0;
}

LRESULT CACETreeCtrl::OnPaint(Message& m) {
    if (!PaintsItself()) {
        m.handled = false;
        return 0;
    }
    PaintDc paint(hwnd());
    PaintWhole(paint.get());
    return 0;
}

// Pictures of the window (PrintWindow) show the waiting picture too.
LRESULT CACETreeCtrl::OnPrintClient(Message& m) {
    if (!PaintsItself()) {
        m.handled = false;
        return 0;
    }
    PaintWhole(reinterpret_cast<HDC>(m.wParam));
    return 0;
}

void CACETreeCtrl::PaintWhole(HDC dc) {
    const RECT client = ClientRect();
    OffscreenCanvas canvas(dc, client);
    if (!canvas.ok())
        return;
    SelectObject(canvas.dc(), reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    SetBkMode(canvas.dc(), TRANSPARENT);
    FillSysColour(canvas.dc(), client, COLOR_WINDOW);
    if (busy_)
        PaintBusy(canvas.dc(), client);
    else
        PaintEmptyText(canvas.dc(), client);
    canvas.Present();
}

void CACETreeCtrl::PaintBusy(HDC dc, const RECT& client) {
    const BusyPicture picture = BusyPictureFor(client.right, client.bottom, Dpi());
    SetTextColor(dc, normalText_);
    RECT text = ToRect(picture.text);
    DrawTextW(dc, L"" STR_BUSY_TEXT, -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    for (size_t i = 0; i < picture.dots.size(); ++i)
        PaintPicture(dc, emptyCell_.get(), picture.dots[i],
                     static_cast<int>(i) == busyFrame_ ? kOpaque : kFaded);
}

void CACETreeCtrl::PaintEmptyText(HDC dc, const RECT& client) {
    if (emptyText_.empty())
        return;
    SetTextColor(dc, normalText_);
    constexpr UINT kFormat = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    // Measured over the width it is drawn in, so that no line is cut off.
    RECT measure = ToRect(EmptyTextRectFor(client.right, client.bottom, 0, Dpi()));
    DrawTextW(dc, emptyText_.c_str(), -1, &measure, kFormat | DT_CALCRECT);
    RECT text =
        ToRect(EmptyTextRectFor(client.right, client.bottom, measure.bottom - measure.top, Dpi()));
    DrawTextW(dc, emptyText_.c_str(), -1, &text, kFormat);
}

LRESULT CACETreeCtrl::OnMeasureItem(Message& m) {
    reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam)->itemHeight =
        static_cast<UINT>(metrics_.rowHeight);
    return TRUE;
}

LRESULT CACETreeCtrl::OnDrawItem(Message& m) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
    if (busy_ || model_ == nullptr || item.itemID == static_cast<UINT>(-1) ||
        item.itemID >= model_->RowCount())
        return TRUE;
    // One row at a time, drawn off-screen and copied in one step.
    OffscreenCanvas canvas(item.hDC, item.rcItem);
    if (!canvas.ok())
        return TRUE;
    SelectObject(canvas.dc(), reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    SetBkMode(canvas.dc(), TRANSPARENT);
    FillSysColour(canvas.dc(), item.rcItem, COLOR_WINDOW);
    PaintRow(canvas.dc(), item.itemID, item.rcItem, (item.itemState & ODS_SELECTED) != 0);
    canvas.Present();
    return TRUE;
}

void CACETreeCtrl::PaintRow(HDC dc, size_t row, const RECT& bounds, bool selected) {
    const bool entry = model_->IsEntryRow(row);
    const bool themed = app_.shell.themeActive && IsVistaOrLater(app_.state.OsVersion) &&
                        static_cast<bool>(listTheme_);
    bool highlighted = false;
    if (selected && entry) {  // right rows never show a selection
        RECT below = bounds;
        below.top += 1;
        if (themed) {
            DrawThemeBackground(listTheme_.get(), dc, LVP_LISTITEM, LISS_SELECTED, &below, nullptr);
        } else {
            FillSysColour(dc, below, COLOR_HIGHLIGHT);
            highlighted = true;
        }
    }
    COLORREF colour = model_->IsInheritedRow(row) ? GetSysColor(COLOR_GRAYTEXT) : normalText_;
    if (highlighted)
        colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    SetTextColor(dc, colour);
    std::vector<int> widths;
    for (int column = 0; column < HeaderCount(); ++column)
        widths.push_back(ColumnWidth(column));
    const std::vector<PixelRect> cells = AceCellRects(ToPixel(bounds), widths);
    if (entry)
        PaintEntryRow(dc, row, cells);
    else
        PaintRightRow(dc, row, cells);
}

void CACETreeCtrl::PaintEntryRow(HDC dc, size_t row, const std::vector<PixelRect>& cells) {
    PaintPicture(dc, entryPicture_.get(), CellPictureOrigin(cells[ace_column::kToggle], metrics_),
                 kOpaque);
    const bool hasScope = cells.size() > static_cast<size_t>(ace_column::kApplyTo);
    // The arrow only where a click on it does something.
    if (hasScope && !model_->IsInheritedRow(row) && !model_->readOnly())
        PaintPicture(dc, scopeArrow_.get(), ScopeArrowOrigin(cells[ace_column::kApplyTo], metrics_),
                     kOpaque);
    for (size_t column = ace_column::kType; column < cells.size(); ++column) {
        PixelRect cell = cells[column];
        if (column == static_cast<size_t>(ace_column::kApplyTo))
            cell.right -= metrics_.arrowRoom;
        const UINT align = column == static_cast<size_t>(ace_column::kType) ? DT_CENTER : DT_LEFT;
        PaintText(dc, model_->CellText(row, static_cast<int>(column)), cell, align);
    }
}

void CACETreeCtrl::PaintRightRow(HDC dc, size_t row, const std::vector<PixelRect>& cells) {
    if (cells.size() <= static_cast<size_t>(ace_column::kDeny))
        return;
    PaintText(dc, model_->CellText(row, ace_column::kName), cells[ace_column::kName], DT_LEFT);
    const BYTE alpha = model_->IsInheritedRow(row) ? kFaded : kOpaque;
    for (int column : {ace_column::kAllow, ace_column::kDeny}) {
        const bool ticked = !model_->CellText(row, column).empty();
        PaintPicture(dc, ticked ? tickedCell_.get() : emptyCell_.get(),
                     CellPictureOrigin(cells[static_cast<size_t>(column)], metrics_), alpha);
    }
}

void CACETreeCtrl::PaintText(HDC dc, const std::wstring& text, PixelRect cell, UINT align) const {
    cell.left += metrics_.textInset;
    cell.right -= metrics_.textInset;
    if (text.empty() || cell.right <= cell.left)
        return;
    RECT rect = ToRect(cell);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// A picture with its own alpha, faded as a whole by the constant alpha.
void CACETreeCtrl::PaintPicture(HDC dc, Gdiplus::Bitmap* picture, PixelPoint origin,
                                BYTE alpha) const {
    if (picture == nullptr)
        return;
    const int side = metrics_.pictureSide;
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    const Gdiplus::Rect target(origin.x, origin.y, side, side);
    const auto width = static_cast<INT>(picture->GetWidth());
    const auto height = static_cast<INT>(picture->GetHeight());
    if (alpha == kOpaque) {
        graphics.DrawImage(picture, target, 0, 0, width, height, Gdiplus::UnitPixel);
        return;
    }
    Gdiplus::ColorMatrix fade{};
    for (int i = 0; i < 5; ++i)
        fade.m[i][i] = 1.0f;
    fade.m[3][3] = static_cast<Gdiplus::REAL>(alpha) / 255.0f;
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&fade);
    graphics.DrawImage(picture, target, 0, 0, width, height, Gdiplus::UnitPixel, &attributes);
}

}  // namespace vm
