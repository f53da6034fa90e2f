#include "controls/ZOLProgressCtrl.win32.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

#include "app/Messages.h"
#include "controls/ControlModel.h"

namespace vm {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;

// The theme's part size, else 100 pixels at 96 DPI.
int OverlayWidth(const ThemeHandle& theme, HWND window, int dpi) {
    const int unthemed = UnthemedMarkerWidth(dpi);
    if (!theme)
        return unthemed;
    SIZE size{unthemed, 0};
    WindowDc dc(window);
    if (FAILED(
            GetThemePartSize(theme.get(), dc.get(), PP_MOVEOVERLAY, 1, nullptr, TS_TRUE, &size)) ||
        size.cx <= 0)
        return unthemed;
    return size.cx;
}

}  // namespace

std::span<const Route<CZOLProgressCtrl>> CZOLProgressCtrl::Routes() {
    static const Route<CZOLProgressCtrl> routes[] = {
        OnMsg(WM_PAINT, &CZOLProgressCtrl::OnPaint),
        OnMsg(WM_ERASEBKGND, &CZOLProgressCtrl::OnEraseBackground),
        OnMsg(WM_SIZE, &CZOLProgressCtrl::OnSize),
        OnTimer(kAnimationTimer, &CZOLProgressCtrl::OnAnimationTick),
        OnMsg(WM_THEMECHANGED, &CZOLProgressCtrl::OnThemeChanged),
    };
    return routes;
}

bool CZOLProgressCtrl::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CWnd::OnMessage(m, result);
}

void CZOLProgressCtrl::OnAttached() {
    OpenThemes();
}

void CZOLProgressCtrl::OnDpiChanged(int, int) {
    OpenThemes();
    Invalidate();
}

void CZOLProgressCtrl::OnDestroyed() {
    StopAnimation();
    barTheme_.Close();
    markerTheme_.Close();
}

void CZOLProgressCtrl::OpenThemes() {
    barTheme_.Open(hwnd(), L"PROGRESS");
    markerTheme_.Open(hwnd(), L"Indeterminate::PROGRESS");
    glowWidth_ = OverlayWidth(barTheme_, hwnd(), Dpi());
    markerWidth_ = OverlayWidth(markerTheme_, hwnd(), Dpi());
    markerOffset_ = -markerWidth_;
}

void CZOLProgressCtrl::SetPos(float value) {
    position_ = value;
    Invalidate();
    if (ProgressReachesCompletion(value))
        PostMessageW(Parent(), kMsgProgressComplete, 0, 0);
}

void CZOLProgressCtrl::SetRange(float minimum, float maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    Invalidate();
}

void CZOLProgressCtrl::SetIndeterminate(bool indeterminate) {
    indeterminate_ = indeterminate;
    markerOffset_ = -(indeterminate ? markerWidth_ : glowWidth_);
    Invalidate();
}

void CZOLProgressCtrl::StartAnimation() {
    StartTimer(kAnimationTimer, kProgressTimerMs);
}

void CZOLProgressCtrl::StopAnimation() {
    if (hwnd() != nullptr)
        StopTimer(kAnimationTimer);
}

LRESULT CZOLProgressCtrl::OnAnimationTick(Message&) {
    const RECT client = ClientRect();
    markerOffset_ = AdvanceMarker(markerOffset_, indeterminate_ ? markerWidth_ : glowWidth_,
                                  client.right - client.left, Dpi());
    Invalidate();
    return 0;
}

LRESULT CZOLProgressCtrl::OnEraseBackground(Message&) {
    return 1;
}

LRESULT CZOLProgressCtrl::OnSize(Message&) {
    Invalidate();
    return 0;
}

LRESULT CZOLProgressCtrl::OnThemeChanged(Message&) {
    OpenThemes();
    Invalidate();
    return 0;
}

LRESULT CZOLProgressCtrl::OnPaint(Message&) {
    PaintDc paint(hwnd());
    const RECT client = ClientRect();
    OffscreenCanvas canvas(paint.get(), client);
    if (!canvas.ok())
        return 0;
    Paint(canvas.dc(), client);
    canvas.Present();
    return 0;
}

void CZOLProgressCtrl::Paint(HDC dc, const RECT& client) {
    FillColour(dc, client, backgroundColour_);
    RECT inner = client;
    if (barTheme_) {
        DrawThemeBackground(barTheme_.get(), dc, PP_TRANSPARENTBAR, 1, &client, nullptr);
    } else {
        // A sunken frame: shadow at the top left, highlight at the bottom right.
        DrawEdge(dc, &inner, BDR_SUNKENOUTER, BF_RECT);
        InflateRect(&inner, -1, -1);
    }
    if (indeterminate_)
        PaintBlock(dc, client);
    else
        PaintFill(dc, client, inner);
}

void CZOLProgressCtrl::PaintBlock(HDC dc, const RECT& client) {
    RECT block{markerOffset_, client.top, markerOffset_ + markerWidth_, client.bottom};
    if (markerTheme_) {
        RECT clip = client;
        InflateRect(&clip, -1, -1);
        DrawThemeBackground(markerTheme_.get(), dc, PP_MOVEOVERLAY, 4, &block, &clip);
        return;
    }
    InflateRect(&block, -1, -1);
    block.left = std::max(block.left, client.left);
    block.right = std::min(block.right, client.right);
    if (block.right > block.left)
        FillColour(dc, block, barColour_);
}

void CZOLProgressCtrl::PaintFill(HDC dc, const RECT& client, const RECT& inner) {
    RECT fill = inner;
    fill.right =
        ProgressFillRight(inner.left, position_, minimum_, maximum_, client.right - client.left);
    fill.right = std::min(fill.right, inner.right);
    if (fill.right <= fill.left)
        return;
    if (!barTheme_) {
        FillColour(dc, fill, barColour_);
        return;
    }
    DrawThemeBackground(barTheme_.get(), dc, PP_FILL, 1, &fill, nullptr);
    if (position_ != maximum_) {
        RECT glow{markerOffset_, fill.top, markerOffset_ + glowWidth_, fill.bottom};
        DrawThemeBackground(barTheme_.get(), dc, PP_MOVEOVERLAY, 1, &glow, &fill);
    }
}

}  // namespace vm
