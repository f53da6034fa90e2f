// GDI+ for the PNG pictures of the program: a session holder for the
// start-up token, and PNG resources (type "PNG") decoded into bitmaps.
#pragma once

#include "platform/win32/WinApi.h"
// gdiplus.h expects min and max; NOMINMAX hides the macros, so give it the
// std versions.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <memory>

namespace vm {

// GdiplusStartup in the constructor, GdiplusShutdown in the destructor.
class GdiplusSession {
  public:
    GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession();
    bool ok() const { return token_ != 0; }

  private:
    ULONG_PTR token_ = 0;
};

// Decodes the resource (id, type "PNG") of the resource module; nullptr
// when it is missing or cannot be decoded. Needs a GdiplusSession.
std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(UINT id);
// The rendering of picture baseId (1x; 1.5x and 2x are their own resources,
// platform/Dpi.h) whose side is nearest to drawnSide pixels; the 1x picture
// when that rendering is missing.
std::unique_ptr<Gdiplus::Bitmap> LoadPngForSide(UINT baseId, int drawnSide);

// Draws a picture with its own alpha into dest (scaled from its full size).
void DrawPicture(HDC dc, Gdiplus::Image* picture, const RECT& dest);

}  // namespace vm
