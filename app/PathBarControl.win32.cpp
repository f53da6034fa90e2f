#include "app/PathBarControl.win32.h"

#include <shlobj.h>

#include <algorithm>

#include "app/BrowsePaths.h"
#include "framework/Shell.h"

namespace vm {

namespace {

std::wstring ShellDisplayName(const std::wstring& path) {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME) &&
        info.szDisplayName[0])
        return info.szDisplayName;
    return path;
}

struct SpecialFolder {
    std::wstring name;
    int icon = 0;
};

// Display name and small icon of a special folder (Desktop, Computer).
SpecialFolder SpecialFolderOf(int csidl) {
    ItemIdList item;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, item.put())) || !item)
        return {};
    SHFILEINFOW info{};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item.get()), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return {info.szDisplayName, info.iIcon};
}

int IconOf(const PathBarEntry& entry) {
    switch (entry.place) {
        case PathBarPlace::kDesktop:
            return SpecialFolderOf(CSIDL_DESKTOP).icon;
        case PathBarPlace::kComputer:
            return SpecialFolderOf(CSIDL_DRIVES).icon;
        default:
            return SmallIconOfPathType(entry.path, FILE_ATTRIBUTE_DIRECTORY);
    }
}

}  // namespace

std::wstring DesktopDirectory() {
    wchar_t path[MAX_PATH]{};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

HIMAGELIST CPathBar::Images() const {
    return scaledImages_ ? scaledImages_.get() : systemImages_;
}

void CPathBar::UseImagesForDpi() {
    scaledImages_.reset();
    int width = 0;
    int height = 0;
    const int side = Scale(16);
    if (systemImages_ != nullptr && ImageList_GetIconSize(systemImages_, &width, &height) &&
        (width != side || height != side)) {
        const int count = ImageList_GetImageCount(systemImages_);
        scaledImages_.reset(ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, count, 8));
        for (int i = 0; scaledImages_ && i < count; ++i) {
            // ImageList_ReplaceIcon stretches an icon of another size to the list's.
            HICON icon = ImageList_GetIcon(systemImages_, i, ILD_TRANSPARENT);
            ImageList_ReplaceIcon(scaledImages_.get(), -1, icon);
            if (icon != nullptr)
                DestroyIcon(icon);
        }
    }
    Send(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images()));
}

void CPathBar::OnDpiChanged(int, int) {
    UseImagesForDpi();
}

void CPathBar::Insert(size_t index, const PathBarEntry& entry) {
    const int icon = IconOf(entry);
    if (scaledImages_ && icon >= ImageList_GetImageCount(scaledImages_.get()))
        UseImagesForDpi();  // the shell added icons since the copy was made
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    item.iItem = static_cast<INT_PTR>(index);
    item.pszText = const_cast<wchar_t*>(entry.displayName.c_str());
    item.iImage = icon;
    item.iSelectedImage = icon;
    item.iIndent = entry.indent;
    Send(CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CPathBar::Fill(const AppContext& app) {
    systemImages_ = app.shell.smallSystemImages;
    UseImagesForDpi();
    std::vector<DriveName> drives;
    for (const std::wstring& root : DriveRootPaths(app.state.platform()))
        drives.push_back({root, ShellDisplayName(root)});
    entries_ = InitialPathBarEntries(SpecialFolderOf(CSIDL_DESKTOP).name,
                                     SpecialFolderOf(CSIDL_DRIVES).name, drives);
    for (size_t i = 0; i < entries_.size(); ++i)
        Insert(i, entries_[i]);
    // The edit field of an extended combo box takes CBEMAXSTRLEN (260)
    // characters by default: room for a typed path of any length.
    if (HWND edit = Edit())
        SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    if (app.state.demonstration)
        desktopFolder_ = app.state.demonstration->DesktopFolder();
}

void CPathBar::Follow(const std::wstring& folder) {
    const PathBarChange change = SynchronisePathBar(entries_, folder);
    if (change.removed)
        Send(CBEM_DELETEITEM, *change.removed);
    if (change.inserted)
        Insert(*change.inserted, entries_[*change.inserted]);
    if (change.selected)
        Select(*change.selected);
}

void CPathBar::Select(size_t index) {
    Send(CB_SETCURSEL, index);
}

std::optional<std::wstring> CPathBar::SelectedFolder() const {
    const auto index = static_cast<size_t>(Send(CB_GETCURSEL));
    if (index >= entries_.size())
        return std::nullopt;
    if (index == kDesktopEntry)
        return desktopFolder_ ? *desktopFolder_ : DesktopDirectory();
    if (index == kComputerEntry)
        return std::wstring();
    return entries_[index].path;
}

HWND CPathBar::Edit() const {
    return reinterpret_cast<HWND>(Send(CBEM_GETEDITCONTROL));
}

// Sized from the call: a typed path may be longer than MAX_PATH.
std::wstring CPathBar::TypedText() const {
    HWND edit = Edit();
    const int length = GetWindowTextLengthW(edit);
    if (length <= 0)
        return std::wstring();
    std::wstring typed(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(edit, typed.data(), length + 1);
    typed.resize(static_cast<size_t>(std::max(copied, 0)));
    return typed;
}

}  // namespace vm
