#include "framework/Gdi.h"

namespace vm {

OffscreenCanvas::OffscreenCanvas(HDC target, const RECT& rect) : target_(target), rect_(rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;
    memory_ = CreateCompatibleDC(target);
    if (memory_ == nullptr)
        return;
    bitmap_.Reset(CreateCompatibleBitmap(target, width, height));
    if (!bitmap_)
        return;
    previousBitmap_ = SelectObject(memory_, bitmap_.get());
    // Let callers draw with the coordinates of rect.
    SetViewportOrgEx(memory_, -rect.left, -rect.top, nullptr);
    // Text and background defaults of the target.
    SelectObject(memory_, GetCurrentObject(target, OBJ_FONT));
}

OffscreenCanvas::~OffscreenCanvas() {
    if (memory_ == nullptr)
        return;
    if (previousBitmap_ != nullptr)
        SelectObject(memory_, previousBitmap_);
    DeleteDC(memory_);
}

void OffscreenCanvas::Present() const {
    if (!ok())
        return;
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top,
           memory_, rect_.left, rect_.top, SRCCOPY);
}

void FillSysColour(HDC dc, const RECT& rect, int sysColourIndex) {
    FillRect(dc, &rect, GetSysColorBrush(sysColourIndex));
}

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
    Brush brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

Font MakeSymbolFont(const wchar_t* face, int height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfCharSet = SYMBOL_CHARSET;
    font.lfWeight = FW_NORMAL;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return Font(CreateFontIndirectW(&font));
}

}  // namespace vm
