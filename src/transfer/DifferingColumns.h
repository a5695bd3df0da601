#pragma once

#include <QList>
#include <QStringList>

#include "shell/TableVerification.h"

namespace tw {

// The columns in which each row only in the source differs from the row only in the target
// most like it, in the table's order: where a conversion changed a value, the column it
// changed. Each target row is the pair of one source row at most, and only of one that shares
// a value with it. Empty when either side has no such rows.
QStringList differingColumns(const QStringList& columns, const QList<RowDifference>& differences);

}  // namespace tw
