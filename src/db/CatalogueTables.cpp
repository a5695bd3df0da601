#include "db/CatalogueTables.h"

#include <QSet>

#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/StagingRecords.h"
#include "shell/TableList.h"

namespace tw {

namespace {

// The schemas whose tables a statement finds by their bare name; empty where the catalogue
// lists only those anyway.
QStringList schemasFoundByName(Connection& connection) {
    const QString query = DialectFor(&connection, standardDialect()).schemasFoundSql();
    QStringList schemas;
    if (query.isEmpty()) return schemas;
    const std::unique_ptr<Recordset> found = connection.openRecordset(query);
    for (; !found->eof(); found->moveNext()) schemas << found->field(0).value.toString();
    found->close();
    return schemas;
}

}  // namespace

void LoadCatalogueTables(TableList& list, ConnectionFactory& factory, const ConnectionTarget& target,
                         const std::function<void()>& processEvents, const QString& schema, bool hideSysNames,
                         bool onlyFoundByName) {
    const std::unique_ptr<Connection> connection = factory.create();
    connection->setProvider(kOdbcProvider);
    connection->open(target);
    // A copy's staging table is no table of the user's; a table merely named like one is.
    const StagingRecords records;
    const QString database = StagingRecords::databaseOf(target, schema);
    const QStringList found =
        onlyFoundByName && schema.isEmpty() ? schemasFoundByName(*connection) : QStringList();
    std::unique_ptr<Recordset> tables = connection->openSchema(kSchemaTables, schema);
    list.clear();
    QSet<QString> listed;  // a bare name reads one table, that of the first schema holding it
    for (; !tables->eof(); tables->moveNext()) {
        if (tables->field(QStringLiteral("TABLE_TYPE")).value.toString() != QLatin1String("TABLE")) continue;
        processEvents();
        // The second column of the tables schema is the schema (owner) of the table.
        if (!found.isEmpty() && !found.contains(tables->field(1).value.toString())) continue;
        const QString name = tables->field(QStringLiteral("TABLE_NAME")).value.toString();
        if (hideSysNames && name.toUpper().contains(QLatin1String("SYS"))) continue;
        if (!found.isEmpty() && listed.contains(name)) continue;
        listed.insert(name);
        if (!records.isCopysTable(database, name)) list.addItem(name);
    }
    tables->close();
    tables.reset();
    connection->close();
}

}  // namespace tw
