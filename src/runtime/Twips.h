#pragma once

#include <QRect>
#include <cmath>

// Window designs measure in twips, 1/1440 inch: 15 twips are one pixel at 96 logical dots per inch.
inline constexpr int TwipsPerPixel = 15;

inline int toPixels(int twips) {
    return static_cast<int>(std::lround(twips / double(TwipsPerPixel)));
}

inline int toTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

inline QRect toPixels(int left, int top, int width, int height) {
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}
