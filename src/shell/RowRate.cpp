#include "shell/RowRate.h"

#include <cmath>

#include "shell/GroupedCount.h"

namespace tw {

QString RowRate::rateText() const {
    return groupedCount(std::llround(rowsPerSecond)) + QStringLiteral(" rows/s");
}

RowRate rowRate(qint64 rowsDone, qint64 rowsTotal, double rowsPerSecond) {
    RowRate rate;
    rate.rowsPerSecond = rowsPerSecond;
    if (rowsTotal > rowsDone && rowsPerSecond > 0 && std::isfinite(rowsPerSecond))
        rate.secondsLeft = std::ceil(static_cast<double>(rowsTotal - rowsDone) / rowsPerSecond);
    return rate;
}

}  // namespace tw
