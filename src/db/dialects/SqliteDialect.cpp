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
    ColumnType columnType(std::int16_t adoType) const override {
        return numberTextOrBinary(adoType, QStringLiteral("BLOB"));
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
