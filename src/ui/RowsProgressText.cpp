#include "ui/RowsProgressText.h"

#include <cmath>

#include "shell/GroupedCount.h"
#include "shell/RowRate.h"
#include "ui/TransferSummary.h"

namespace tw {

namespace {

const QString kSeparator = QStringLiteral("  \u00b7  ");

}  // namespace

QString rowsProgressText(const QString& table, qint64 rowsDone, qint64 rowsTotal, double rowsPerSecond) {
    QString text = table + QStringLiteral("  ") + groupedCount(rowsDone);
    if (rowsTotal > 0) text += QStringLiteral(" / ") + groupedCount(rowsTotal);
    if (!(rowsPerSecond > 0) || !std::isfinite(rowsPerSecond)) return text;
    const RowRate rate = rowRate(rowsDone, rowsTotal, rowsPerSecond);
    text += kSeparator + rate.rateText();
    if (rate.knowsTimeLeft()) {
        const double left = rate.secondsLeft;
        text += kSeparator +
                (left < 60 ? QString::number(static_cast<qint64>(left)) + QStringLiteral(" s")
                           : shownDuration(left)) +
                QStringLiteral(" left");
    }
    return text;
}

}  // namespace tw
