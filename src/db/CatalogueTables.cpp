#include "db/CatalogueTables.h"

#include "db/Connection.h"
#include "db/StagingRecords.h"
#include "shell/TableList.h"

namespace tw {

void LoadCatalogueTables(TableList& list, ConnectionFactory& factory, const ConnectionTarget& target,
                         const std::function<void()>& processEvents, const QString& schema,
                         bool hideSysNames) {
    const std::unique_ptr<Connection> connection = factory.create();
    connection->setProvider(kOdbcProvider);
    connection->open(target);
    // A copy's staging table is no table of the user's; a table merely named like one is.
    const StagingRecords records;
    const QString database = StagingRecords::databaseOf(target, schema);
    std::unique_ptr<Recordset> tables = connection->openSchema(kSchemaTables, schema);
    list.clear();
    for (; !tables->eof(); tables->moveNext()) {
        if (tables->field(QStringLiteral("TABLE_TYPE")).value.toString() != QLatin1String("TABLE")) continue;
        processEvents();
        const QString name = tables->field(QStringLiteral("TABLE_NAME")).value.toString();
        if (hideSysNames && name.toUpper().contains(QLatin1String("SYS"))) continue;
        if (!records.isCopysTable(database, name)) list.addItem(name);
    }
    tables->close();
    tables.reset();
    connection->close();
}

}  // namespace tw
