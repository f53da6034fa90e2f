#include "app/AppContext.win32.h"

#include <shellapi.h>

#include "platform/Dpi.h"
#include "resources/resource.h"

namespace vm {

namespace {

// shell32 exports these two by ordinal only on older systems.
constexpr WORD kFileIconInitOrdinal = 660;
constexpr WORD kShellGetImageListsOrdinal = 71;
using FileIconInitFunction = BOOL(WINAPI*)(BOOL);
using ShellGetImageListsFunction = BOOL(WINAPI*)(HIMAGELIST*, HIMAGELIST*);

constexpr DWORD kShellIconFlags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES;
constexpr DWORD kRegistryNameChars = 260;

template <class Function>
Function ProcByOrdinal(HMODULE module, WORD ordinal) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

HIMAGELIST SmallSystemImageList() {
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    if (!shell)
        return nullptr;
    if (auto init = ProcByOrdinal<FileIconInitFunction>(shell, kFileIconInitOrdinal))
        init(TRUE);
    HIMAGELIST small = nullptr;
    if (auto lists = ProcByOrdinal<ShellGetImageListsFunction>(shell, kShellGetImageListsOrdinal))
        lists(nullptr, &small);
    return small;
}

DrawThemeTextExFunction FindDrawThemeTextEx() {
    // uxtheme.dll stays loaded through the static import; this only finds
    // the entry, which systems before Vista lack.
    HMODULE uxtheme = GetModuleHandleW(L"uxtheme.dll");
    if (!uxtheme)
        return nullptr;
    return reinterpret_cast<DrawThemeTextExFunction>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "DrawThemeTextEx")));
}

}  // namespace

int SmallIconOfPathType(const std::wstring& path, DWORD attributes) {
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.c_str(), attributes, &info, sizeof info, kShellIconFlags))
        return 0;
    return info.iIcon;
}

void InitShellState(ShellState& shell, float osVersion) {
    if (IsVistaOrLater(osVersion))
        shell.drawThemeTextEx = FindDrawThemeTextEx();
    shell.themeActive = IsThemeActive() != FALSE;
    shell.smallSystemImages = SmallSystemImageList();
}

void BuildExtensionIconCache(ExtensionIconCache& cache) {
    if (!cache.Empty())
        return;
    HKEY classes = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, nullptr, 0, KEY_READ, &classes) == ERROR_SUCCESS) {
        // Dotted names sort first in HKEY_CLASSES_ROOT; stop at the first
        // name that is neither an extension nor a "*" entry.
        wchar_t name[kRegistryNameChars];
        for (DWORD index = 0;; ++index) {
            DWORD length = kRegistryNameChars;
            if (RegEnumKeyExW(classes, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            if (name[0] == L'*')
                continue;
            if (name[0] != L'.')
                break;
            cache.Set(name,
                      SmallIconOfPathType(std::wstring(L"X:\\X") + name, FILE_ATTRIBUTE_NORMAL));
        }
        RegCloseKey(classes);
    }
    // Sized from the call (GetWindowsDirectoryW reports the room it needs).
    const UINT needed = GetWindowsDirectoryW(nullptr, 0);
    std::wstring windows(needed, L'\0');
    const UINT written = needed ? GetWindowsDirectoryW(windows.data(), needed) : 0;
    windows.resize(written < needed ? written : 0);
    cache.Set(kFolderIconKey, SmallIconOfPathType(windows, FILE_ATTRIBUTE_DIRECTORY));
}

void LoadStatusPictures(StatusPictures& pictures) {
    for (ImageScale scale : kImageScales) {
        auto& rendering = pictures.renderings[static_cast<size_t>(scale)];
        const auto load = [scale](int id) {
            return LoadPngResource(static_cast<UINT>(ImageResourceIdAt(id, scale)));
        };
        rendering.accessAllowed = load(IDP_ACCESS_ALLOWED);
        rendering.accessReadOnly = load(IDP_ACCESS_READ_ONLY);
        rendering.accessDenied = load(IDP_ACCESS_DENIED);
        rendering.owner = load(IDP_OWNER);
    }
}

void OpenWebPage(const AppContext& app, const std::wstring& url) {
    if (app.openWebPage) {
        app.openWebPage(url);
        return;
    }
    ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, L"", SW_SHOWNA);
}

}  // namespace vm
