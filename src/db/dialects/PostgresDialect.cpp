#include "db/Dialect.h"

namespace tw {

namespace {

// The test stand's stand-in for Oracle.
class PostgresDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("PostgreSQL"); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.startsWith("PostgreSQL"); }

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
