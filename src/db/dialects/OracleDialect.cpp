#include "db/Dialect.h"

namespace tw {

namespace {

class OracleDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("Oracle"); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.contains("Oracle"); }

    // Values travel as text ('12.5'); the session reads them by its NLS_NUMERIC_CHARACTERS,
    // which follow the client's NLS_LANG: under a German one every decimal would be refused.
    QStringList sessionSetUp() const override {
        return {QStringLiteral("ALTER SESSION SET NLS_NUMERIC_CHARACTERS = '.,'")};
    }

    // A character literal takes at most 4,000 bytes (ORA-01704), HEXTORAW('…') two per byte.
    qsizetype longestTextLiteral() const override { return 4000; }
    qsizetype longestBinaryLiteral() const override { return 2000; }

    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "HEXTORAW('" + bytes.toHex().toUpper() + "')";
    }
    QString renameSql(const QString& oldName, const QString& newName) const override {
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
                            {{"adlongvarbinary"}, {QStringLiteral("BLOB"), ColumnKind::LongBinary}},
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
