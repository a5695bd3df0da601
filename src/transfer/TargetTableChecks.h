#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/TableRef.h"

namespace tw {

// What loading rows into a table the target has would do beyond the table, asked of the
// target's catalogue before anything changes.
struct LoadRisks {
    // Why the rows may not go in, naming what is at risk; empty where they may.
    QString refusal;
    // The table's storage engine where it cannot undo a failed load, and the user allowed the
    // load all the same: what a failure leaves is said then.
    QString engineWithoutUndo;
};

// A load into the table (emptied first for a truncate) is refused where emptying it would delete
// or change rows of other tables through their foreign keys, and where its storage engine cannot
// undo a load that fails part way, unless the user allows a partial load. A catalogue that
// cannot be read refuses the load too: nothing is known to be safe.
LoadRisks loadRisks(Connection& target, const Dialect& dialect, const TableRef& table, bool truncating,
                    bool allowPartialLoad);

// The other tables whose foreign keys reference the table, whatever their keys do; none where
// the catalogue cannot say.
QStringList tablesReferencing(Connection& target, const Dialect& dialect, const TableRef& table) noexcept;

// What a failed load left in a table whose engine cannot undo it, as the report says it: the rows
// it left, where they could be counted.
QString partLoadLeft(const QString& engine, bool truncating, std::optional<qint64> rowsLeft = std::nullopt);

}  // namespace tw
