#include "platform/Dpi.h"

#include <cstdlib>

namespace vm {
namespace {

int UsableDpi(int dpi) {
    return dpi > 0 ? dpi : kBaseDpi;
}

// value * numerator / denominator, rounded half away from zero, as MulDiv.
int MulDivRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    const long long rounded =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(rounded);
}

}  // namespace

int ScaleForDpi(int pixelsAt96, int dpi) {
    return MulDivRounded(pixelsAt96, UsableDpi(dpi), kBaseDpi);
}

int ScaleBetweenDpi(int pixels, int fromDpi, int toDpi) {
    return MulDivRounded(pixels, UsableDpi(toDpi), UsableDpi(fromDpi));
}

int ScalePercent(int dpi) {
    return ScaleForDpi(100, dpi);
}

int ImageSideAt(int baseSide, ImageScale scale) {
    switch (scale) {
        case ImageScale::k150:
            return MulDivRounded(baseSide, 3, 2);
        case ImageScale::k200:
            return baseSide * 2;
        default:
            return baseSide;
    }
}

ImageScale NearestImageScale(int baseSide, int wantedSide) {
    ImageScale best = ImageScale::k100;
    int bestDistance = std::abs(ImageSideAt(baseSide, best) - wantedSide);
    for (ImageScale scale : kImageScales) {
        const int distance = std::abs(ImageSideAt(baseSide, scale) - wantedSide);
        if (distance <= bestDistance) {
            best = scale;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace vm
