// CZOLExButton: a push button (from a dialog template, subclassed) that
// paints a PNG resource, with or without its caption to the right, and
// lightens while the mouse is over it; disabled, the picture is grey and
// faded. Used for the tool bar of the main window and the '+', '-' and 'R'
// buttons of the Advanced Security Settings dialog.
#pragma once

#include <memory>

#include "controls/ControlModel.h"
#include "framework/GdiPlus.h"
#include "framework/Window.h"

namespace vm {

class CZOLExButton : public CWnd {
  public:
    // Loads PNG resourceId; size is the side of the square the image is
    // drawn in, in pixels at 96 DPI (drawn at the button's DPI, from the
    // rendering nearest to it); -1 takes the 1x image's own width. False when
    // the resource is missing (the button then paints its face and caption
    // only).
    bool SetImage(UINT resourceId, int size = kDefaultButtonImageSize, bool showText = false);
    // Shows or hides the caption, keeping the picture.
    void ShowText(bool showText);
    bool Hovered() const { return hovered_; }
    bool HasImage() const { return image_ != nullptr; }
    bool ShowsText() const { return showText_; }
    // The drawn side at the button's DPI, and the side of the rendering.
    int ImageSize() const { return imageSize_; }
    int ImageWidth() const { return imageWidth_; }
    // Where the caption starts (client pixels).
    int CaptionLeft() const;

  protected:
    // The button becomes owner-drawn (BS_TYPEMASK replaced by BS_OWNERDRAW).
    void OnAttached() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CZOLExButton>> Routes();
    LRESULT OnDrawItem(Message& m);
    LRESULT OnMouseMove(Message& m);
    LRESULT OnMouseLeave(Message& m);
    LRESULT OnMouseHover(Message& m);

    void PaintImage(HDC dc, const RECT& client, bool enabled);
    void PaintCaption(HDC dc, const RECT& client, bool enabled);
    // Loads the rendering for the drawn side at the current DPI.
    void LoadImageForDpi();

    bool hovered_ = false;
    UINT resourceId_ = 0;
    int sizeAt96_ = kDefaultButtonImageSize;  // -1: the 1x image's width
    int imageSize_ = kDefaultButtonImageSize;
    bool showText_ = false;
    std::unique_ptr<Gdiplus::Bitmap> image_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    COLORREF textColour_ = GetSysColor(COLOR_BTNTEXT);
    COLORREF disabledTextColour_ = GetSysColor(COLOR_GRAYTEXT);
};

}  // namespace vm
