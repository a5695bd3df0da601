#include "db/Dialect.h"

namespace tw {

namespace {

// Plain standard SQL, for a product no other dialect knows.
class StandardDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("SQL"); }
    bool isNamed(const QByteArray&) const override { return false; }
    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "X'" + bytes.toHex().toUpper() + '\'';
    }
    ColumnType columnType(std::int16_t adoType) const override {
        return numberTextOrBinary(adoType, QStringLiteral("VARBINARY(32000)"));
    }
    std::span<const FaithfulRule> faithfulRules() const override { return {}; }
};

}  // namespace

const Dialect& standardDialect() {
    static const StandardDialect dialect;
    return dialect;
}

}  // namespace tw
