#include "db/Dialect.h"
#include "db/SqlText.h"

namespace tw {

namespace {

class OracleDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("Oracle"); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.contains("Oracle"); }
    // A VARCHAR2 of no characters is NULL.
    bool keepsEmptyText() const override { return false; }

    // The faithful copy's types, by Oracle's own names. Text lengths count characters; a
    // character may take four bytes and a column at most 4,000 (2,000 fixed), so longer
    // declarations become CLOB. Oracle has no time of day without a date.
    std::span<const FaithfulRule> faithfulRules() const override {
        static const FaithfulRule rules[] = {
            {ColumnSort::TinyInt, "NUMBER(3)"},
            {ColumnSort::SmallInt, "NUMBER(5)"},
            {ColumnSort::Integer, "NUMBER(10)"},
            {ColumnSort::BigInt, "NUMBER(19)"},
            {ColumnSort::Decimal, "NUMBER({n},{s})", 38},
            {ColumnSort::UnboundedDecimal, "NUMBER"},
            {ColumnSort::Real, "BINARY_FLOAT"},
            {ColumnSort::Double, "BINARY_DOUBLE"},
            {ColumnSort::Logical, "NUMBER(1)"},
            {ColumnSort::Char, "CHAR({n} CHAR)", 500, "CLOB"},
            {ColumnSort::VarChar, "VARCHAR2({n} CHAR)", 1000, "CLOB"},
            {ColumnSort::LongText, "CLOB"},
            {ColumnSort::Binary, "RAW({n})", 2000, "BLOB"},
            {ColumnSort::VarBinary, "RAW({n})", 2000, "BLOB"},
            {ColumnSort::LongBinary, "BLOB"},
            {ColumnSort::Date, "DATE"},
            {ColumnSort::Timestamp, "TIMESTAMP({f})", 9},
            {ColumnSort::TimestampWithZone, "TIMESTAMP({f}) WITH TIME ZONE", 9},
            {ColumnSort::Guid, "CHAR(36)"},
        };
        return rules;
    }

    // ORA- errors about a row's values, for drivers that give them without an SQLSTATE of class
    // 22 or 23: unique key, NULL into NOT NULL, too many digits, value too large, invalid number,
    // dates that do not exist or do not match their format, check and foreign-key constraints.
    std::span<const int> rowRefusalCodes() const override {
        static const int codes[] = {1,    1400, 1407, 1401, 1438, 1461, 1722, 1830, 1839,
                                    1840, 1841, 1843, 1847, 1858, 1861, 2290, 2291, 12899};
        return codes;
    }
    // Values travel as text ('12.5', '2024-01-02 10:11:12.5', '2024-01-02 10:11:12 +02:00');
    // the session reads and writes them by its NLS settings, which follow the client's
    // NLS_LANG: under a German one every decimal would be refused, and dates are read by the
    // language's own format.
    QStringList sessionSetUp() const override {
        return {
            QStringLiteral("ALTER SESSION SET NLS_NUMERIC_CHARACTERS = '.,'"),
            QStringLiteral("ALTER SESSION SET NLS_DATE_FORMAT = 'YYYY-MM-DD HH24:MI:SS'"),
            QStringLiteral("ALTER SESSION SET NLS_TIMESTAMP_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF'"),
            QStringLiteral("ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF TZH:TZM'")};
    }

    // Keys of another owner's tables are named with their owner.
    QString referencingKeysQuery(const QString& schema, const QString& table) const override {
        return QStringLiteral(
                   "SELECT DISTINCT CASE WHEN c.owner = p.owner THEN c.table_name ELSE c.owner || '.' || "
                   "c.table_name END, c.delete_rule FROM all_constraints c JOIN all_constraints p ON "
                   "p.owner = c.r_owner AND p.constraint_name = c.r_constraint_name WHERE "
                   "c.constraint_type = 'R' AND p.table_name = %1 AND p.owner = %2 AND NOT (c.owner = "
                   "p.owner AND c.table_name = p.table_name)")
            .arg(sqlLiteral(table), schema.isEmpty()
                                        ? QStringLiteral("SYS_CONTEXT('USERENV', 'CURRENT_SCHEMA')")
                                        : sqlLiteral(schema));
    }
    // No setting makes a whole session read-only, and a read-only transaction ends with the
    // commit auto-commit makes after every statement: the reads go in one such transaction,
    // which also sees the tables as they stood when it began.
    QStringList readOnlySetUp() const override { return {QStringLiteral("SET TRANSACTION READ ONLY")}; }
    bool readsInOneTransaction() const override { return true; }

    // A character literal takes at most 4,000 bytes (ORA-01704), HEXTORAW('…') two per byte.
    qsizetype longestTextLiteral() const override { return 4000; }
    qsizetype longestBinaryLiteral() const override { return 2000; }

    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "HEXTORAW('" + bytes.toHex().toUpper() + "')";
    }
    // RENAME names the user's own tables only; another owner's take ALTER TABLE.
    QString renameSql(const QString& oldName, const QString& newName, const QString& schema) const override {
        if (!schema.isEmpty()) return Dialect::renameSql(oldName, newName, schema);
        return QStringLiteral("RENAME ") + quotedName(oldName) + QStringLiteral(" TO ") + quotedName(newName);
    }
    // Numbers stay numbers and long binary stays binary; text, short binary (as hex) and
    // everything else become text of up to 2,000 characters.
    ColumnType columnType(std::int16_t adoType) const override {
        const ColumnType text{QStringLiteral("VARCHAR(2000)"), ColumnKind::Text};
        const ColumnType number{QStringLiteral("NUMERIC"), ColumnKind::Number};
        return typeByRules(adoType,
                           {{{"char"}, text},
                            {{"decimal", "numeric"}, number},
                            {{"adlongvarbinary"}, {QStringLiteral("BLOB"), ColumnKind::Bytes}},
                            {{"binary"}, text},
                            {{"int"}, number}},
                           text);
    }
};

}  // namespace

const Dialect& oracleDialect() {
    static const OracleDialect dialect;
    return dialect;
}

}  // namespace tw
