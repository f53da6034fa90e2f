#include "app/AboutDlg.win32.h"

#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>

#include <vector>

#include "app/AboutBox.h"
#include "app/VersionCheck.h"
#include "framework/Gdi.h"
#include "framework/Shell.h"
#include "platform/win32/Handles.h"
#include "resources/resource.h"

namespace vm {

namespace {

constexpr COLORREF kVersionColour = RGB(99, 99, 99);
// IID_IImageList (commoncontrols.h), which the import libraries lack.
constexpr GUID kImageListInterface = {
    0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};
constexpr COLORREF kLineColour = RGB(200, 200, 200);

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type icon) { DestroyIcon(icon); }
};
using UniqueIcon = win32::Unique<IconTraits>;

RECT ToRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

int SystemIconIndex(const std::wstring& path, DWORD extraFlags) {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_SYSICONINDEX | extraFlags) == 0)
        return -1;
    return info.iIcon;
}

// The program file's icon from the system image list of 48 (before Windows
// Vista) or 256 pixels; null when the shell has no such list. A shell that
// only knows the generic icon of programs for the file (Wine's does) gives
// way to the program's own icon resource at that size.
UniqueIcon ProgramIcon(float osVersion) {
    const bool vista = IsVistaOrLater(osVersion);
    const int index = SystemIconIndex(ProgramPath(), 0);
    if (index < 0)
        return UniqueIcon();
    ComPtr<IImageList> list;
    if (FAILED(SHGetImageList(vista ? SHIL_JUMBO : SHIL_EXTRALARGE, kImageListInterface,
                              list.put_void())) ||
        !list)
        return UniqueIcon();
    if (index == SystemIconIndex(L"program.exe", SHGFI_USEFILEATTRIBUTES)) {
        const int side = vista ? 256 : 48;
        return UniqueIcon(
            static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDI_VELMORA),
                                          IMAGE_ICON, side, side, LR_DEFAULTCOLOR)));
    }
    UniqueIcon icon;
    if (FAILED(list->GetIcon(index, ILD_TRANSPARENT, icon.put())))
        return UniqueIcon();
    return icon;
}

// The icon's colour bitmap as 32-bit ARGB. Icons without an alpha channel
// take their transparency from the mask.
std::unique_ptr<Gdiplus::Bitmap> IconWithAlpha(HICON icon) {
    ICONINFO parts{};
    if (!GetIconInfo(icon, &parts))
        return nullptr;
    const Bitmap colour(parts.hbmColor);
    const Bitmap mask(parts.hbmMask);
    BITMAP shape{};
    if (!colour || GetObjectW(colour.get(), sizeof(shape), &shape) == 0)
        return nullptr;
    const int width = shape.bmWidth;
    const int height = shape.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    std::vector<uint32_t> maskPixels(pixels.size());
    WindowDc screen(nullptr);
    if (GetDIBits(screen.get(), colour.get(), 0, static_cast<UINT>(height), pixels.data(), &format,
                  DIB_RGB_COLORS) == 0)
        return nullptr;
    bool hasAlpha = false;
    for (uint32_t pixel : pixels)
        hasAlpha = hasAlpha || (pixel >> 24) != 0;
    if (!hasAlpha && mask &&
        GetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(height), maskPixels.data(),
                  &format, DIB_RGB_COLORS) != 0) {
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = (maskPixels[i] & 0xFFFFFF) != 0 ? 0 : (pixels[i] | 0xFF000000u);
    }
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, width, height);
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok)
        return nullptr;
    for (int y = 0; y < height; ++y) {
        auto* row =
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + y * data.Stride);
        std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(y) * width, width, row);
    }
    bitmap->UnlockBits(&data);
    return bitmap;
}

void DrawScaled(HDC dc, Gdiplus::Bitmap* picture, const RECT& dest) {
    if (picture == nullptr)
        return;
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    graphics.DrawImage(picture, Gdiplus::Rect(dest.left, dest.top, dest.right - dest.left,
                                              dest.bottom - dest.top));
}

}  // namespace

CAboutDlg::CAboutDlg(const AppContext& app) : CDialog(IDD_ABOUT), app_(app) {}
CAboutDlg::~CAboutDlg() = default;

std::wstring CAboutDlg::VersionLine() {
    return FormatVersionLine(kOwnVersion, __DATE__, __TIME__);
}

std::span<const Route<CAboutDlg>> CAboutDlg::Routes() {
    static const Route<CAboutDlg> routes[] = {
        OnNotify(IDC_ABOUT_HOME_PAGE, NM_CLICK, &CAboutDlg::OnLink),
        OnNotify(IDC_ABOUT_HOME_PAGE, NM_RETURN, &CAboutDlg::OnLink),
        OnNotify(IDC_ABOUT_SUGGESTIONS, NM_CLICK, &CAboutDlg::OnLink),
        OnNotify(IDC_ABOUT_SUGGESTIONS, NM_RETURN, &CAboutDlg::OnLink),
        OnNotify(IDC_ABOUT_DONATE, NM_CLICK, &CAboutDlg::OnLink),
        OnNotify(IDC_ABOUT_DONATE, NM_RETURN, &CAboutDlg::OnLink),
        OnMsg(WM_ERASEBKGND, &CAboutDlg::OnEraseBackground),
        OnMsg(WM_PAINT, &CAboutDlg::OnPaint),
        OnMsg(WM_CTLCOLORSTATIC, &CAboutDlg::OnControlColour),
    };
    return routes;
}

bool CAboutDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

BOOL CAboutDlg::OnInitDialog() {
    if (UniqueIcon icon = ProgramIcon(app_.state.OsVersion))
        icon_ = IconWithAlpha(icon.get());
    LoadTitlePicture();
    return TRUE;
}

void CAboutDlg::OnDpiChanged(int, int) {
    LoadTitlePicture();
    Invalidate();
}

void CAboutDlg::LoadTitlePicture() {
    const std::unique_ptr<Gdiplus::Bitmap> base = LoadPngResource(IDP_ABOUT_TITLE);
    if (!base) {
        title_.reset();
        return;
    }
    titleSize_ = {Scale(static_cast<int>(base->GetWidth())),
                  Scale(static_cast<int>(base->GetHeight()))};
    title_ = LoadPngForSide(IDP_ABOUT_TITLE, titleSize_.cx);
}

LRESULT CAboutDlg::OnLink(Message& m) {
    if (const auto url = AboutLinkUrl(app_.site, m.RouteId()))
        OpenWebPage(app_, *url);
    return 0;
}

LRESULT CAboutDlg::OnControlColour(Message&) {
    // The links stand on the white part.
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

LRESULT CAboutDlg::OnEraseBackground(Message& m) {
    // Only the footer: WM_PAINT covers the part above it.
    const RECT client = ClientRect();
    const AboutPlaces places = ComputeAboutPlaces(client.right, client.bottom, Dpi());
    const RECT footer{0, places.painted.bottom, client.right, client.bottom};
    FillSysColour(reinterpret_cast<HDC>(m.wParam), footer, COLOR_BTNFACE);
    return TRUE;
}

LRESULT CAboutDlg::OnPaint(Message&) {
    PaintDc paint(hwnd());
    Paint(paint.get(), ClientRect());
    return 0;
}

void CAboutDlg::Paint(HDC target, const RECT& client) const {
    const AboutPlaces places = ComputeAboutPlaces(client.right, client.bottom, Dpi());
    OffscreenCanvas canvas(target, ToRect(places.painted));
    if (!canvas.ok())
        return;
    HDC dc = canvas.dc();
    FillColour(dc, ToRect(places.painted), RGB(255, 255, 255));
    DrawScaled(dc, title_.get(),
               {places.titleImage.x, places.titleImage.y, places.titleImage.x + titleSize_.cx,
                places.titleImage.y + titleSize_.cy});
    {
        SavedDcState saved(dc);
        SelectedObject font(dc, DialogFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kVersionColour);
        const std::wstring line = VersionLine();
        RECT band = ToRect(places.versionLine);
        DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &band,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    DrawScaled(dc, icon_.get(), ToRect(places.icon));
    FillColour(dc, ToRect(places.upperLine), kLineColour);
    FillColour(dc, ToRect(places.lowerLine), kLineColour);
    canvas.Present();
}

}  // namespace vm
