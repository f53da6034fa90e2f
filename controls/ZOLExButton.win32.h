// CZOLExButton: a push button (from a dialog template, subclassed) that
// paints a PNG resource, with or without its caption to the right, and
// lightens while the mouse is over it; disabled, the picture is grey and
// faded. Used for the tool bar of the main window and the '+', '-' and 'R'
// buttons of the Advanced Security Settings dialog.
#pragma once

#include <memory>

#include "framework/GdiPlus.h"
#include "framework/Window.h"

namespace vm {

class CZOLExButton : public CWnd {
  public:
    // Loads PNG resourceId; size -1 takes the image's own width as the side
    // of the square the image is drawn in. False when the resource is
    // missing (the button then paints its face and caption only).
    bool SetImage(UINT resourceId, int size = 30, bool showText = false);
    bool Hovered() const { return hovered_; }
    bool HasImage() const { return image_ != nullptr; }
    int ImageSize() const { return imageSize_; }

  protected:
    // The button becomes owner-drawn (BS_TYPEMASK replaced by BS_OWNERDRAW).
    void OnAttached() override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CZOLExButton>> Routes();
    LRESULT OnDrawItem(Message& m);
    LRESULT OnMouseMove(Message& m);
    LRESULT OnMouseLeave(Message& m);
    LRESULT OnMouseHover(Message& m);

    void PaintImage(HDC dc, const RECT& client, bool enabled);
    void PaintCaption(HDC dc, const RECT& client, bool enabled);

    bool hovered_ = false;
    int imageSize_ = 30;
    bool showText_ = false;
    std::unique_ptr<Gdiplus::Bitmap> image_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    COLORREF textColour_ = GetSysColor(COLOR_BTNTEXT);
    COLORREF disabledTextColour_ = GetSysColor(COLOR_GRAYTEXT);
};

}  // namespace vm
