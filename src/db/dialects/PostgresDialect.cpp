#include <sql.h>
#include <sqlext.h>

#include <QStringList>
#include <algorithm>

#include "db/Dialect.h"
#include "db/SqlText.h"
#include "db/odbc/DataSourceEntries.h"
#include "db/postgres/SessionCopyWriter.h"

namespace tw {

namespace {

// The test stand's stand-in for Oracle.
class PostgresDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("PostgreSQL"); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.startsWith("PostgreSQL"); }
    // The session's search path, as far as its schemas exist: where an unqualified name is found.
    QString schemasFoundSql() const override {
        return QStringLiteral("SELECT unnest(current_schemas(false))");
    }

    // TW_SWAP_IN_STEPS=1 makes it swap a new table in as Oracle and SQL Anywhere do, in steps:
    // the test stand's PostgreSQL stands in for Oracle, which cannot do it in one transaction.
    bool changesTablesInTransactions() const override {
        static const bool inSteps = qEnvironmentVariable("TW_SWAP_IN_STEPS") == QLatin1String("1");
        return !inSteps;
    }

    // Every transaction of the session from now on, also one a statement of a user's begins.
    QStringList readOnlySetUp() const override {
        return {QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")};
    }

    // psqlODBC loses its connection on a prepared statement of some 8,000 parameters (their
    // description from the server outgrows what it reads), so a statement carries half that.
    int rowsPerInsert(int columns) const override { return std::clamp(4000 / std::max(columns, 1), 1, 1000); }

    // COPY costs two round trips a batch, where psqlODBC's bound INSERTs cost some five a
    // thousand rows; TW_POSTGRES_COPY=0 sends them as INSERTs still. A data source reached by
    // its name alone says its way to the database in its entries.
    std::unique_ptr<BatchWriter> bulkWriter(const BulkWriteRequest& request) const override {
        if (batchesGoAsInserts()) return nullptr;
        const QString completed = request.completedConnection.isEmpty() && !request.dataSource.isEmpty()
                                      ? odbc::postgresDataSourceString(request.dataSource)
                                      : request.completedConnection;
        return postgres::sessionCopyWriter(request, completed);
    }

    QString bulkRowsStatement(const QString& intoTable) const override {
        return batchesGoAsInserts() ? QString() : QStringLiteral("COPY %1 FROM STDIN").arg(intoTable);
    }

    // TW_POSTGRES_COPY=0 sends batches as INSERTs of many rows, through the driver.
    static bool batchesGoAsInserts() {
        static const bool inserts = qEnvironmentVariable("TW_POSTGRES_COPY") == QLatin1String("0");
        return inserts;
    }

    std::span<const FaithfulRule> faithfulRules() const override {
        static const FaithfulRule rules[] = {
            {ColumnSort::TinyInt, "SMALLINT"},
            {ColumnSort::SmallInt, "SMALLINT"},
            {ColumnSort::Integer, "INTEGER"},
            {ColumnSort::BigInt, "BIGINT"},
            {ColumnSort::Decimal, "NUMERIC({n},{s})", 1000},
            {ColumnSort::UnboundedDecimal, "NUMERIC"},
            {ColumnSort::Real, "REAL"},
            {ColumnSort::Double, "DOUBLE PRECISION"},
            {ColumnSort::Logical, "BOOLEAN"},
            {ColumnSort::Char, "CHAR({n})", 10485760, "TEXT"},
            {ColumnSort::VarChar, "VARCHAR({n})", 10485760, "TEXT"},
            {ColumnSort::LongText, "TEXT"},
            {ColumnSort::Binary, "BYTEA"},
            {ColumnSort::VarBinary, "BYTEA"},
            {ColumnSort::LongBinary, "BYTEA"},
            {ColumnSort::Date, "DATE"},
            {ColumnSort::Time, "TIME({f})", 6},
            {ColumnSort::Timestamp, "TIMESTAMP({f})", 6},
            {ColumnSort::TimestampWithZone, "TIMESTAMP({f}) WITH TIME ZONE", 6},
            {ColumnSort::Guid, "UUID"},
        };
        return rules;
    }
    QString logicalText(bool truth) const override {
        return truth ? QStringLiteral("true") : QStringLiteral("false");
    }
    // psqlODBC describes a boolean as text of five characters, and every type it has no ODBC
    // type for (an interval, an array, an enum, JSON, XML, an address, a time with its zone) as
    // text too: those are no text of the user's, and a faithful copy names them as carried in
    // the plain copy's type.
    void readDeclaredType(ColumnShape& column) const override {
        if (column.typeName == QLatin1String("bool")) {
            column.sqlType = SQL_BIT;
            return;
        }
        // An amount of money is an exact number, whatever the server's currency sign.
        if (column.typeName == QLatin1String("money")) {
            column.sqlType = SQL_NUMERIC;
            column.size = 0;
            column.digits = -1;
            return;
        }
        column.withTimeZone = column.typeName == QLatin1String("timestamptz");
        static const QStringList textTypes{QStringLiteral("text"), QStringLiteral("varchar"),
                                           QStringLiteral("bpchar"), QStringLiteral("char"),
                                           QStringLiteral("name")};
        const bool describedAsText = column.sqlType == SQL_CHAR || column.sqlType == SQL_VARCHAR ||
                                     column.sqlType == SQL_LONGVARCHAR || column.sqlType == SQL_WCHAR ||
                                     column.sqlType == SQL_WVARCHAR || column.sqlType == SQL_WLONGVARCHAR;
        if (describedAsText && !textTypes.contains(column.typeName)) column.sqlType = SQL_UNKNOWN_TYPE;
    }

    // psqlODBC parses dates and times into the ODBC structures, which hold four-digit years and
    // no era or infinity (10000-01-01 reads as 1000-00-00, infinity as 0000-00-00, 44 BC as
    // 44 AD) and drop a timestamp's offset; it writes a UUID in upper case and an amount of
    // money with the currency's sign. The server's own text of each keeps the value.
    bool rendersColumns() const override { return true; }
    QString renderedColumn(const ColumnShape& column, ColumnKind, const QString& quoted) const override {
        static const QStringList ownText{QStringLiteral("date"),        QStringLiteral("time"),
                                         QStringLiteral("timetz"),      QStringLiteral("timestamp"),
                                         QStringLiteral("timestamptz"), QStringLiteral("uuid")};
        if (column.typeName == QLatin1String("money")) return quoted + QStringLiteral("::numeric::text");
        if (ownText.contains(column.typeName)) return quoted + QStringLiteral("::text");
        return QString();
    }

    QString generatedColumnsQuery(const QString& schema, const QString& table) const override {
        const QString name =
            schema.isEmpty() ? quotedName(table) : quotedName(schema) + '.' + quotedName(table);
        return QStringLiteral(
                   "SELECT attname, attgenerated FROM pg_attribute WHERE attrelid = to_regclass(%1) "
                   "AND (attgenerated <> '' OR attidentity <> '') AND attnum > 0 AND NOT attisdropped")
            .arg(sqlLiteral(name));
    }

    // A table's name as the catalogue writes it, with its schema where the session's search
    // path does not find it.
    QString referencingKeysQuery(const QString& schema, const QString& table) const override {
        const QString name =
            schema.isEmpty() ? quotedName(table) : quotedName(schema) + '.' + quotedName(table);
        return QStringLiteral(
                   "SELECT DISTINCT conrelid::regclass::text, CASE confdeltype WHEN 'c' THEN 'CASCADE' "
                   "WHEN 'n' THEN 'SET NULL' WHEN 'd' THEN 'SET DEFAULT' WHEN 'r' THEN 'RESTRICT' ELSE "
                   "'NO ACTION' END FROM pg_constraint WHERE contype = 'f' AND confrelid = to_regclass(%1) "
                   "AND conrelid <> confrelid")
            .arg(sqlLiteral(name));
    }

    // The primary key takes the name PostgreSQL gives a table's own ("T_pkey", the table's name
    // cut to fit 63 bytes with it), where no other relation of the schema has that name.
    QString keysNamedAfterTableSql(const QString& schema, const QString& table) const override {
        QString start = table;
        while (start.toUtf8().size() > 58) start.chop(start.back().isLowSurrogate() ? 2 : 1);
        const QString key = start + QStringLiteral("_pkey");
        const auto inSchema = [&](const QString& name) {
            return schema.isEmpty() ? quotedName(name) : quotedName(schema) + '.' + quotedName(name);
        };
        const QString body =
            QStringLiteral(
                "DECLARE k name; BEGIN SELECT conname INTO k FROM pg_constraint WHERE conrelid = "
                "to_regclass(%1) AND contype = 'p' AND strpos(conname, '~tw-stage-') > 0; IF k IS NOT "
                "NULL AND to_regclass(%2) IS NULL THEN EXECUTE format('ALTER TABLE %s RENAME CONSTRAINT "
                "%I TO %I', %1, k, %3); END IF; END")
                .arg(sqlLiteral(inSchema(table)), sqlLiteral(inSchema(key)), sqlLiteral(key));
        // The body quoted by a tag that the names in it do not hold: $tw$ in a name ends it otherwise.
        QString tag = QStringLiteral("$tw$");
        while (body.contains(tag)) tag.insert(tag.size() - 1, QLatin1Char('x'));
        return QStringLiteral("DO ") + tag + body + tag;
    }

    // psqlODBC's own addition to SQLColumns.
    QByteArray unsizedColumnsMarker() const override { return QByteArrayLiteral("TYPMOD"); }

    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "'\\x" + bytes.toHex() + '\'';
    }
    ColumnType columnType(std::int16_t adoType) const override {
        return numberTextOrBinary(adoType, QStringLiteral("BYTEA"));
    }
};

}  // namespace

const Dialect& postgresDialect() {
    static const PostgresDialect dialect;
    return dialect;
}

}  // namespace tw
