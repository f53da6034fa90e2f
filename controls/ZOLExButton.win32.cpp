#include "controls/ZOLExButton.win32.h"

#include "controls/ControlModel.h"
#include "framework/Gdi.h"

namespace vm {

std::span<const Route<CZOLExButton>> CZOLExButton::Routes() {
    static const Route<CZOLExButton> routes[] = {
        OnReflected(WM_DRAWITEM, kAnyCode, &CZOLExButton::OnDrawItem),
        OnMsg(WM_MOUSEMOVE, &CZOLExButton::OnMouseMove),
        OnMsg(WM_MOUSELEAVE, &CZOLExButton::OnMouseLeave),
        OnMsg(WM_MOUSEHOVER, &CZOLExButton::OnMouseHover),
    };
    return routes;
}

bool CZOLExButton::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CWnd::OnMessage(m, result);
}

void CZOLExButton::OnAttached() {
    ChangeStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

bool CZOLExButton::SetImage(UINT resourceId, int size, bool showText) {
    showText_ = showText;
    resourceId_ = resourceId;
    sizeAt96_ = size;
    LoadImageForDpi();
    return image_ != nullptr;
}

void CZOLExButton::ShowText(bool showText) {
    if (showText == showText_)
        return;
    showText_ = showText;
    Invalidate();
}

void CZOLExButton::LoadImageForDpi() {
    if (sizeAt96_ == -1) {
        // The image's own size: the 1x rendering's width, at this DPI.
        image_ = LoadPngResource(resourceId_);
        imageSize_ = image_ ? Scale(static_cast<int>(image_->GetWidth())) : 0;
        if (image_)
            image_ = LoadPngForSide(resourceId_, imageSize_);
    } else {
        imageSize_ = Scale(sizeAt96_);
        image_ = LoadPngForSide(resourceId_, imageSize_);
    }
    imageWidth_ = image_ ? static_cast<int>(image_->GetWidth()) : 0;
    imageHeight_ = image_ ? static_cast<int>(image_->GetHeight()) : 0;
    if (hwnd() != nullptr)
        Invalidate();
}

void CZOLExButton::OnDpiChanged(int, int) {
    if (resourceId_ != 0)
        LoadImageForDpi();
}

int CZOLExButton::CaptionLeft() const {
    return ButtonCaptionLeft(imageSize_, Dpi());
}

LRESULT CZOLExButton::OnMouseMove(Message& m) {
    if (!hovered_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = hwnd();
        track.dwHoverTime = 10;
        TrackMouseEvent(&track);
        hovered_ = true;
        Invalidate();
    }
    m.handled = false;
    return 0;
}

LRESULT CZOLExButton::OnMouseLeave(Message& m) {
    hovered_ = false;
    Invalidate();
    m.handled = false;
    return 0;
}

LRESULT CZOLExButton::OnMouseHover(Message& m) {
    Invalidate();
    m.handled = false;
    return 0;
}

LRESULT CZOLExButton::OnDrawItem(Message& m) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
    const RECT client = item.rcItem;
    OffscreenCanvas canvas(item.hDC, client);
    if (!canvas.ok())
        return TRUE;
    HDC dc = canvas.dc();
    FillSysColour(dc, client, COLOR_BTNFACE);
    SelectedObject font(dc, reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    const bool enabled = (item.itemState & ODS_DISABLED) == 0 && IsWindowEnabled(hwnd());
    PaintImage(dc, client, enabled);
    if (showText_)
        PaintCaption(dc, client, enabled);
    canvas.Present();
    return TRUE;
}

void CZOLExButton::PaintImage(HDC dc, const RECT& client, bool enabled) {
    if (!image_)
        return;
    const int left = ButtonImageLeft(showText_, client.right - client.left, imageSize_, Dpi());
    const int top = ButtonImageTop(client.bottom - client.top, imageSize_);
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    Gdiplus::Rect dest(left, top, imageSize_, imageSize_);
    auto draw = [&](Gdiplus::Rect to, const Gdiplus::ImageAttributes* attributes) {
        return graphics.DrawImage(image_.get(), to, 0, 0, imageWidth_, imageHeight_,
                                  Gdiplus::UnitPixel, attributes) == Gdiplus::Ok;
    };
    if (!enabled) {
        Gdiplus::ImageAttributes grey;
        ColourMatrix model = DisabledImageMatrix();
        Gdiplus::ColorMatrix matrix;
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 5; ++column)
                matrix.m[row][column] = model.m[row][column];
        grey.SetColorMatrix(&matrix);
        if (!draw(dest, &grey)) {
            // Fallback: the plain picture under half-transparent button face.
            draw(dest, nullptr);
            const COLORREF face = GetSysColor(COLOR_BTNFACE);
            Gdiplus::SolidBrush veil(
                Gdiplus::Color(0x80, GetRValue(face), GetGValue(face), GetBValue(face)));
            graphics.FillRectangle(&veil, dest);
        }
        return;
    }
    if (hovered_) {
        Gdiplus::ImageAttributes lighter;
        lighter.SetGamma(kHoverGamma);
        if (!draw(dest, &lighter)) {
            // Fallback: one pixel (at 96 DPI) higher inside a raised frame.
            const int lift = Scale(1);
            const int margin = Scale(2);
            RECT frame{left - margin, top - margin - lift, left + imageSize_ + margin,
                       top + imageSize_ + lift};
            draw(Gdiplus::Rect(left, top - lift, imageSize_, imageSize_), nullptr);
            DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
        }
        return;
    }
    draw(dest, nullptr);
}

void CZOLExButton::PaintCaption(HDC dc, const RECT& client, bool enabled) {
    RECT text = client;
    text.left = CaptionLeft();
    const std::wstring caption = Text();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? textColour_ : disabledTextColour_);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
}

}  // namespace vm
