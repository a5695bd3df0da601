#include "db/Dialect.h"

namespace tw {

namespace {

// The test stand's stand-in for SQL Anywhere.
class SqliteDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("SQLite"); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.startsWith("SQLite"); }

    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "X'" + bytes.toHex().toUpper() + '\'';
    }
    QString renameSql(const QString& oldName, const QString& newName) const override {
        return QStringLiteral("ALTER TABLE ") + quotedName(oldName) + QStringLiteral(" RENAME TO ") +
               quotedName(newName);
    }
    ColumnType columnType(std::int16_t adoType) const override {
        const ColumnType text{QStringLiteral("TEXT"), ColumnKind::Text};
        return typeByRules(adoType,
                           {{{"char"}, text},
                            {{"dec", "numeric", "int"}, {QStringLiteral("NUMERIC"), ColumnKind::Number}},
                            {{"adlongvarbinary"}, {QStringLiteral("BLOB"), ColumnKind::LongBinary}}},
                           text);
    }

    // Debian's SQLite ODBC driver.
    bool bindsBinaryArraysByFirstLength() const override { return true; }
    QString ownTablesPrefix() const override { return QStringLiteral("sqlite_"); }
};

}  // namespace

const Dialect& sqliteDialect() {
    static const SqliteDialect dialect;
    return dialect;
}

}  // namespace tw
