// The extension icon cache: the index of the small system icon for each file
// extension (upper case, with its dot), and ".:" for the folder icon. The
// application fills it once (from the registered extensions); rows take
// their icon index from it.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "lists/ItemRecord.h"

namespace vm {

inline constexpr const wchar_t* kFolderIconKey = L".:";

class ExtensionIconCache {
  public:
    bool Empty() const;
    void Set(const std::wstring& extension, int iconIndex);  // the key is upper-cased

    // The key of a row: ".:" for a folder; for any other kind the file name's
    // text from its last "." to the end in upper case, or the whole file name
    // when it holds no ".".
    static std::wstring KeyFor(const std::wstring& path, int32_t kind);

    // The icon index of a row; nullopt for a drive root, whose icon the
    // caller asks the shell for. A key not yet in the cache is entered with
    // index 0 and gives 0.
    std::optional<int> Lookup(const std::wstring& path, int32_t kind);

  private:
    mutable std::mutex mutex_;
    std::map<std::wstring, int> indexes_;
};

// Upper case of a text (towupper per character).
std::wstring ToUpperText(std::wstring text);

}  // namespace vm
