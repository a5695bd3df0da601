#include "ui/Form2Layout.h"

#include <algorithm>

#include "ui/Twips.h"

namespace tw {

namespace {

constexpr int kFilterHeight = 21;
constexpr int kCountsHeight = 16;
constexpr int kRefreshWidth = 27;
constexpr int kGap = 3;

// Moves a rect down by dy and widens it by dw.
QRect grown(QRect rect, int dy, int dw, int dx = 0) { return rect.adjusted(dx, dy, dx + dw, dy); }

Form2Layout::Side side(int left, int extraWidth, int extraHeight, bool filterShown) {
    Form2Layout::Side s;
    s.frame = grown(twipsRect(left, 120, 3840, 4215), 0, extraWidth).adjusted(0, 0, 0, extraHeight);
    // The design's list, grown; its top for the filter box in use, and its bottom for the
    // counts line where the window grew enough to hold it.
    const QRect list = grown(twipsRect(240, 360, 3330, 1635), 0, extraWidth).adjusted(0, 0, 0, extraHeight);
    s.filter = QRect(list.left(), list.top(), list.width(), kFilterHeight);
    s.countsShown = extraHeight >= kCountsHeight + kGap;
    s.counts = QRect(list.left(), list.bottom() + 1 - kCountsHeight, list.width(), kCountsHeight);
    const int top = filterShown ? s.filter.bottom() + 1 + kGap : list.top();
    const int bottom = s.countsShown ? s.counts.top() - kGap : list.bottom() + 1;
    s.list = QRect(list.left(), top, list.width(), bottom - top);
    const int half = extraWidth / 2;
    s.selectAll = grown(twipsRect(240, 2100, 1600, 405), extraHeight, half);
    s.deselectAll = grown(twipsRect(1960, 2100, 1600, 405), extraHeight, extraWidth - half, half);
    s.send = grown(twipsRect(240, 2600, 3330, 405), extraHeight, extraWidth);
    s.remove = grown(twipsRect(240, 3100, 3330, 405), extraHeight, extraWidth);
    s.rename = grown(twipsRect(240, 3600, 3330, 405), extraHeight, extraWidth);
    return s;
}

}  // namespace

Form2Layout Form2Layout::forSize(const QSize& size, const bool (&filterShown)[2]) {
    const int dw = std::max(0, size.width() - kForm2DesignSize.width());
    const int dh = std::max(0, size.height() - kForm2DesignSize.height());
    const int leftExtra = dw / 2;
    Form2Layout layout;
    layout.sides[0] = side(120, leftExtra, dh, filterShown[0]);
    layout.sides[1] = side(4080, dw - leftExtra, dh, filterShown[1]);
    layout.sides[1].frame.translate(leftExtra, 0);
    const QRect bar = grown(twipsRect(120, 4460, 7800, 405), dh, dw);
    layout.progress = bar.adjusted(0, 0, -(kRefreshWidth + kGap), 0);
    layout.refresh = QRect(bar.right() + 1 - kRefreshWidth, bar.top(), kRefreshWidth, bar.height());
    layout.back = grown(twipsRect(120, 4980, 3840, 405), dh, leftExtra);
    layout.help = grown(twipsRect(4080, 4980, 3840, 405), dh, dw - leftExtra, leftExtra);
    return layout;
}

}  // namespace tw
