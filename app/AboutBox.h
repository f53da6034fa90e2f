// What the About box shows and where: the version line with the build's date
// and time, the places of its picture, icon, text and lines (named at 96 DPI,
// computed at the dialog's DPI), and the address behind each link.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/ProductSite.h"
#include "lists/ListGeometry.h"

namespace vm {

// "Version %s   ( %s %s )": the version, the build date as the month's
// three-letter abbreviation, the day and the four-digit year separated by
// single blanks, and the build time as hh:mm:ss. buildDate and buildTime are
// the compiler's __DATE__ ("Jan  5 2024", the day padded with a blank) and
// __TIME__ ("09:05:07").
std::wstring FormatVersionLine(const std::wstring& version, const char* buildDate,
                               const char* buildTime);

// The painted area is the client area without its bottom 60 pixels.
inline constexpr int kAboutFooterHeight = 60;
inline constexpr int kAboutIconSide = 75;

struct AboutPlaces {
    PixelRect painted;      // white, drawn off-screen
    PixelPoint titleImage;  // top-left corner of PNG 136
    PixelRect icon;         // the program's large icon, 75 x 75
    PixelRect versionLine;  // left-aligned text, 35 in from both sides, y 170 to 190
    PixelRect upperLine;    // y 150, from x 35, 70 shorter than the width
    PixelRect lowerLine;    // the painted area's bottom row
};
AboutPlaces ComputeAboutPlaces(int clientWidth, int clientHeight, int dpi);

// The page a link control of the About box opens (1003 home page, 1004
// questions and suggestions, 1005 donations); nullopt for other ids.
std::optional<std::wstring> AboutLinkUrl(const ProductSite& site, uint32_t controlId);

}  // namespace vm
