#include "db/Oracle.h"

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/SqlText.h"
#include "db/StagingRecords.h"
#include "shell/TableList.h"

namespace tw {

namespace {

const QString kPlaceholders[] = {QStringLiteral("{SID}"), QStringLiteral("{User}"),
                                 QStringLiteral("{Password}")};

QString filledTemplate(const ConnectionValues& values) {
    const std::pair<QString, QString> placeholders[] = {{kPlaceholders[0], values.oracleServer},
                                                        {kPlaceholders[1], values.oracleUser},
                                                        {kPlaceholders[2], values.oraclePassword}};
    return filledPlaceholders(values.oracleTemplate, placeholders);
}

}  // namespace

QString OracleConnectionString(const ConnectionValues& values) {
    if (!values.oracleTemplate.isEmpty()) return filledTemplate(values);
    return QStringLiteral("Driver={Microsoft ODBC for Oracle};Server=") +
           connectionStringValue(values.oracleServer) + QStringLiteral(";Uid=") +
           connectionStringValue(values.oracleUser) + QStringLiteral(";Pwd=") +
           connectionStringValue(values.oraclePassword) + QLatin1Char(';');
}

QStringList missingPlaceholders(const QString& oracleTemplate) {
    QStringList missing;
    if (oracleTemplate.isEmpty()) return missing;
    for (const QString& placeholder : kPlaceholders) {
        if (!oracleTemplate.contains(placeholder)) missing << placeholder;
    }
    return missing;
}

ConnectionTarget OracleConnectionTarget(const ConnectionValues& values) {
    return ConnectionTarget::driverString(OracleConnectionString(values), values.oraclePassword);
}

bool OracleCanConnect(ConnectionFactory& factory, const ConnectionValues& values) {
    const std::unique_ptr<Connection> connection = factory.create();
    try {
        connection->open(OracleConnectionTarget(values));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void LoadOracleTables(TableList& list, ConnectionFactory& factory, const ConnectionValues& values,
                      const std::function<void()>& processEvents, const QString& owner) {
    const std::unique_ptr<Connection> connection = factory.create();
    connection->setCursorLocation(CursorLocation::Client);
    const ConnectionTarget target = OracleConnectionTarget(values);
    connection->open(target);
    // A copy's staging table is no table of the user's; a table merely named like one is.
    const StagingRecords records;
    const QString database = StagingRecords::databaseOf(target, owner);
    const std::unique_ptr<Recordset> tables = connection->openRecordset(
        owner.isEmpty()
            ? QStringLiteral("SELECT table_name FROM user_tables")
            : QStringLiteral("SELECT table_name FROM all_tables WHERE owner = %1").arg(sqlLiteral(owner)));
    list.clear();
    // Read to the end of the result, never to a count of it: the driver counts with a query of
    // its own, and a table another session makes or drops between the two would lose a table
    // from the list or fail it.
    while (!tables->eof()) {
        processEvents();
        const QString name = tables->field(0).value.toString();
        if (!records.isCopysTable(database, name)) list.addItem(name);
        tables->moveNext();
    }
    tables->close();
    if (list.count() > 0) list.setCurrentIndex(0);
}

}  // namespace tw
