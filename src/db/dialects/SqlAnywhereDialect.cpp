#include "db/Dialect.h"

namespace tw {

namespace {

// "SQL Anywhere", and "Adaptive Server Anywhere" before it.
class SqlAnywhereDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("SQL Anywhere"); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.contains("Anywhere"); }

    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "0x" + bytes.toHex().toUpper();
    }
    QString renameSql(const QString& oldName, const QString& newName) const override {
        return QStringLiteral("ALTER TABLE ") + quotedName(oldName) + QStringLiteral(" RENAME ") +
               quotedName(newName) + QLatin1Char(';');
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
