#pragma once

#include <QRect>
#include <QSize>

namespace tw {

// Where the tables window's controls go for a window of a given inner size. At the design size
// everything is where the design puts it, the filter box and the counts line taking the top and
// bottom of the design's list; larger, the two frames share the width, the lists take the
// height, and the buttons stay under their lists with the bottom row at the bottom.
struct Form2Layout {
    // One frame's controls, within the frame. Side 0 is SQL Anywhere (left), 1 Oracle.
    struct Side {
        QRect frame;  // within the window
        QRect filter, list, counts;
        QRect selectAll, deselectAll, send, remove, rename;
    };
    Side sides[2];
    QRect progress, refresh, back, help;

    static Form2Layout forSize(const QSize& size);
};

// 8040 x 5505 twips: the window's starting size, and the smallest it gets.
inline constexpr QSize kForm2DesignSize(536, 367);

}  // namespace tw
