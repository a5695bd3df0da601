#pragma once

#include <QString>

#include "shell/GroupedCount.h"

namespace tw::cli {

// "EMP  1,234 of 5,000 rows  2,345 rows/s  0:02 left": where a table's copy stands. Without a
// count, or past it, the time left is left out.
QString progressLine(const QString& table, qint64 rowsDone, qint64 rowsTotal, double seconds);

}  // namespace tw::cli
