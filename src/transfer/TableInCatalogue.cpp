#include "transfer/TableInCatalogue.h"

#include "db/Connection.h"

namespace tw {

bool targetLacksTable(Connection& target, const TableRef& table) noexcept {
    try {
        const std::unique_ptr<Recordset> tables = target.openSchema(kSchemaTables, table.schema);
        bool found = false;
        for (; !found && !tables->eof(); tables->moveNext()) {
            const QString name = tables->field(QStringLiteral("TABLE_NAME")).value.toString();
            found = name.compare(table.name, Qt::CaseInsensitive) == 0;
        }
        tables->close();
        return !found;
    } catch (...) {
        return false;
    }
}

}  // namespace tw
