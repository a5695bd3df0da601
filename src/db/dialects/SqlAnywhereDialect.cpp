#include "db/Dialect.h"
#include "db/SqlText.h"

namespace tw {

namespace {

// "SQL Anywhere", and "Adaptive Server Anywhere" before it.
class SqlAnywhereDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("SQL Anywhere"); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.contains("Anywhere"); }

    // The faithful copy's types, by SQL Anywhere's own names. NCHAR and NVARCHAR count
    // characters, up to 8,191; TINYINT holds 0 to 255 only, so signed ones become SMALLINT.
    std::span<const FaithfulRule> faithfulRules() const override {
        static const FaithfulRule rules[] = {
            {ColumnSort::TinyInt, "SMALLINT"},
            {ColumnSort::SmallInt, "SMALLINT"},
            {ColumnSort::Integer, "INTEGER"},
            {ColumnSort::BigInt, "BIGINT"},
            {ColumnSort::Decimal, "NUMERIC({n},{s})", 127},
            {ColumnSort::UnboundedDecimal, "NUMERIC(127,64)"},
            {ColumnSort::Real, "REAL"},
            {ColumnSort::Double, "DOUBLE"},
            {ColumnSort::Logical, "BIT"},
            {ColumnSort::Char, "NCHAR({n})", 8191, "LONG NVARCHAR"},
            {ColumnSort::VarChar, "NVARCHAR({n})", 8191, "LONG NVARCHAR"},
            {ColumnSort::LongText, "LONG NVARCHAR"},
            {ColumnSort::Binary, "BINARY({n})", 32767, "LONG BINARY"},
            {ColumnSort::VarBinary, "VARBINARY({n})", 32767, "LONG BINARY"},
            {ColumnSort::LongBinary, "LONG BINARY"},
            {ColumnSort::Date, "DATE"},
            {ColumnSort::Time, "TIME", 6},
            {ColumnSort::Timestamp, "TIMESTAMP", 6},
            {ColumnSort::TimestampWithZone, "TIMESTAMP WITH TIME ZONE", 6},
            {ColumnSort::Guid, "UNIQUEIDENTIFIER"},
        };
        return rules;
    }

    // SQLCODEs about a row's values: cannot convert, out of range, key not unique, no primary
    // value for a foreign key, NULL into NOT NULL, index not unique, invalid value, string
    // truncated.
    std::span<const int> rowRefusalCodes() const override {
        static const int codes[] = {-157, -158, -193, -194, -195, -196, -209, -638};
        return codes;
    }

    // Names are told apart without regard to case, quoted or not.
    QString sameTableKey(const QString& name) const override { return name.toCaseFolded(); }

    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "0x" + bytes.toHex().toUpper();
    }
    QString renameSql(const QString& oldName, const QString& newName, const QString& schema) const override {
        return QStringLiteral("ALTER TABLE ") + qualifiedName(schema, oldName) + QStringLiteral(" RENAME ") +
               quotedName(newName) + QLatin1Char(';');
    }
    // A foreign key's actions are its referential triggers; a key without a delete trigger
    // restricts.
    QString referencingKeysQuery(const QString& schema, const QString& table) const override {
        return QStringLiteral(
                   "SELECT DISTINCT ft.table_name, CASE tr.referential_action WHEN 'C' THEN 'CASCADE' WHEN "
                   "'N' THEN 'SET NULL' WHEN 'D' THEN 'SET DEFAULT' ELSE 'RESTRICT' END FROM SYS.SYSFKEY fk "
                   "JOIN SYS.SYSTAB pt ON pt.table_id = fk.primary_table_id JOIN SYS.SYSTAB ft ON "
                   "ft.table_id = fk.foreign_table_id LEFT OUTER JOIN SYS.SYSTRIGGER tr ON "
                   "tr.foreign_table_id = fk.foreign_table_id AND tr.foreign_key_id = fk.foreign_index_id "
                   "AND tr.event = 'D' WHERE pt.table_name = %1 AND pt.creator = USER_ID(%2) AND "
                   "ft.table_id <> pt.table_id")
            .arg(sqlLiteral(table), schema.isEmpty() ? QStringLiteral("CURRENT USER") : sqlLiteral(schema));
    }
    // Whole and exact-decimal numbers become numbers, long binary stays binary, all else is text.
    ColumnType columnType(std::int16_t adoType) const override {
        return numberTextOrBinary(adoType, QStringLiteral("OLEOBJECT"));
    }
    QString createTableEnd() const override { return QStringLiteral(");"); }
};

}  // namespace

const Dialect& sqlAnywhereDialect() {
    static const SqlAnywhereDialect dialect;
    return dialect;
}

}  // namespace tw
