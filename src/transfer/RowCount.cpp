#include "transfer/RowCount.h"

#include "db/Connection.h"
#include "db/SqlComposer.h"

namespace tw {

qint64 countRows(Connection& connection, const Dialect& dialect, const QString& table,
                 const QString& condition, const QString& schema) {
    const std::unique_ptr<Recordset> counted =
        connection.openRecordset(SqlComposer(dialect).count({schema, table}, condition));
    const qint64 rows = counted->field(0).value.toString().toLongLong();
    counted->close();
    return rows;
}

}  // namespace tw
