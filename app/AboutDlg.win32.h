// CAboutDlg: "About Velmora" (template 135), modal. It shows the program
// file's large icon from the system image list, the title picture (PNG 136),
// the version line with the build date and time, two grey lines and three
// links to pages of the site. The upper part is painted off-screen in one
// step; the places come from app/AboutBox.h.
#pragma once

#include <memory>

#include "app/AppContext.win32.h"
#include "framework/Dialog.h"
#include "framework/GdiPlus.h"

namespace vm {

class CAboutDlg : public CDialog {
  public:
    explicit CAboutDlg(const AppContext& app);
    ~CAboutDlg() override;

    // The version line as painted.
    static std::wstring VersionLine();
    bool HasLargeIcon() const { return icon_ != nullptr; }

  protected:
    BOOL OnInitDialog() override;
    bool OnMessage(Message& m, LRESULT& result) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;

  private:
    static std::span<const Route<CAboutDlg>> Routes();
    LRESULT OnLink(Message& m);
    LRESULT OnEraseBackground(Message& m);
    LRESULT OnPaint(Message& m);
    LRESULT OnControlColour(Message& m);

    void LoadTitlePicture();
    void Paint(HDC dc, const RECT& client) const;

    const AppContext& app_;
    std::unique_ptr<Gdiplus::Bitmap> icon_;   // the program's icon with its alpha
    std::unique_ptr<Gdiplus::Bitmap> title_;  // PNG 136 at the rendering nearest the DPI
    SIZE titleSize_{};                        // its size at this DPI
};

}  // namespace vm
