#include "db/Dialect.h"

namespace tw {

namespace {

// The SQL standard's own spelling, for a product no dialect knows: double-quoted names,
// X'..' bytes, ALTER TABLE … RENAME TO, and only types that most databases take as the
// standard writes them. Where products part ways, the choice keeps values over types:
// long text and bytes go into CLOB and BLOB (no VARCHAR length or VARBINARY fits every
// product), a logical value into SMALLINT (BOOLEAN is missing in several), and a column the
// standard gives no portable type (an unbounded decimal, whose NUMERIC rounds to whole numbers
// in some products; a time stamp with its offset) gets the plain copy's type, named to the user.
class StandardDialect : public Dialect {
public:
    QString title() const override { return QStringLiteral("standard SQL"); }
    // It names no product: it is chosen for those no other dialect names.
    bool isNamed(const QByteArray&) const override { return false; }

    std::span<const FaithfulRule> faithfulRules() const override {
        static const FaithfulRule rules[] = {
            {ColumnSort::TinyInt, "SMALLINT"},
            {ColumnSort::SmallInt, "SMALLINT"},
            {ColumnSort::Integer, "INTEGER"},
            {ColumnSort::BigInt, "BIGINT"},
            {ColumnSort::Decimal, "NUMERIC({n},{s})", 31},
            {ColumnSort::Real, "REAL"},
            {ColumnSort::Double, "DOUBLE PRECISION"},
            {ColumnSort::Logical, "SMALLINT"},
            {ColumnSort::Char, "CHAR({n})", 254, "CLOB"},
            {ColumnSort::VarChar, "VARCHAR({n})", 4000, "CLOB"},
            {ColumnSort::LongText, "CLOB"},
            {ColumnSort::Binary, "BLOB"},
            {ColumnSort::VarBinary, "BLOB"},
            {ColumnSort::LongBinary, "BLOB"},
            {ColumnSort::Date, "DATE"},
            {ColumnSort::Time, "TIME({f})", 6},
            {ColumnSort::Timestamp, "TIMESTAMP({f})", 6},
            {ColumnSort::Guid, "CHAR(36)"},
        };
        return rules;
    }

    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "X'" + bytes.toHex().toUpper() + '\'';
    }
    // Numbers stay numbers and long binary stays binary; all else is text of any length.
    ColumnType columnType(std::int16_t adoType) const override {
        const ColumnType text{QStringLiteral("CLOB"), ColumnKind::Text};
        return typeByRules(adoType,
                           {{{"char"}, text},
                            {{"dec", "numeric", "int"}, {QStringLiteral("NUMERIC"), ColumnKind::Number}},
                            {{"adlongvarbinary"}, {QStringLiteral("BLOB"), ColumnKind::Bytes}}},
                           text);
    }
};

}  // namespace

const Dialect& standardDialect() {
    static const StandardDialect dialect;
    return dialect;
}

}  // namespace tw
