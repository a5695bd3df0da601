#pragma once

#include <QRect>
#include <QSize>

namespace tw {

// Where the tables window's controls go for a window of a given inner size. At the design size
// everything is where the design puts it, the list included; larger, the two frames share the
// width, the lists take the height, and the buttons stay under their lists with the bottom row
// at the bottom. A filter box in use takes the top of its list's room; the counts line takes
// the bottom of it only where the window was made taller than the design by at least its
// height (countsShown), never a row of the design's list.
struct Form2Layout {
    // One frame's controls, within the frame. Side 0 is SQL Anywhere (left), 1 Oracle.
    struct Side {
        QRect frame;  // within the window
        QRect filter, list, counts;
        bool countsShown = false;
        QRect selectAll, deselectAll, send, remove, rename;
    };
    Side sides[2];
    QRect progress, refresh, back, help;

    // filterShown: whether each side's filter box is in use.
    static Form2Layout forSize(const QSize& size, const bool (&filterShown)[2] = {false, false});
};

// 8040 x 5505 twips: the window's starting size, and the smallest it gets.
inline constexpr QSize kForm2DesignSize(536, 367);

}  // namespace tw
