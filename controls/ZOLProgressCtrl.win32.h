// CZOLProgressCtrl: a progress bar (a static control of a dialog template,
// subclassed) that paints itself with the visual-style parts of the system's
// progress bar: a moving block (indeterminate) or a filled bar with a moving
// glow. Without visual styles: a sunken frame and a highlight-coloured block
// or fill. Drawn off-screen and copied in one step.
#pragma once

#include "framework/Gdi.h"
#include "framework/Window.h"

namespace vm {

class CZOLProgressCtrl : public CWnd {
  public:
    // Stores the value and repaints; at a value whose integer part is 100,
    // posts WM_USER+101 to the parent (once per call).
    void SetPos(float value);
    float Pos() const { return position_; }
    void SetRange(float minimum, float maximum);
    void SetIndeterminate(bool indeterminate);
    bool Indeterminate() const { return indeterminate_; }
    // The 30 ms timer that moves the block or the glow.
    void StartAnimation();
    void StopAnimation();
    int MarkerOffset() const { return markerOffset_; }
    bool Themed() const { return static_cast<bool>(barTheme_); }

  protected:
    void OnAttached() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    void OnDestroyed() override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CZOLProgressCtrl>> Routes();
    LRESULT OnPaint(Message& m);
    LRESULT OnEraseBackground(Message& m);
    LRESULT OnSize(Message& m);
    LRESULT OnAnimationTick(Message& m);
    LRESULT OnThemeChanged(Message& m);

    void OpenThemes();
    void Paint(HDC dc, const RECT& client);
    void PaintBlock(HDC dc, const RECT& client);
    void PaintFill(HDC dc, const RECT& client, const RECT& inner);

    float position_ = 0.0f;
    float minimum_ = 0.0f;
    float maximum_ = 100.0f;
    ThemeHandle barTheme_;
    ThemeHandle markerTheme_;
    COLORREF backgroundColour_ = GetSysColor(COLOR_BTNFACE);
    COLORREF barColour_ = GetSysColor(COLOR_HIGHLIGHT);
    int glowWidth_ = 100;
    int markerWidth_ = 100;
    int markerOffset_ = -100;
    bool indeterminate_ = true;
};

}  // namespace vm
