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
    QString renameSql(const QString& oldName, const QString& newName) const override {
        return QStringLiteral("ALTER TABLE ") + quotedName(oldName) + QStringLiteral(" RENAME TO ") +
               quotedName(newName);
    }
    ColumnType columnType(std::int16_t adoType) const override {
        const ColumnType text{QStringLiteral("TEXT"), ColumnKind::Text};
        return typeByRules(adoType,
                           {{{"char"}, text},
                            {{"dec", "numeric", "int"}, {QStringLiteral("NUMERIC"), ColumnKind::Number}},
                            {{"adlongvarbinary"}, {QStringLiteral("BYTEA"), ColumnKind::LongBinary}}},
                           text);
    }
};

}  // namespace

const Dialect& postgresDialect() {
    static const PostgresDialect dialect;
    return dialect;
}

}  // namespace tw
