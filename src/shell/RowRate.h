#pragma once

#include <QString>

namespace tw {

// How fast a table's rows go, and how long the rest take at that pace: what the terminal's
// progress line and the windows' progress bar both show, each in its own words.
struct RowRate {
    double rowsPerSecond = 0;
    // Whole seconds, rounded up; below 0 where not known: no count, no rows left, or no pace.
    double secondsLeft = -1;

    bool knowsTimeLeft() const { return secondsLeft >= 0; }
    // "2,345 rows/s"
    QString rateText() const;
};

RowRate rowRate(qint64 rowsDone, qint64 rowsTotal, double rowsPerSecond);

}  // namespace tw
