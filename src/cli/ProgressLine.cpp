#include "cli/ProgressLine.h"

#include <cmath>

#include "shell/RowRate.h"

namespace tw::cli {

namespace {

QString duration(double seconds) {
    const qint64 whole = static_cast<qint64>(std::ceil(seconds));
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(whole / 60 % 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
    return whole >= 3600
               ? QStringLiteral("%1:%2").arg(whole / 3600).arg(minutesAndSeconds.rightJustified(5, '0'))
               : minutesAndSeconds;
}

}  // namespace

QString progressLine(const QString& table, qint64 rowsDone, qint64 rowsTotal, double seconds) {
    QString line = table + QStringLiteral("  ") + groupedCount(rowsDone);
    if (rowsTotal > 0) line += QStringLiteral(" of ") + groupedCount(rowsTotal);
    line += QStringLiteral(" rows");
    if (seconds < 0.5) return line;
    const RowRate rate = rowRate(rowsDone, rowsTotal, rowsDone / seconds);
    line += QStringLiteral("  ") + rate.rateText();
    if (rate.knowsTimeLeft())
        line += QStringLiteral("  ") + duration(rate.secondsLeft) + QStringLiteral(" left");
    return line;
}

QString redrawnBlock(int drawnLines, const QStringList& lines) {
    QString text = QStringLiteral("\r");
    if (drawnLines > 1) text += QStringLiteral("\x1b[%1A").arg(drawnLines - 1);
    return text + QStringLiteral("\x1b[J") + lines.join(QLatin1Char('\n'));
}

}  // namespace tw::cli
