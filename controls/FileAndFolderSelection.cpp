#include "controls/FileAndFolderSelection.h"

#include <algorithm>

#include "platform/Dpi.h"

namespace vm {

namespace {

// Between the label of the file types and its combo box when the label
// needs more than its place.
constexpr int kLabelGap = 4;

// "a.txt" "b.txt" "c.txt" -> a.txt, b.txt, c.txt: every quote-blank-quote
// separates two names, and the quotes around the whole go.
std::vector<std::wstring> QuotedNames(std::wstring_view fileSpec) {
    std::vector<std::wstring> names(1);
    for (size_t i = 0; i < fileSpec.size(); ++i) {
        if (fileSpec.substr(i, 3) == L"\" \"") {
            names.emplace_back();
            i += 2;
        } else if (fileSpec[i] != L'"') {
            names.back() += fileSpec[i];
        }
    }
    return names;
}

}  // namespace

std::vector<std::wstring> ChosenNames(const std::vector<std::wstring>& folderNames,
                                      std::wstring_view fileSpec, size_t selectedCount) {
    std::vector<std::wstring> names = folderNames;
    if (folderNames.size() >= selectedCount)
        return names;
    const size_t files = selectedCount - folderNames.size();
    std::vector<std::wstring> fileNames;
    if (fileSpec.find(L'"') != std::wstring_view::npos)
        fileNames = QuotedNames(fileSpec);
    else
        fileNames.emplace_back(fileSpec);
    for (size_t i = 0; i < fileNames.size() && i < files; ++i) {
        if (!fileNames[i].empty())
            names.push_back(std::move(fileNames[i]));
    }
    return names;
}

std::optional<PickedItems> PickedFromFileBuffer(std::wstring_view buffer, size_t fileOffset) {
    if (fileOffset == 0 || fileOffset >= buffer.size())
        return std::nullopt;
    PickedItems picked;
    // Before the first name: the folder and a backslash (one file) or a nul
    // (several).
    picked.folder = std::wstring(buffer.substr(0, fileOffset - 1));
    if (!picked.folder.empty() && picked.folder.back() == L':')
        picked.folder += L'\\';  // a drive root keeps its backslash
    for (size_t start = fileOffset; start < buffer.size() && buffer[start] != L'\0';) {
        const size_t end = buffer.find(L'\0', start);
        if (end == std::wstring_view::npos)
            return std::nullopt;  // a name that does not end inside the buffer
        picked.names.emplace_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    if (picked.folder.empty() || picked.names.empty())
        return std::nullopt;
    return picked;
}

std::vector<std::wstring> PickedPaths(const PickedItems& picked) {
    std::wstring folder = picked.folder;
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    std::vector<std::wstring> paths;
    paths.reserve(picked.names.size());
    for (const std::wstring& name : picked.names)
        paths.push_back(folder + L"\\" + name);
    return paths;
}

std::optional<std::wstring> OpenPathToKeep(const std::wstring& folder) {
    constexpr size_t kLongestKept = 259;
    if (folder.empty() || folder.size() > kLongestKept)
        return std::nullopt;
    return folder;
}

FileAndFolderDialogPlaces ComputeFileAndFolderDialogPlaces(int width, int height, int dpi,
                                                           int typeLabelTextWidth) {
    const auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    // Edges are scaled, not sizes, where controls meet the client's edges.
    const int buttonTop = height - s(39);
    FileAndFolderDialogPlaces places;
    places.shellView = {0, s(45), width, height - s(55) - s(45)};
    places.folderCombo = {s(55), s(10), width - s(65), s(25)};
    places.toolbar = {s(3), s(10), s(50), s(25)};
    places.addButton = {width - s(215), buttonTop, s(90), s(25)};
    places.cancelButton = {width - s(105), buttonTop, s(90), s(25)};
    places.typeLabel = {s(10), height - s(35), std::max(s(65), typeLabelTextWidth), s(25)};
    const int comboLeft =
        std::max(s(80), places.typeLabel.x + places.typeLabel.width + s(kLabelGap));
    const int comboRight = width - s(230);
    places.typeCombo = {comboLeft, height - s(37), comboRight - comboLeft, s(25)};
    return places;
}

}  // namespace vm
