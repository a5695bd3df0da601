#include <sql.h>
#include <sqlext.h>

#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <vector>

#include "db/Dialect.h"

namespace tw {

namespace {

// MariaDB as MariaDB Connector/ODBC names it, and MySQL as the drivers name it. Statements are
// written for the server's default sql_mode, which the program leaves as it is (a user's row
// condition is written in it) but for what keeps values: names between backticks, a backslash in
// a string literal begins an escape, and a value a column cannot hold is refused.
class MariaDbDialect : public Dialect {
public:
    MariaDbDialect(const char* title, const char* collation) : m_title(title), m_collation(collation) {}

    QString title() const override { return QString::fromLatin1(m_title); }
    bool isNamed(const QByteArray& dbmsName) const override { return dbmsName.startsWith(m_title); }

    QString quotedName(const QString& name) const override {
        QString inner = name;
        inner.replace(QLatin1Char('`'), QStringLiteral("``"));
        return QLatin1Char('`') + inner + QLatin1Char('`');
    }
    bool readsBackslashEscapes() const override { return true; }
    // A relaxed server (sql_mode '') would write a date it cannot hold as 0000-00-00, cut a text
    // to its column's length and a number to its column's largest, each with a warning only:
    // the session refuses them, in tables with and without transactions. A zero date a source
    // holds (another MariaDB's) goes as itself, unless the server's own mode refuses it.
    // Literals double their
    // backslashes, which NO_BACKSLASH_ESCAPES would keep doubled. The rest of the server's mode
    // stays (ANSI_QUOTES too: names go between backticks either way).
    QStringList sessionSetUp() const override {
        return {QStringLiteral(
            "SET SESSION sql_mode = CONCAT_WS(',', REPLACE(@@sql_mode, 'NO_BACKSLASH_ESCAPES', ''), "
            "'STRICT_ALL_TABLES', 'ERROR_FOR_DIVISION_BY_ZERO')")};
    }
    // The DECIMAL(65,30) of a number of no fixed scale rounds a value with more digits after the
    // point, with a note that no mode makes an error. A column's own scale goes up to 38.
    int mostDecimalDigits() const override { return 30; }

    // Every transaction of the session from now on, each statement in auto-commit too.
    QStringList readOnlySetUp() const override {
        return {QStringLiteral("SET SESSION TRANSACTION READ ONLY")};
    }
    void appendBinaryLiteral(QByteArray& out, const QByteArray& bytes) const override {
        out += "X'" + bytes.toHex().toUpper() + '\'';
    }
    // ALTER TABLE … RENAME TO would move a table of another database into the session's.
    QString renameSql(const QString& oldName, const QString& newName, const QString& schema) const override {
        return QStringLiteral("RENAME TABLE ") + qualifiedName(schema, oldName) + QStringLiteral(" TO ") +
               qualifiedName(schema, newName);
    }

    // Every character kept, whatever the database's default character set, and keys told
    // apart as the other products tell them: by their very characters, a trailing blank too.
    QString createTableEnd() const override {
        return QStringLiteral(") CHARACTER SET utf8mb4 COLLATE ") + QLatin1String(m_collation);
    }

    // NUMERIC would be DECIMAL(10,0) and TEXT ends at 65,535 bytes: exact numbers keep 35
    // digits before the point and 30 after, whole ones any 64-bit value; text and bytes of any
    // length.
    ColumnType columnType(std::int16_t adoType) const override {
        const ColumnType text{QStringLiteral("LONGTEXT"), ColumnKind::Text};
        return typeByRules(adoType,
                           {{{"char"}, text},
                            {{"dec", "numeric"}, {QStringLiteral("DECIMAL(65,30)"), ColumnKind::Number}},
                            {{"int"}, {QStringLiteral("DECIMAL(20)"), ColumnKind::Number}},
                            {{"adlongvarbinary"}, {QStringLiteral("LONGBLOB"), ColumnKind::Bytes}}},
                           text);
    }

    // A row's VARCHAR and VARBINARY columns take at most 65,535 bytes together (a character up
    // to four in utf8mb4), so only short ones keep their type; longer ones go to the smallest
    // TEXT or BLOB that holds them, which count a few bytes only. CHAR drops a value's trailing
    // blanks on reading, and TINYINT is signed: neither keeps every value; FLOAT refuses the
    // largest 4-byte float as its shortest text writes it, and DOUBLE holds every one. DECIMAL holds 65
    // digits at most; DATETIME, unlike TIMESTAMP, any moment of years 1000 to 9999, in no time
    // zone; nothing keeps an offset from UTC. A UUID column would write its text in lower case.
    std::span<const FaithfulRule> faithfulRules() const override {
        static const FaithfulRule rules[] = {
            {ColumnSort::TinyInt, "SMALLINT"},
            {ColumnSort::SmallInt, "SMALLINT"},
            {ColumnSort::Integer, "INT"},
            {ColumnSort::BigInt, "BIGINT"},
            {ColumnSort::Decimal, "DECIMAL({n},{s})", 65},
            {ColumnSort::UnboundedDecimal, "DECIMAL(65,30)"},
            {ColumnSort::Real, "DOUBLE"},
            {ColumnSort::Double, "DOUBLE"},
            {ColumnSort::Logical, "BOOLEAN"},
            {ColumnSort::Char, "VARCHAR({n})", 255},
            {ColumnSort::Char, "TEXT", 16383},
            {ColumnSort::Char, "MEDIUMTEXT", 4194303},
            {ColumnSort::Char, "LONGTEXT"},
            {ColumnSort::VarChar, "VARCHAR({n})", 255},
            {ColumnSort::VarChar, "TEXT", 16383},
            {ColumnSort::VarChar, "MEDIUMTEXT", 4194303},
            {ColumnSort::VarChar, "LONGTEXT"},
            {ColumnSort::LongText, "LONGTEXT"},
            {ColumnSort::Binary, "VARBINARY({n})", 255},
            {ColumnSort::Binary, "BLOB", 65535},
            {ColumnSort::Binary, "MEDIUMBLOB", 16777215},
            {ColumnSort::Binary, "LONGBLOB"},
            {ColumnSort::VarBinary, "VARBINARY({n})", 255},
            {ColumnSort::VarBinary, "BLOB", 65535},
            {ColumnSort::VarBinary, "MEDIUMBLOB", 16777215},
            {ColumnSort::VarBinary, "LONGBLOB"},
            {ColumnSort::LongBinary, "LONGBLOB"},
            {ColumnSort::Date, "DATE"},
            {ColumnSort::Time, "TIME({f})", 6},
            {ColumnSort::Timestamp, "DATETIME({f})", 6},
            {ColumnSort::Guid, "CHAR(36)"},
        };
        return rules;
    }
    void fitKey(QList<ColumnType>& key) const override;

    // The driver describes an unsigned integer as the signed one, a UUID or an INET6 column as
    // long binary, which reads as its text, and a CHAR, ENUM or SET column as fixed-length text,
    // which reads without trailing blanks; only the catalogue's type name tells.
    void readDeclaredType(ColumnShape& column) const override;

    // The driver reads BIT(1) as the byte it holds, not as a number.
    bool rendersColumns() const override { return true; }
    QString renderedColumn(const ColumnShape& column, ColumnKind readAs,
                           const QString& quoted) const override {
        if (column.sqlType != SQL_BIT || readAs == ColumnKind::Bytes) return QString();
        return QStringLiteral("CAST(%1 AS UNSIGNED)").arg(quoted);
    }

    // An AUTO_INCREMENT column is numbered; a generated one computed. MySQL shows an empty
    // expression where MariaDB shows none.
    QString generatedColumnsQuery(const QString& schema, const QString& table) const override {
        return columnsQuery("CASE WHEN COALESCE(GENERATION_EXPRESSION, '') <> '' THEN 'computed' ELSE '' END",
                            "EXTRA LIKE '%auto_increment%' OR COALESCE(GENERATION_EXPRESSION, '') <> ''",
                            schema, table);
    }

    // The driver says nothing of a DATETIME's, TIMESTAMP's or TIME's digits of a second.
    QString secondsDigitsQuery(const QString& schema, const QString& table) const override {
        return columnsQuery("DATETIME_PRECISION", "DATA_TYPE IN ('datetime', 'timestamp', 'time')", schema,
                            table);
    }

    // The name and one more field of each of the table's columns that meets the condition.
    QString columnsQuery(const char* field, const char* condition, const QString& schema,
                         const QString& table) const {
        return QStringLiteral(
                   "SELECT COLUMN_NAME, %1 FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = %2 AND "
                   "TABLE_NAME = %3 AND (%4)")
            .arg(QLatin1String(field), databaseOf(schema), literal(table), QLatin1String(condition));
    }

    // RENAME TABLE renames every pair it is given at once, or none.
    QString renameTwoSql(const QString& first, const QString& firstTo, const QString& second,
                         const QString& secondTo, const QString& schema) const override {
        return renameSql(first, firstTo, schema) + QStringLiteral(", ") + qualifiedName(schema, second) +
               QStringLiteral(" TO ") + qualifiedName(schema, secondTo);
    }

    // A table's engine decides whether a rollback undoes its changes: MyISAM, Aria and MEMORY
    // keep every row written at once. A view has no engine.
    QString tableEngineQuery(const QString& schema, const QString& table) const override {
        return QStringLiteral(
                   "SELECT t.ENGINE, e.TRANSACTIONS FROM information_schema.TABLES t JOIN "
                   "information_schema.ENGINES e ON e.ENGINE = t.ENGINE WHERE t.TABLE_SCHEMA = %1 AND "
                   "t.TABLE_NAME = %2")
            .arg(databaseOf(schema), literal(table));
    }

    // A table of another database is named with its database.
    QString referencingKeysQuery(const QString& schema, const QString& table) const override {
        return QStringLiteral(
                   "SELECT CASE WHEN CONSTRAINT_SCHEMA = UNIQUE_CONSTRAINT_SCHEMA THEN TABLE_NAME ELSE "
                   "CONCAT(CONSTRAINT_SCHEMA, '.', TABLE_NAME) END, DELETE_RULE FROM "
                   "information_schema.REFERENTIAL_CONSTRAINTS WHERE UNIQUE_CONSTRAINT_SCHEMA = %1 AND "
                   "REFERENCED_TABLE_NAME = %2 AND NOT (CONSTRAINT_SCHEMA = UNIQUE_CONSTRAINT_SCHEMA AND "
                   "TABLE_NAME = REFERENCED_TABLE_NAME)")
            .arg(databaseOf(schema), literal(table));
    }

    // MariaDB Connector/ODBC 3.1 reads a value of a block's row after SQLSetPos as NULL, and
    // names databases as catalogs.
    bool misreadsBlockRows() const override { return true; }
    bool tellsARefusedArrayOnlyByItsCount() const override { return true; }
    bool schemasAreCatalogs() const override { return true; }
    // It says 256, the bytes of 64 characters, and the server takes 64 characters: a staging
    // table's name made to fit 256 bytes would be refused. Counted in bytes, a name of more than
    // 64 bytes is refused before anything is made, though the server may take it.
    int longestNameBytes() const override { return 64; }

    // The driver gives the server's SQLSTATE, of class 22 or 23 for most values a row cannot
    // hold; these come with another: a value an ENUM or SET column has no member for (01000),
    // and MySQL's incorrect value and failed CHECK constraint (HY000).
    std::span<const int> rowRefusalCodes() const override {
        static const int codes[] = {1265, 1366, 3819};
        return codes;
    }

private:
    // The database a table is in: the one named, else the session's.
    QString databaseOf(const QString& schema) const {
        return schema.isEmpty() ? QStringLiteral("DATABASE()") : literal(schema);
    }
    QString literal(const QString& text) const {
        QString escaped = text;
        escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + escaped + QLatin1Char('\'');
    }

    const char* m_title;
    const char* m_collation;
};

// A primary key's columns take at most 3,072 bytes of its index together, and TEXT or BLOB
// none without a prefix, which would make values unique by their beginnings only. Where the
// key's columns do not fit, those of text and bytes share what the others leave, the shortest
// keeping their length and the rest getting VARCHAR or VARBINARY of an even share, which a
// longer value cannot enter.
void MariaDbDialect::fitKey(QList<ColumnType>& key) const {
    static const QRegularExpression sized(QStringLiteral(R"(^(?:VAR)?(?:CHAR|BINARY)\((\d+)\)$)"));
    constexpr qint64 kKeyBytes = 3072;
    constexpr qint64 kUnbounded = std::numeric_limits<qint64>::max();
    struct Part {
        qsizetype column;
        qint64 unit;   // bytes a character or byte takes
        qint64 bytes;  // at most
    };
    qint64 room = kKeyBytes;
    std::vector<Part> lengths;
    for (qsizetype column = 0; column < key.size(); ++column) {
        const ColumnType& type = key[column];
        if (type.kind != ColumnKind::Text && type.kind != ColumnKind::Bytes) {
            room -= type.text.startsWith(QLatin1String("DECIMAL")) ? 30 : 8;
            continue;
        }
        const qint64 unit = type.kind == ColumnKind::Text ? 4 : 1;  // utf8mb4
        const QRegularExpressionMatch match = sized.match(type.text);
        lengths.push_back(
            {column, unit, match.hasMatch() ? match.captured(1).toLongLong() * unit : kUnbounded});
    }
    qint64 wanted = 0;
    for (const Part& part : lengths) {
        if (part.bytes == kUnbounded || wanted > kKeyBytes) {
            wanted = kUnbounded;
            break;
        }
        wanted += part.bytes;
    }
    if (wanted <= room) return;
    std::stable_sort(lengths.begin(), lengths.end(),
                     [](const Part& a, const Part& b) { return a.bytes < b.bytes; });
    for (size_t at = 0; at < lengths.size(); ++at) {
        const Part& part = lengths[at];
        const qint64 share = std::max<qint64>(room / static_cast<qint64>(lengths.size() - at), part.unit);
        if (part.bytes <= share) {
            room -= part.bytes;
            continue;
        }
        const qint64 length = share / part.unit;
        room -= length * part.unit;
        key[part.column].text =
            QStringLiteral("%1(%2)")
                .arg(part.unit == 4 ? QStringLiteral("VARCHAR") : QStringLiteral("VARBINARY"))
                .arg(length);
    }
}

void MariaDbDialect::readDeclaredType(ColumnShape& column) const {
    const QString name = column.typeName.toUpper();
    if (name.endsWith(QLatin1String(" UNSIGNED"))) {
        // The next larger type holds every value; BIGINT's 20 digits only a decimal.
        if (name.startsWith(QLatin1String("TINYINT"))) column.sqlType = SQL_SMALLINT;
        if (name.startsWith(QLatin1String("SMALLINT"))) column.sqlType = SQL_INTEGER;
        if (name.startsWith(QLatin1String("MEDIUMINT")) || name.startsWith(QLatin1String("INT")))
            column.sqlType = SQL_BIGINT;
        if (name.startsWith(QLatin1String("BIGINT"))) {
            column.sqlType = SQL_DECIMAL;
            column.size = 20;
            column.digits = 0;
        }
        return;
    }
    const auto text = [&](qint64 size) {
        column.sqlType = SQL_VARCHAR;
        column.size = size;
    };
    if (name == QLatin1String("CHAR")) {
        text(column.size);  // read without the trailing blanks it was padded with
    } else if (name == QLatin1String("FLOAT")) {
        // The driver reads it as the double of its very value, which another product's 4-byte
        // type, read by its own driver, would not give back; a DOUBLE does.
        column.sqlType = SQL_DOUBLE;
        column.fourByteFloat = true;
    } else if (name == QLatin1String("UUID")) {
        column.sqlType = SQL_GUID;
        column.size = 36;
    } else if (name == QLatin1String("INET6")) {
        text(39);
    } else if (name == QLatin1String("INET4")) {
        text(15);
    } else if (name == QLatin1String("ENUM") || name == QLatin1String("SET")) {
        text(column.size);  // the longest member or members, which CHAR would pad
    }
}

}  // namespace

const Dialect& mariaDbDialect() {
    static const MariaDbDialect dialect("MariaDB", "utf8mb4_nopad_bin");
    return dialect;
}

// MySQL has no NO PAD collation in every version: a key of "a" and one of "a " are one.
const Dialect& mySqlDialect() {
    static const MariaDbDialect dialect("MySQL", "utf8mb4_bin");
    return dialect;
}

}  // namespace tw
