#include "bookmarks/BookmarkMangerDlg.win32.h"

#include "app/Messages.h"
#include "app/Texts.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace vm {

namespace {

// The smallest client area the layout keeps its buttons apart in (96 DPI).
constexpr int kMinimumWidth = 380;
constexpr int kMinimumHeight = 220;
constexpr COLORREF kLineColour = RGB(200, 200, 200);

RECT ToRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void MoveTo(HWND control, const PixelRect& place) {
    MoveWindow(control, place.left, place.top, place.Width(), place.Height(), TRUE);
}

}  // namespace

CBookmarkMangerDlg::CBookmarkMangerDlg(AppContext& app)
    : CDialog(IDD_BOOKMARK_MANAGER), app_(app) {}

std::span<const Route<CBookmarkMangerDlg>> CBookmarkMangerDlg::Routes() {
    static const Route<CBookmarkMangerDlg> routes[] = {
        OnCommand(IDC_BOOKMARK_REMOVE, &CBookmarkMangerDlg::OnRemove, BN_CLICKED),
        OnMsg(kMsgBookmarkChanged, &CBookmarkMangerDlg::OnSelectionChanged),
        OnNotify(IDC_BOOKMARK_LIST, LVN_ENDLABELEDITW, &CBookmarkMangerDlg::OnEndLabelEdit),
        OnMsg(WM_SIZE, &CBookmarkMangerDlg::OnSize),
        OnMsg(WM_GETMINMAXINFO, &CBookmarkMangerDlg::OnGetMinMaxInfo),
        OnMsg(WM_ERASEBKGND, &CBookmarkMangerDlg::OnEraseBackground),
        OnMsg(WM_PAINT, &CBookmarkMangerDlg::OnPaint),
    };
    return routes;
}

bool CBookmarkMangerDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

BOOL CBookmarkMangerDlg::OnInitDialog() {
    list_.AttachDlgItem(hwnd(), IDC_BOOKMARK_LIST);
    list_.SetUp(app_.shell.themeActive);
    EnableWindow(Item(IDC_BOOKMARK_REMOVE), FALSE);
    model_ = BookmarkManagerModel::Load(app_.state.files.bookmarkFile, app_.bookmarks);
    FillList();
    LayOut();
    return TRUE;
}

void CBookmarkMangerDlg::FillList() {
    RedrawGuard quiet(list_);
    list_.DeleteAllItems();
    for (int i = 0; i < model_.count(); ++i) {
        const BookmarkRow& row = model_.rows()[static_cast<size_t>(i)];
        list_.InsertItem(i, row.name, row.mode);
        list_.SetItemText(i, 1, row.ShownPaths());
        list_.SetItemText(i, 2, row.paths);
    }
}

LRESULT CBookmarkMangerDlg::OnSelectionChanged(Message&) {
    EnableWindow(Item(IDC_BOOKMARK_REMOVE), CanRemoveBookmarks(list_.SelectedCount()));
    return 0;
}

LRESULT CBookmarkMangerDlg::OnRemove(Message&) {
    const std::vector<int> removed = model_.Remove(list_.SelectedRows());
    {
        RedrawGuard quiet(list_);
        for (int row : removed)  // last first, so that the others keep their rows
            list_.DeleteItem(row);
    }
    EnableWindow(Item(IDC_BOOKMARK_REMOVE), CanRemoveBookmarks(list_.SelectedCount()));
    return 0;
}

LRESULT CBookmarkMangerDlg::OnEndLabelEdit(Message& m) {
    const auto& info = *reinterpret_cast<const NMLVDISPINFOW*>(m.lParam);
    if (info.item.pszText == nullptr)  // the edit was cancelled
        return FALSE;
    // Whatever was typed is the new name, an empty one included.
    model_.Rename(info.item.iItem, info.item.pszText);
    return TRUE;
}

void CBookmarkMangerDlg::OnCancel() {
    SaveRows();
    CDialog::OnCancel();
}

void CBookmarkMangerDlg::SaveRows() {
    const std::wstring& file = app_.state.files.bookmarkFile;
    const Status written = RewriteBookmarks(file, model_.Records());
    if (!written.ok()) {
        app_.state.reporter().Tell(
            FillPlaceholders(L"" STR_BOOKMARKS_NOT_SAVED,
                             {file, app_.state.platform().ErrorText(written.error)}),
            MessageIcon::kError);
    }
    app_.bookmarks = LoadBookmarkIndex(file);
}

void CBookmarkMangerDlg::LayOut() {
    const RECT client = ClientRect();
    const BookmarkManagerPlaces places =
        ComputeBookmarkManagerPlaces(client.right, client.bottom, Dpi());
    MoveTo(list_.hwnd(), places.list);
    list_.SetColumnWidth(0, places.nameColumnWidth);
    MoveTo(Item(IDCANCEL), places.close);
    MoveTo(Item(IDC_BOOKMARK_REMOVE), places.remove);
    Invalidate();
}

void CBookmarkMangerDlg::OnDpiChanged(int, int) {
    LayOut();
}

LRESULT CBookmarkMangerDlg::OnSize(Message&) {
    LayOut();
    return 0;
}

LRESULT CBookmarkMangerDlg::OnGetMinMaxInfo(Message& m) {
    auto& info = *reinterpret_cast<MINMAXINFO*>(m.lParam);
    RECT frame{0, 0, Scale(kMinimumWidth), Scale(kMinimumHeight)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(Style()), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)));
    info.ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
    return 0;
}

LRESULT CBookmarkMangerDlg::OnEraseBackground(Message&) {
    return TRUE;  // WM_PAINT covers everything
}

LRESULT CBookmarkMangerDlg::OnPaint(Message&) {
    PaintDc paint(hwnd());
    const RECT client = ClientRect();
    OffscreenCanvas canvas(paint.get(), client);
    if (!canvas.ok())
        return 0;
    const BookmarkManagerPlaces places =
        ComputeBookmarkManagerPlaces(client.right, client.bottom, Dpi());
    FillSysColour(canvas.dc(), ToRect(places.content), COLOR_WINDOW);
    FillSysColour(canvas.dc(), ToRect(places.footer), COLOR_BTNFACE);
    FillColour(canvas.dc(), ToRect(places.line), kLineColour);
    canvas.Present();
    return 0;
}

}  // namespace vm
