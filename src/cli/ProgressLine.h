#pragma once

#include <QString>
#include <QStringList>

#include "shell/GroupedCount.h"

namespace tw::cli {

// "EMP  1,234 of 5,000 rows  2,345 rows/s  0:02 left": where a table's copy stands. Without a
// count, or past it, the time left is left out.
QString progressLine(const QString& table, qint64 rowsDone, qint64 rowsTotal, double seconds);

// What a terminal is sent to draw the lines in place of the block of drawnLines drawn last: back
// to the block's first line, the screen cleared from there, then the lines, the cursor left at
// the end of the last. No lines clears the block.
QString redrawnBlock(int drawnLines, const QStringList& lines);

}  // namespace tw::cli
