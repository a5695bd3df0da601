#pragma once

#include <QString>

namespace tw {

// The progress bar's text while a table is copied: "EMP  41,000 / 100,000", and, once a rate is
// known, "  ·  5,200 rows/s  ·  12 s left" after it (the time left only when the total is known).
// A rate of 0 or less is not known yet.
QString rowsProgressText(const QString& table, qint64 rowsDone, qint64 rowsTotal, double rowsPerSecond);

}  // namespace tw
