#include "framework/GdiPlus.h"

#include <objidl.h>
#include <shlwapi.h>

#include <cstring>

#include "framework/Window.h"
#include "platform/Dpi.h"
#include "resources/resource.h"

namespace vm {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
        token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_ != 0)
        Gdiplus::GdiplusShutdown(token_);
}

namespace {

// Releases a COM interface once.
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(UINT id) {
    HMODULE module = ResourceModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (found == nullptr)
        return nullptr;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0)
        return nullptr;
    // The stream copies the bytes; GDI+ keeps reading from the stream for the
    // life of the bitmap, so the bitmap is cloned into memory of its own.
    std::unique_ptr<IStream, ComRelease> stream(
        SHCreateMemStream(static_cast<const BYTE*>(bytes), size));
    if (!stream)
        return nullptr;
    Gdiplus::Bitmap decoded(stream.get());
    if (decoded.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    const auto width = static_cast<INT>(decoded.GetWidth());
    const auto height = static_cast<INT>(decoded.GetHeight());
    std::unique_ptr<Gdiplus::Bitmap> copy(decoded.Clone(0, 0, width, height, PixelFormat32bppARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return copy;
}

static_assert(IDP_AT_150 == ImageResourceIdAt(0, ImageScale::k150) &&
                  IDP_AT_200 == ImageResourceIdAt(0, ImageScale::k200),
              "images.rc numbers the larger renderings as platform/Dpi.h looks for them");

std::unique_ptr<Gdiplus::Bitmap> LoadPngForSide(UINT baseId, int drawnSide) {
    std::unique_ptr<Gdiplus::Bitmap> base = LoadPngResource(baseId);
    if (!base)
        return nullptr;
    const auto baseSide = static_cast<int>(base->GetWidth());
    const ImageScale scale = NearestImageScale(baseSide, drawnSide);
    if (scale == ImageScale::k100)
        return base;
    std::unique_ptr<Gdiplus::Bitmap> larger =
        LoadPngResource(static_cast<UINT>(ImageResourceIdAt(static_cast<int>(baseId), scale)));
    return larger ? std::move(larger) : std::move(base);
}

void DrawPicture(HDC dc, Gdiplus::Image* picture, const RECT& dest) {
    if (picture == nullptr)
        return;
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.DrawImage(
        picture, Gdiplus::Rect(dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top),
        0, 0, static_cast<INT>(picture->GetWidth()), static_cast<INT>(picture->GetHeight()),
        Gdiplus::UnitPixel);
}

}  // namespace vm
