// CPNGMenu: a popup menu whose items, sub-menus included, are owner-drawn:
// with the visual-style parts of "MENU" when themes are active on Windows
// Vista or later, in the classic colours otherwise, with an optional 16 x 16
// PNG icon per item and the accelerator text right-aligned.
//
// While a menu is tracked it is the current OwnerDrawMenuSink, so every
// window of ours forwards the menu's WM_MEASUREITEM / WM_DRAWITEM to it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/ControlModel.h"
#include "framework/Gdi.h"
#include "framework/GdiPlus.h"
#include "framework/Window.h"

namespace vm {

class CPNGMenu final : public OwnerDrawMenuSink {
  public:
    // itemHeight and iconSize in pixels at 96 DPI; the menu is drawn at the
    // DPI given by SetDpi (its owner's), 96 until then.
    explicit CPNGMenu(int itemHeight = kDefaultMenuItemHeight, int iconSize = kMenuIconSize);
    ~CPNGMenu() override;
    CPNGMenu(const CPNGMenu&) = delete;
    CPNGMenu& operator=(const CPNGMenu&) = delete;

    // Loads a menu resource (the menu is destroyed with this object).
    bool Load(UINT menuResourceId);
    HMENU Menu() const { return menu_; }
    HMENU SubMenu(int position) const { return GetSubMenu(menu_, position); }

    // Themed drawing (themes active and Vista or later); default: IsThemeActive().
    void SetThemed(bool themed) { themed_ = themed; }
    // The DPI the items are measured and drawn at; set it before icons are
    // given (they are loaded for the icon size at this DPI).
    void SetDpi(int dpi);
    const MenuMetrics& Metrics() const { return metrics_; }

    // Every item of menu, sub-menus first, becomes owner-drawn with its text
    // kept in the item's data.
    void MakeOwnerDrawn(HMENU menu);
    // An icon (PNG resource) for an owner-drawn item, by command id or by
    // position. False when the item or the picture is missing.
    bool SetItemIcon(HMENU menu, UINT item, bool byPosition, UINT pngResourceId);
    // Replaces an owner-drawn item's text (by command id, at any depth).
    bool SetItemText(UINT commandId, const std::wstring& text);
    // The text an owner-drawn item keeps.
    std::wstring ItemText(HMENU menu, UINT item, bool byPosition) const;

    // Tracks popup at the point; the chosen command (TPM_RETURNCMD) or 0.
    UINT Track(HMENU popup, HWND owner, UINT flags, POINT at);

    // OwnerDrawMenuSink.
    void MeasureItem(MEASUREITEMSTRUCT& item) override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

  private:
    struct ItemData {
        std::unique_ptr<Gdiplus::Bitmap> icon;
        std::wstring text;
        UINT id = 0;  // 0 separator, (UINT)-1 sub-menu
    };

    ItemData* DataOf(HMENU menu, UINT item, bool byPosition) const;
    HFONT MenuFont();
    void DrawThemed(HDC dc, const RECT& rect, const ItemData& data, const DRAWITEMSTRUCT& item,
                    UINT type);
    void DrawClassic(HDC dc, const RECT& rect, const ItemData& data, const DRAWITEMSTRUCT& item);
    void DrawCheck(HDC dc, const RECT& rect, bool radio, bool disabled);

    HMENU menu_ = nullptr;
    int itemHeightAt96_;
    int iconSizeAt96_;
    int dpi_ = kBaseDpi;
    MenuMetrics metrics_;
    bool themed_;
    ThemeHandle theme_;
    Font menuFont_;
    HWND owner_ = nullptr;
    std::vector<std::unique_ptr<ItemData>> items_;
};

}  // namespace vm
