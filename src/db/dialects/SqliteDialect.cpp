#include <sql.h>
#include <sqlext.h>

#include <QRegularExpression>
#include <algorithm>

#include "db/Dialect.h"
#include "db/SqlText.h"

namespace tw {

namespace {

// The test stand's stand-in for SQL Anywhere.
class SqliteDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("SQLite"); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.startsWith("SQLite"); }

    bool changesTablesInTransactions() const override { return true; }
    // The connection refuses every statement that would change the file.
    QStringList readOnlySetUp() const override { return {QStringLiteral("PRAGMA query_only = 1")}; }

    // Every table's foreign keys, from each table's own list; a key reaches other tables only
    // where the session enforces foreign keys (PRAGMA foreign_keys, which a driver's data source
    // may turn on).
    QString referencingKeysQuery(const QString& schema, const QString& table) const override {
        const QString master = schema.isEmpty() ? QStringLiteral("sqlite_master")
                                                : quotedName(schema) + QStringLiteral(".sqlite_master");
        const QString keysOf =
            schema.isEmpty() ? QStringLiteral("pragma_foreign_key_list(m.name)")
                             : QStringLiteral("pragma_foreign_key_list(m.name, %1)").arg(sqlLiteral(schema));
        return QStringLiteral(
                   "SELECT DISTINCT m.name, f.on_delete FROM %1 m JOIN %2 f WHERE m.type = 'table' AND "
                   "f.\"table\" = %3 COLLATE NOCASE AND m.name <> %3 COLLATE NOCASE AND "
                   "(SELECT foreign_keys FROM pragma_foreign_keys) = 1")
            .arg(master, keysOf, sqlLiteral(table));
    }

    // SQLite tells no two names apart that differ only in the case of ASCII letters, quoted or
    // not; other letters it takes as they are.
    QString sameTableKey(const QString& name) const override {
        QString key = name;
        for (QChar& c : key) {
            if (c.unicode() < 128) c = c.toLower();
        }
        return key;
    }

    // SQLite keeps any type name it is given; these are the names its driver reads back as
    // the same types. A NUMERIC column keeps 15 significant digits of a value that is not whole
    // (and of a whole one beyond 64 bits); a NUMERIC TEXT one keeps every digit, as text (the
    // word TEXT gives the column SQLite's affinity for text), and reads back as a number.
    std::span<const FaithfulRule> faithfulRules() const override {
        static const FaithfulRule rules[] = {
            {ColumnSort::TinyInt, "TINYINT"},
            {ColumnSort::SmallInt, "SMALLINT"},
            {ColumnSort::Integer, "INTEGER"},
            {ColumnSort::BigInt, "BIGINT"},
            {ColumnSort::Decimal, "NUMERIC({n},{s})", 15, "NUMERIC TEXT({n},{s})"},
            {ColumnSort::UnboundedDecimal, "NUMERIC TEXT"},
            {ColumnSort::Real, "REAL"},
            {ColumnSort::Double, "DOUBLE"},
            {ColumnSort::Logical, "BOOLEAN"},
            {ColumnSort::Char, "CHAR({n})"},
            {ColumnSort::VarChar, "VARCHAR({n})"},
            {ColumnSort::LongText, "TEXT"},
            {ColumnSort::Binary, "VARBINARY({n})"},
            {ColumnSort::VarBinary, "VARBINARY({n})"},
            {ColumnSort::LongBinary, "BLOB"},
            {ColumnSort::Date, "DATE"},
            {ColumnSort::Time, "TIME"},
            {ColumnSort::Timestamp, "TIMESTAMP"},
            {ColumnSort::Guid, "CHAR(36)"},
        };
        return rules;
    }
    // The driver's catalogue types are unreliable (NUMERIC(10,2) reads as a DOUBLE of size 2,
    // BINARY(4) as text); the declared type name says what the column is.
    void readDeclaredType(ColumnShape& column) const override;

    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "X'" + bytes.toHex().toUpper() + '\'';
    }
    ColumnType columnType(std::int16_t adoType) const override {
        return numberTextOrBinary(adoType, QStringLiteral("BLOB"));
    }

    // SQLite keeps a value of any storage class in any column, and its driver changes those
    // that are not the column's on reading: a blob in a column of text reads as the text of
    // its literal (X'C3A9'), and text stops at a NUL character; such values come marked as
    // what they are (text beginning with the mark is marked too, so that no text is taken for
    // a marked value). A double keeps 15 of its 17 digits in the driver's text and SQLite's
    // own: where those 15 do not read back as the same double, it comes with 17. Columns of
    // bytes read as they are.
    bool rendersColumns() const override { return true; }
    bool keepsAnyStorageClass() const override { return true; }
    QString renderedColumn(const ColumnShape& column, ColumnKind readAs,
                           const QString& quoted) const override;

    // Two threads of one process at SQLite wait for each other on its one lock for memory.
    bool writesInThisProcess() const override { return true; }

    // The driver says HY000 for every failure, with SQLite's result code: SQLITE_TOOBIG,
    // SQLITE_CONSTRAINT and SQLITE_MISMATCH are the row's own; SQLITE_BUSY and SQLITE_LOCKED
    // (another process holds the database) are not.
    std::span<const int> rowRefusalCodes() const override {
        static const int codes[] = {18, 19, 20};
        return codes;
    }

    // Debian's SQLite ODBC driver.
    bool bindsBinaryArraysByFirstLength() const override { return true; }
    // The driver prepares its statement again for every row of a parameter array: rows of one
    // statement share a preparation. 999 parameters is the most any SQLite takes.
    int rowsPerInsert(int columns) const override { return std::clamp(999 / std::max(columns, 1), 1, 500); }
    QString ownTablesPrefix() const override { return QStringLiteral("sqlite_"); }
    bool numbersKeyColumnsInTableOrder() const override { return true; }
};

QString SqliteDialect::renderedColumn(const ColumnShape&, ColumnKind readAs, const QString& c) const {
    if (readAs == ColumnKind::Bytes) return QString();
    // A value's storage class by where it sorts (numbers, then text, then blobs): comparisons
    // cost SQLite far less than typeof() and its names. Only a number asks whether it is a real.
    return QStringLiteral(
               "CASE WHEN %1 < '' THEN CASE WHEN typeof(%1) = 'real' THEN "
               "CASE WHEN CAST(CAST(%1 AS TEXT) AS REAL) = %1 THEN CAST(%1 AS TEXT) "
               "ELSE printf('%!.17g', %1) END ELSE %1 END "
               "WHEN %1 < x'' THEN CASE WHEN unicode(%1) = 1 OR instr(%1, char(0)) > 0 "
               "THEN char(1) || 't' || hex(%1) ELSE %1 END "
               "WHEN %1 IS NOT NULL THEN char(1) || 'b' || hex(%1) END")
        .arg(c);
}

void SqliteDialect::readDeclaredType(ColumnShape& column) const {
    // NAME, NAME(n) or NAME(p,s); SQLite itself reads the name by the words it holds.
    static const QRegularExpression declared(
        QStringLiteral(R"(^\s*([A-Za-z_ ]*?)\s*(?:\(\s*(\d+)\s*(?:,\s*(\d+)\s*)?\))?\s*$)"));
    const QRegularExpressionMatch match = declared.match(column.typeName);
    const QString name = match.hasMatch() ? match.captured(1).toUpper() : column.typeName.toUpper();
    const qint64 size = match.captured(2).toLongLong();
    const int scale = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    const auto set = [&](SQLSMALLINT type, qint64 length = 0, int digits = -1) {
        column.sqlType = type;
        column.size = length;
        column.digits = digits;
    };
    if (name == QLatin1String("TINYINT")) return set(SQL_TINYINT);
    if (name == QLatin1String("SMALLINT")) return set(SQL_SMALLINT);
    if (name == QLatin1String("BIGINT")) return set(SQL_BIGINT);
    if (name.contains(QLatin1String("INT"))) return set(SQL_INTEGER);
    if (name.startsWith(QLatin1String("BOOL")) || name == QLatin1String("BIT")) return set(SQL_BIT);
    if (name == QLatin1String("NUMERIC") || name == QLatin1String("DECIMAL") ||
        name == QLatin1String("NUMERIC TEXT")) {
        return set(SQL_NUMERIC, size, size > 0 ? scale : -1);
    }
    // SQLite keeps every REAL, FLOAT and DOUBLE as an 8-byte double: none is a 4-byte real.
    if (name == QLatin1String("REAL") || name.contains(QLatin1String("FLOA")) ||
        name.contains(QLatin1String("DOUB")))
        return set(SQL_DOUBLE);
    if (name == QLatin1String("TIMESTAMP") || name == QLatin1String("DATETIME")) {
        return set(SQL_TYPE_TIMESTAMP, 0, size > 0 ? static_cast<int>(size) : -1);
    }
    if (name == QLatin1String("DATE")) return set(SQL_TYPE_DATE);
    if (name == QLatin1String("TIME")) return set(SQL_TYPE_TIME, 0, size > 0 ? static_cast<int>(size) : -1);
    if (name == QLatin1String("VARBINARY")) return set(SQL_VARBINARY, size);
    if (name == QLatin1String("BINARY")) return set(SQL_BINARY, size);
    if (name == QLatin1String("BLOB")) return set(SQL_LONGVARBINARY);
    if (name == QLatin1String("UUID") || name == QLatin1String("UNIQUEIDENTIFIER")) return set(SQL_GUID);
    if (name.contains(QLatin1String("VARCHAR")) || name.contains(QLatin1String("VARYING"))) {
        return set(SQL_VARCHAR, size);  // without a length, any length
    }
    if (name.contains(QLatin1String("CHAR"))) return set(SQL_CHAR, size);
    if (name.contains(QLatin1String("TEXT")) || name.contains(QLatin1String("CLOB"))) {
        return set(SQL_LONGVARCHAR);
    }
    // No name, or one of the user's own: SQLite keeps values of any kind there.
    set(SQL_UNKNOWN_TYPE);
}

}  // namespace

const Dialect& sqliteDialect() {
    static const SqliteDialect dialect;
    return dialect;
}

}  // namespace tw
