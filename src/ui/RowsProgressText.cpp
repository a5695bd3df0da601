#include "ui/RowsProgressText.h"

#include <cmath>

#include "shell/GroupedCount.h"
#include "ui/TransferSummary.h"

namespace tw {

namespace {

const QString kSeparator = QStringLiteral("  \u00b7  ");

}  // namespace

QString rowsProgressText(const QString& table, qint64 rowsDone, qint64 rowsTotal, double rowsPerSecond) {
    QString text = table + QStringLiteral("  ") + groupedCount(rowsDone);
    if (rowsTotal > 0) text += QStringLiteral(" / ") + groupedCount(rowsTotal);
    if (!(rowsPerSecond > 0) || !std::isfinite(rowsPerSecond)) return text;
    text += kSeparator + groupedCount(std::llround(rowsPerSecond)) + QStringLiteral(" rows/s");
    if (rowsTotal > rowsDone) {
        const double left = std::ceil(static_cast<double>(rowsTotal - rowsDone) / rowsPerSecond);
        text += kSeparator +
                (left < 60 ? QString::number(static_cast<qint64>(left)) + QStringLiteral(" s")
                           : shownDuration(left)) +
                QStringLiteral(" left");
    }
    return text;
}

}  // namespace tw
