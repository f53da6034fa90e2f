#include "lists/IconCache.h"

#include <cwctype>

#include "lists/ItemListModel.h"

namespace vm {

std::wstring ToUpperText(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return text;
}

bool ExtensionIconCache::Empty() const {
    std::lock_guard lock(mutex_);
    return indexes_.empty();
}

void ExtensionIconCache::Set(const std::wstring& extension, int iconIndex) {
    std::lock_guard lock(mutex_);
    indexes_[ToUpperText(extension)] = iconIndex;
}

std::wstring ExtensionIconCache::KeyFor(const std::wstring& path, int32_t kind) {
    if (kind == kKindFolder)
        return kFolderIconKey;
    // The extension is taken from the file name only: a dot in a folder name
    // ("C:\v1.2\readme") is not an extension of the file.
    const std::wstring name = FileNameOfPath(path);
    const size_t dot = name.find_last_of(L'.');
    return ToUpperText(dot == std::wstring::npos ? name : name.substr(dot));
}

std::optional<int> ExtensionIconCache::Lookup(const std::wstring& path, int32_t kind) {
    if (kind == kKindDriveRoot)
        return std::nullopt;
    const std::wstring key = KeyFor(path, kind);
    std::lock_guard lock(mutex_);
    return indexes_.try_emplace(key, 0).first->second;
}

}  // namespace vm
