#include "backup/RestoreLayout.h"

#include <algorithm>

#include "platform/Dpi.h"

namespace vm {
namespace {

// Sizes at 96 DPI.
constexpr int kMargin = 15;
constexpr int kBandHeight = 50;
constexpr int kHeadingBottom = 100;
constexpr int kListTop = 100;
constexpr int kListHeightLess = 155;  // band, heading and the button strip
constexpr int kButtonsFromBottom = 40;
constexpr int kButtonHeight = 25;
constexpr int kOpenWidth = 125;
constexpr int kRestoreWidth = 90;
constexpr int kRestoreFromRight = 105;
constexpr int kTimeLeft = 160;
constexpr int kTimeFromBottom = 55;
constexpr int kProgressHeight = 25;

}  // namespace

RestorePlaces ComputeRestorePlaces(int clientWidth, int clientHeight, int dpi) {
    auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    const int width = std::max(0, clientWidth);
    const int height = std::max(0, clientHeight);
    const int margin = s(kMargin);
    const int innerWidth = std::max(0, width - 2 * margin);

    RestorePlaces places;
    places.band = {0, 0, width, s(kBandHeight)};
    places.title = {margin, 0, std::max(margin, width - margin), s(kBandHeight)};
    places.heading = {margin, s(kBandHeight), std::max(margin, width - margin), s(kHeadingBottom)};
    const int listHeight = std::max(0, height - s(kListHeightLess));
    places.list = {margin, s(kListTop), innerWidth, listHeight};
    const int buttonTop = height - s(kButtonsFromBottom);
    places.open = {margin, buttonTop, s(kOpenWidth), s(kButtonHeight)};
    places.restore = {width - s(kRestoreFromRight), buttonTop, s(kRestoreWidth), s(kButtonHeight)};
    // The time text runs from beside "Open Backup file..." to "Restore".
    places.backupTime = {s(kTimeLeft), height - s(kTimeFromBottom),
                         std::max(s(kTimeLeft), places.restore.x), height};
    places.progress = {margin, s(kListTop) + listHeight / 2, innerWidth, s(kProgressHeight)};
    return places;
}

WindowSize RestoreMinimumSize(int dpi, int workWidth, int workHeight) {
    return {std::min(ScaleForDpi(kRestoreMinimumSize.width, dpi), workWidth),
            std::min(ScaleForDpi(kRestoreMinimumSize.height, dpi), workHeight)};
}

}  // namespace vm
