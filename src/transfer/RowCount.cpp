#include "transfer/RowCount.h"

#include "db/Connection.h"
#include "db/SqlComposer.h"

namespace tw {

qint64 countRows(Connection& connection, const Dialect& dialect, const TableRef& table,
                 const QString& condition) {
    const std::unique_ptr<Recordset> counted =
        connection.openRecordset(SqlComposer(dialect).count(table, condition));
    const qint64 rows = counted->field(0).value.toString().toLongLong();
    counted->close();
    return rows;
}

}  // namespace tw
