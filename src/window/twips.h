#pragma once

#include "panel/control_table.h"

#include <QRect>

#include <cmath>

namespace max2870 {

// The layout is drawn in twips; at 96 dots per inch a logical pixel is 15 of them.
inline constexpr double kTwipsPerPixel = 15.0;

inline int PixelsOf(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline double TwipsOf(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect PixelRect(const TwipRect& place) {
    return {PixelsOf(place.left), PixelsOf(place.top), PixelsOf(place.width),
            PixelsOf(place.height)};
}

} // namespace max2870
