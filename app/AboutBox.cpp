#include "app/AboutBox.h"

#include <algorithm>
#include <sstream>

#include "app/Texts.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace vm {

namespace {

// Words of the text separated by single blanks (__DATE__ pads days below 10).
std::wstring SingleBlanks(const char* text) {
    std::istringstream words(text != nullptr ? text : "");
    std::wstring joined;
    std::string word;
    while (words >> word) {
        if (!joined.empty())
            joined += L' ';
        joined += std::wstring(word.begin(), word.end());
    }
    return joined;
}

}  // namespace

std::wstring FormatVersionLine(const std::wstring& version, const char* buildDate,
                               const char* buildTime) {
    return FillPlaceholders(L"" STR_VERSION_LINE,
                            {version, SingleBlanks(buildDate), SingleBlanks(buildTime)});
}

AboutPlaces ComputeAboutPlaces(int clientWidth, int clientHeight, int dpi) {
    const auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    AboutPlaces places;
    const int bottom = std::max(0, clientHeight - s(kAboutFooterHeight));
    places.painted = {0, 0, clientWidth, bottom};
    places.titleImage = {s(132), s(43)};
    places.icon = {s(35), s(33), s(35) + s(kAboutIconSide), s(33) + s(kAboutIconSide)};
    places.versionLine = {s(35), s(170), clientWidth - s(35), s(190)};
    places.upperLine = {s(35), s(150), std::max(s(35), clientWidth - s(35)), s(150) + 1};
    places.lowerLine = {0, bottom - 1, clientWidth, bottom};
    return places;
}

std::optional<std::wstring> AboutLinkUrl(const ProductSite& site, uint32_t controlId) {
    switch (controlId) {
        case IDC_ABOUT_HOME_PAGE:
            return site.DownloadPageUrl();
        case IDC_ABOUT_SUGGESTIONS:
            return site.QuestionsPageUrl();
        case IDC_ABOUT_DONATE:
            return site.DonatePageUrl();
        default:
            return std::nullopt;
    }
}

}  // namespace vm
