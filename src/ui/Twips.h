#pragma once

#include <QRect>

namespace tw {

// Window layouts are given in twips; at 96 dpi fifteen of them make one pixel.
constexpr int twipsToPixels(int twips) { return twips / 15; }

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

}  // namespace tw
