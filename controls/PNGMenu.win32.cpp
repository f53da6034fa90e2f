#include "controls/PNGMenu.win32.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

#include "framework/Dpi.h"

namespace vm {
namespace {

constexpr UINT kSubMenuId = static_cast<UINT>(-1);
constexpr UINT kSeparatorId = 0;

MENUITEMINFOW TypeAndState(HMENU menu, UINT item, bool byPosition) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    GetMenuItemInfoW(menu, item, byPosition, &info);
    return info;
}

std::wstring MenuItemString(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info))
        return {};
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoW(menu, position, TRUE, &info))
        return {};
    text.resize(info.cch);
    return text;
}

}  // namespace

CPNGMenu::CPNGMenu(int itemHeight, int iconSize)
    : itemHeightAt96_(itemHeight),
      iconSizeAt96_(iconSize),
      metrics_(MenuMetricsForDpi(kBaseDpi, itemHeight, iconSize)),
      themed_(IsThemeActive() != FALSE) {}

void CPNGMenu::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_)
        return;
    dpi_ = dpi;
    metrics_ = MenuMetricsForDpi(dpi, itemHeightAt96_, iconSizeAt96_);
    menuFont_.Reset();  // made again at this DPI when next asked for
}

CPNGMenu::~CPNGMenu() {
    if (OwnerDrawMenuSink::current == this)
        OwnerDrawMenuSink::current = nullptr;
    if (menu_ != nullptr)
        DestroyMenu(menu_);
}

bool CPNGMenu::Load(UINT menuResourceId) {
    if (menu_ != nullptr)
        DestroyMenu(menu_);
    menu_ = LoadMenuW(ResourceModule(), MAKEINTRESOURCEW(menuResourceId));
    return menu_ != nullptr;
}

void CPNGMenu::MakeOwnerDrawn(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const UINT index = static_cast<UINT>(position);
        MENUITEMINFOW info = TypeAndState(menu, index, true);
        if (info.fType & MFT_OWNERDRAW)
            continue;  // already ours
        if (info.hSubMenu != nullptr)
            MakeOwnerDrawn(info.hSubMenu);
        auto data = std::make_unique<ItemData>();
        data->text = ClampMenuItemText(MenuItemString(menu, index));
        data->id = info.hSubMenu != nullptr            ? kSubMenuId
                   : (info.fType & MFT_SEPARATOR) != 0 ? kSeparatorId
                                                       : info.wID;
        MENUITEMINFOW change{};
        change.cbSize = sizeof(change);
        change.fMask = MIIM_FTYPE | MIIM_DATA;
        // Radio marks stay; the text now lives in the item's data.
        change.fType = MFT_OWNERDRAW | (info.fType & MFT_RADIOCHECK);
        change.dwItemData = reinterpret_cast<ULONG_PTR>(data.get());
        if (SetMenuItemInfoW(menu, index, TRUE, &change))
            items_.push_back(std::move(data));
    }
}

CPNGMenu::ItemData* CPNGMenu::DataOf(HMENU menu, UINT item, bool byPosition) const {
    MENUITEMINFOW info = TypeAndState(menu, item, byPosition);
    if (!(info.fType & MFT_OWNERDRAW))
        return nullptr;
    auto* data = reinterpret_cast<ItemData*>(info.dwItemData);
    for (const auto& owned : items_)
        if (owned.get() == data)
            return data;
    return nullptr;  // not one of ours
}

bool CPNGMenu::SetItemIcon(HMENU menu, UINT item, bool byPosition, UINT pngResourceId) {
    ItemData* data = DataOf(menu, item, byPosition);
    if (data == nullptr)
        return false;
    data->icon = LoadPngForSide(pngResourceId, metrics_.iconSize);
    return data->icon != nullptr;
}

bool CPNGMenu::SetItemText(UINT commandId, const std::wstring& text) {
    ItemData* data = menu_ != nullptr ? DataOf(menu_, commandId, false) : nullptr;
    if (data == nullptr)
        return false;
    data->text = ClampMenuItemText(text);
    return true;
}

std::wstring CPNGMenu::ItemText(HMENU menu, UINT item, bool byPosition) const {
    const ItemData* data = DataOf(menu, item, byPosition);
    return data != nullptr ? data->text : std::wstring();
}

UINT CPNGMenu::Track(HMENU popup, HWND owner, UINT flags, POINT at) {
    owner_ = owner;
    if (themed_)
        theme_.Open(owner, L"MENU");
    OwnerDrawMenuSink* previous = OwnerDrawMenuSink::current;
    OwnerDrawMenuSink::current = this;
    const UINT command = static_cast<UINT>(
        TrackPopupMenuEx(popup, flags | TPM_RETURNCMD, at.x, at.y, owner, nullptr));
    OwnerDrawMenuSink::current = previous;
    theme_.Close();
    return command;
}

HFONT CPNGMenu::MenuFont() {
    if (!menuFont_) {
        NONCLIENTMETRICSW metrics{};
        if (NonClientMetricsForDpi(metrics, dpi_))
            menuFont_.Reset(CreateFontIndirectW(&metrics.lfMenuFont));
    }
    return menuFont_ ? menuFont_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CPNGMenu::MeasureItem(MEASUREITEMSTRUCT& item) {
    const auto* data = reinterpret_cast<const ItemData*>(item.itemData);
    if (data == nullptr)
        return;
    item.itemHeight = static_cast<UINT>(MenuItemHeight(data->id == kSeparatorId, metrics_));
    // The text is measured with the font it is drawn in.
    WindowDc dc(owner_);
    SelectedObject font(dc.get(), MenuFont());
    const MenuItemText parts = SplitMenuItemText(data->text);
    auto widthOf = [&](const std::wstring& text) {
        SIZE extent{};
        if (!text.empty())
            GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    item.itemWidth = static_cast<UINT>(
        MenuItemWidth(widthOf(parts.label), widthOf(parts.accelerator), metrics_));
}

void CPNGMenu::DrawItem(const DRAWITEMSTRUCT& item) {
    const auto* data = reinterpret_cast<const ItemData*>(item.itemData);
    if (data == nullptr)
        return;
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    // Track opens the theme; an item drawn outside it (into a picture) opens
    // it here, until the next Track closes it.
    if (themed_ && !theme_)
        theme_.Open(owner_, L"MENU");
    {
        SavedDcState saved(dc);
        SelectObject(dc, MenuFont());
        SetBkMode(dc, TRANSPARENT);
        const MENUITEMINFOW info =
            TypeAndState(reinterpret_cast<HMENU>(item.hwndItem), item.itemID, false);
        if (theme_)
            DrawThemed(dc, rect, *data, item, info.fType);
        else
            DrawClassic(dc, rect, *data, item);

        const bool separator = data->id == kSeparatorId;
        if (!separator && data->icon) {
            const int side = metrics_.iconSize;
            const int top = rect.top + (rect.bottom - rect.top - side) / 2;
            const int left = rect.left + metrics_.iconLeft;
            DrawPicture(dc, data->icon.get(), RECT{left, top, left + side, top + side});
        }
        if (!separator && (item.itemState & ODS_CHECKED))
            DrawCheck(dc, rect, (info.fType & MFT_RADIOCHECK) != 0,
                      (item.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0);
    }
    // The system draws its own sub-menu arrow once WM_DRAWITEM returns, over
    // the themed one: the arrow's room leaves the clip region. Only after the
    // saved state is back, since RestoreDC would give the room back.
    if (theme_ && data->id == kSubMenuId)
        ExcludeClipRect(dc, rect.right - metrics_.subMenuClipWidth, rect.top, rect.right,
                        rect.bottom);
}

void CPNGMenu::DrawThemed(HDC dc, const RECT& rect, const ItemData& data,
                          const DRAWITEMSTRUCT& item, UINT) {
    RECT gutter = rect;
    gutter.right = rect.left + metrics_.iconSize + metrics_.gutterBeyondIcon;
    DrawThemeBackground(theme_.get(), dc, MENU_POPUPBACKGROUND, 0, &rect, nullptr);
    DrawThemeBackground(theme_.get(), dc, MENU_POPUPGUTTER, 0, &gutter, nullptr);
    if (data.id == kSeparatorId) {
        RECT line = rect;
        line.left = gutter.right;
        DrawThemeBackground(theme_.get(), dc, MENU_POPUPSEPARATOR, 0, &line, nullptr);
        return;
    }
    const bool disabled = (item.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const int state = disabled ? MPI_DISABLED : selected ? MPI_HOT : MPI_NORMAL;
    if (selected)
        DrawThemeBackground(theme_.get(), dc, MENU_POPUPITEM, disabled ? MPI_DISABLEDHOT : MPI_HOT,
                            &rect, nullptr);
    RECT text = rect;
    text.left += metrics_.iconSize + metrics_.textBeyondIcon;
    text.right -= metrics_.textRightInset;
    const MenuItemText parts = SplitMenuItemText(data.text);
    DrawThemeText(theme_.get(), dc, MENU_POPUPITEM, state, parts.label.c_str(), -1,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT, 0, &text);
    if (!parts.accelerator.empty())
        DrawThemeText(theme_.get(), dc, MENU_POPUPITEM, state, parts.accelerator.c_str(), -1,
                      DT_SINGLELINE | DT_VCENTER | DT_RIGHT, 0, &text);
    if (data.id == kSubMenuId) {
        RECT arrow = rect;
        arrow.left = rect.right - metrics_.subMenuArrowWidth;
        DrawThemeBackground(theme_.get(), dc, MENU_POPUPSUBMENU,
                            disabled ? MSM_DISABLED : MSM_NORMAL, &arrow, nullptr);
    }
}

void CPNGMenu::DrawClassic(HDC dc, const RECT& rect, const ItemData& data,
                           const DRAWITEMSTRUCT& item) {
    const bool separator = data.id == kSeparatorId;
    const bool disabled = (item.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0 && !separator;
    FillSysColour(dc, rect, selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    if (separator) {
        // An etched line two pixels high (at 96 DPI) across the middle.
        const int line = std::max(1, ScaleForDpi(1, dpi_));
        const int middle = rect.top + (rect.bottom - rect.top) / 2 - line;
        FillSysColour(dc, RECT{rect.left, middle, rect.right, middle + line}, COLOR_GRAYTEXT);
        FillSysColour(dc, RECT{rect.left, middle + line, rect.right, middle + 2 * line},
                      COLOR_HIGHLIGHTTEXT);
        return;
    }
    RECT text = rect;
    text.left += metrics_.iconSize + metrics_.textBeyondIcon;
    text.right -= metrics_.textRightInset;
    const MenuItemText parts = SplitMenuItemText(data.text);
    auto drawTexts = [&](RECT box) {
        DrawTextW(dc, parts.label.c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (!parts.accelerator.empty())
            DrawTextW(dc, parts.accelerator.c_str(), -1, &box,
                      DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    };
    if (disabled && !selected) {
        // Embossed: highlight text one pixel right and down, then grey.
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        RECT shadow = text;
        const int offset = ScaleForDpi(1, dpi_);
        OffsetRect(&shadow, offset, offset);
        drawTexts(shadow);
    }
    SetTextColor(dc, GetSysColor(disabled   ? COLOR_GRAYTEXT
                                 : selected ? COLOR_HIGHLIGHTTEXT
                                            : COLOR_BTNTEXT));
    drawTexts(text);
}

void CPNGMenu::DrawCheck(HDC dc, const RECT& rect, bool radio, bool disabled) {
    const int inset = metrics_.checkInset;
    RECT mark{rect.left + inset, rect.top + inset, rect.left + metrics_.checkRight,
              rect.bottom - inset};
    if (theme_) {
        DrawThemeBackground(theme_.get(), dc, MENU_POPUPCHECKBACKGROUND,
                            disabled ? MCB_DISABLED : MCB_NORMAL, &mark, nullptr);
        const int state = radio ? (disabled ? MC_BULLETDISABLED : MC_BULLETNORMAL)
                                : (disabled ? MC_CHECKMARKDISABLED : MC_CHECKMARKNORMAL);
        DrawThemeBackground(theme_.get(), dc, MENU_POPUPCHECK, state, &mark, nullptr);
        return;
    }
    Font marlett = MakeSymbolFont(L"marlett", metrics_.checkGlyphHeight);
    SelectedObject font(dc, marlett.get());
    DrawTextW(dc, radio ? L"i" : L"a", 1, &mark, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

}  // namespace vm
