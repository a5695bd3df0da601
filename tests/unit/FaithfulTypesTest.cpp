// The faithful copy's types: each product's type table, the names SQLite declares, and the
// CREATE TABLE the engine sends for the same shape to Oracle and to SQL Anywhere.
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include "db/AdoType.h"
#include "db/StagingName.h"
#include "support/FakeConnection.h"
#include "support/MemoryTableList.h"
#include "support/RecordingFrontEnd.h"
#include "transfer/CopyEngine.h"
#include "transfer/CopyStatements.h"

using namespace tw;

namespace {

ColumnShape column(SQLSMALLINT sqlType, qint64 size = 0, int digits = -1) {
    return {QStringLiteral("c"), sqlType, QString(), size, digits, true};
}

QString typeIn(const Dialect& dialect, const ColumnShape& shape) {
    const std::optional<ColumnType> type = dialect.faithfulType(shape);
    return type ? type->text : QStringLiteral("-");
}

}  // namespace

// "-": the product has no type that keeps the column; the plain copy's type is given.
TEST(FaithfulTypes, EachProductsTableKeepsTheSourceColumn) {
    const struct {
        ColumnShape shape;
        const char* oracle;
        const char* sqlAnywhere;
        const char* postgres;
        const char* sqlite;
        const char* standard;
        const char* mariaDb;
    } cases[] = {
        {column(SQL_TINYINT), "NUMBER(3)", "SMALLINT", "SMALLINT", "TINYINT", "SMALLINT", "SMALLINT"},
        {column(SQL_INTEGER, 10, 0), "NUMBER(10)", "INTEGER", "INTEGER", "INTEGER", "INTEGER", "INT"},
        {column(SQL_BIGINT), "NUMBER(19)", "BIGINT", "BIGINT", "BIGINT", "BIGINT", "BIGINT"},
        {column(SQL_NUMERIC, 10, 2), "NUMBER(10,2)", "NUMERIC(10,2)", "NUMERIC(10,2)", "NUMERIC(10,2)",
         "NUMERIC(10,2)", "DECIMAL(10,2)"},
        {column(SQL_DECIMAL, 12, -1), "NUMBER(12,0)", "NUMERIC(12,0)", "NUMERIC(12,0)", "NUMERIC(12,0)",
         "NUMERIC(12,0)", "DECIMAL(12,0)"},
        // SQLite's NUMERIC keeps 15 digits; its NUMERIC TEXT every digit.
        {column(SQL_NUMERIC, 60, 10), "-", "NUMERIC(60,10)", "NUMERIC(60,10)", "NUMERIC TEXT(60,10)", "-",
         "DECIMAL(60,10)"},
        {column(SQL_NUMERIC), "NUMBER", "NUMERIC(127,64)", "NUMERIC", "NUMERIC TEXT", "-", "DECIMAL(65,30)"},
        {column(SQL_NUMERIC, 70, 2), "-", "NUMERIC(70,2)", "NUMERIC(70,2)", "NUMERIC TEXT(70,2)", "-", "-"},
        {column(SQL_REAL), "BINARY_FLOAT", "REAL", "REAL", "REAL", "REAL", "DOUBLE"},
        {column(SQL_FLOAT, 17), "BINARY_DOUBLE", "DOUBLE", "DOUBLE PRECISION", "DOUBLE", "DOUBLE PRECISION",
         "DOUBLE"},
        {column(SQL_BIT), "NUMBER(1)", "BIT", "BOOLEAN", "BOOLEAN", "SMALLINT", "BOOLEAN"},
        {column(SQL_CHAR, 5), "CHAR(5 CHAR)", "NCHAR(5)", "CHAR(5)", "CHAR(5)", "CHAR(5)", "VARCHAR(5)"},
        {column(SQL_WVARCHAR, 70), "VARCHAR2(70 CHAR)", "NVARCHAR(70)", "VARCHAR(70)", "VARCHAR(70)",
         "VARCHAR(70)", "VARCHAR(70)"},
        {column(SQL_VARCHAR, 1001), "CLOB", "NVARCHAR(1001)", "VARCHAR(1001)", "VARCHAR(1001)",
         "VARCHAR(1001)", "TEXT"},
        {column(SQL_VARCHAR, 9000), "CLOB", "LONG NVARCHAR", "VARCHAR(9000)", "VARCHAR(9000)", "CLOB",
         "TEXT"},
        {column(SQL_VARCHAR), "CLOB", "LONG NVARCHAR", "TEXT", "TEXT", "CLOB",
         "LONGTEXT"},  // no length declared
        {column(SQL_LONGVARCHAR, 8190), "CLOB", "LONG NVARCHAR", "TEXT", "TEXT", "CLOB", "LONGTEXT"},
        {column(SQL_BINARY, 4), "RAW(4)", "BINARY(4)", "BYTEA", "VARBINARY(4)", "BLOB", "VARBINARY(4)"},
        {column(SQL_VARBINARY, 3000), "BLOB", "VARBINARY(3000)", "BYTEA", "VARBINARY(3000)", "BLOB", "BLOB"},
        {column(SQL_LONGVARBINARY), "BLOB", "LONG BINARY", "BYTEA", "BLOB", "BLOB", "LONGBLOB"},
        {column(SQL_WVARCHAR, 20000), "CLOB", "LONG NVARCHAR", "VARCHAR(20000)", "VARCHAR(20000)", "CLOB",
         "MEDIUMTEXT"},
        {column(SQL_VARBINARY, 70000), "BLOB", "LONG BINARY", "BYTEA", "VARBINARY(70000)", "BLOB",
         "MEDIUMBLOB"},
        {column(SQL_TYPE_DATE), "DATE", "DATE", "DATE", "DATE", "DATE", "DATE"},
        {column(SQL_TYPE_TIME, 8, 3), "-", "TIME", "TIME(3)", "TIME", "TIME(3)", "TIME(3)"},
        {column(SQL_TYPE_TIMESTAMP, 23, 3), "TIMESTAMP(3)", "TIMESTAMP", "TIMESTAMP(3)", "TIMESTAMP",
         "TIMESTAMP(3)", "DATETIME(3)"},
        {column(SQL_TYPE_TIMESTAMP), "TIMESTAMP(6)", "TIMESTAMP", "TIMESTAMP(6)", "TIMESTAMP", "TIMESTAMP(6)",
         "DATETIME(6)"},
        {column(SQL_TYPE_TIMESTAMP, 29, 9), "TIMESTAMP(9)", "-", "-", "TIMESTAMP", "-", "-"},
        {column(SQL_GUID), "CHAR(36)", "UNIQUEIDENTIFIER", "UUID", "CHAR(36)", "CHAR(36)", "CHAR(36)"},
        {column(SQL_INTERVAL_DAY), "-", "-", "-", "-", "-", "-"},
    };
    for (const auto& c : cases) {
        const QString which =
            QStringLiteral("SQL type %1 (%2, %3)").arg(c.shape.sqlType).arg(c.shape.size).arg(c.shape.digits);
        EXPECT_EQ(typeIn(oracleDialect(), c.shape), c.oracle) << which.toStdString();
        EXPECT_EQ(typeIn(sqlAnywhereDialect(), c.shape), c.sqlAnywhere) << which.toStdString();
        EXPECT_EQ(typeIn(postgresDialect(), c.shape), c.postgres) << which.toStdString();
        EXPECT_EQ(typeIn(sqliteDialect(), c.shape), c.sqlite) << which.toStdString();
        EXPECT_EQ(typeIn(standardDialect(), c.shape), c.standard) << which.toStdString();
        EXPECT_EQ(typeIn(mariaDbDialect(), c.shape), c.mariaDb) << which.toStdString();
    }
}

// SQLite's driver reports NUMERIC(10,2) as a DOUBLE and BINARY(4) as text; the declared name
// says what the column is.
TEST(FaithfulTypes, SqliteColumnsAreReadByTheirDeclaredNames) {
    const struct {
        const char* declared;
        ColumnSort sort;
        qint64 size;
        int digits;
    } cases[] = {
        {"NUMERIC(10,2)", ColumnSort::Decimal, 10, 2},
        {"decimal( 30 , 10 )", ColumnSort::Decimal, 30, 10},
        {"NUMERIC(8)", ColumnSort::Decimal, 8, 0},
        {"NUMERIC", ColumnSort::UnboundedDecimal, 0, -1},
        {"INT", ColumnSort::Integer, 0, -1},
        {"UNSIGNED BIG INT", ColumnSort::Integer, 0, -1},
        {"BIGINT", ColumnSort::BigInt, 0, -1},
        {"NVARCHAR(70)", ColumnSort::VarChar, 70, -1},
        {"VARCHAR", ColumnSort::LongText, 0, -1},
        {"CHARACTER(5)", ColumnSort::Char, 5, -1},
        {"TEXT", ColumnSort::LongText, 0, -1},
        {"BINARY(4)", ColumnSort::Binary, 4, -1},
        {"BLOB", ColumnSort::LongBinary, 0, -1},
        {"DOUBLE PRECISION", ColumnSort::Double, 0, -1},
        {"REAL", ColumnSort::Double, 0, -1},
        {"BOOLEAN", ColumnSort::Logical, 0, -1},
        {"DATETIME", ColumnSort::Timestamp, 0, -1},
        {"TIMESTAMP(3)", ColumnSort::Timestamp, 0, 3},
        {"", ColumnSort::Other, 0, -1},
        {"JSON", ColumnSort::Other, 0, -1},
    };
    for (const auto& c : cases) {
        ColumnShape shape{"c", SQL_DOUBLE, QString::fromLatin1(c.declared), 2, 10, true};
        sqliteDialect().readDeclaredType(shape);
        EXPECT_EQ(sortOf(shape), c.sort) << c.declared;
        EXPECT_EQ(shape.size, c.size) << c.declared;
        EXPECT_EQ(shape.digits, c.digits) << c.declared;
    }
}

// psqlODBC describes the types it has no ODBC type for as text: only PostgreSQL's own text types
// stay text, so that a faithful copy names the others as carried in the plain copy's type.
TEST(FaithfulTypes, PostgresTypesDescribedAsTextAreTextOnlyWhenTheyAre) {
    const struct {
        const char* typeName;
        std::int16_t described;
        ColumnSort sort;
    } cases[] = {
        {"text", SQL_WLONGVARCHAR, ColumnSort::LongText}, {"varchar", SQL_WVARCHAR, ColumnSort::VarChar},
        {"bpchar", SQL_WCHAR, ColumnSort::Char},          {"bool", SQL_VARCHAR, ColumnSort::Logical},
        {"interval", SQL_VARCHAR, ColumnSort::Other},     {"_int4", SQL_WVARCHAR, ColumnSort::Other},
        {"jsonb", SQL_WLONGVARCHAR, ColumnSort::Other},   {"mood", SQL_WVARCHAR, ColumnSort::Other},
        {"timetz", SQL_WVARCHAR, ColumnSort::Other},      {"int4", SQL_INTEGER, ColumnSort::Integer},
    };
    for (const auto& c : cases) {
        ColumnShape shape{"c", c.described, QString::fromLatin1(c.typeName), 10, -1, true};
        postgresDialect().readDeclaredType(shape);
        EXPECT_EQ(sortOf(shape), c.sort) << c.typeName;
    }
}

// MariaDB's driver describes an unsigned integer as the signed one, a UUID or an INET6 column as
// long binary, a CHAR or an ENUM as fixed text (which reads without trailing blanks) and a FLOAT
// as the 4-byte type it reads as a double; the catalogue's type name says what each holds.
TEST(FaithfulTypes, MariaDbColumnsAreReadByTheirTypeNames) {
    const struct {
        const char* typeName;
        std::int16_t described;
        qint64 size;
        const char* faithful;
    } cases[] = {
        {"SMALLINT UNSIGNED", SQL_SMALLINT, 5, "INT"},
        {"INT UNSIGNED", SQL_INTEGER, 10, "BIGINT"},
        {"BIGINT UNSIGNED", SQL_BIGINT, 20, "DECIMAL(20,0)"},
        {"UUID", SQL_LONGVARBINARY, 0, "CHAR(36)"},
        {"INET6", SQL_LONGVARBINARY, 0, "VARCHAR(39)"},
        {"ENUM", SQL_WCHAR, 5, "VARCHAR(5)"},
        {"CHAR", SQL_WCHAR, 4, "VARCHAR(4)"},
        {"FLOAT", SQL_REAL, 7, "DOUBLE"},
        {"INT", SQL_INTEGER, 10, "INT"},
    };
    for (const auto& c : cases) {
        ColumnShape shape{"c", c.described, QString::fromLatin1(c.typeName), c.size, -1, true};
        mariaDbDialect().readDeclaredType(shape);
        EXPECT_EQ(typeIn(mariaDbDialect(), shape), c.faithful) << c.typeName;
    }
}

// A MariaDB key takes 3,072 bytes of its index, a character four, and no TEXT or BLOB: the text
// and bytes of a key that does not fit share what its other columns leave, the shorter keeping
// their length.
TEST(FaithfulTypes, AMariaDbKeyFitsItsIndex) {
    const auto typed = [](const QStringList& texts) {
        QList<ColumnType> key;
        for (const QString& text : texts) {
            const bool bytes = text.contains("BLOB") || text.contains("BINARY");
            const bool number = text == "INT";
            key << ColumnType{text, number  ? ColumnKind::Number
                                    : bytes ? ColumnKind::Bytes
                                            : ColumnKind::Text};
        }
        return key;
    };
    const struct {
        QStringList key;
        QStringList fitted;
    } cases[] = {
        {{"INT", "VARCHAR(20)"}, {"INT", "VARCHAR(20)"}},
        {{"VARCHAR(500)", "INT"}, {"VARCHAR(500)", "INT"}},
        {{"LONGTEXT"}, {"VARCHAR(768)"}},
        {{"VARCHAR(255)", "VARCHAR(255)", "VARCHAR(255)", "VARCHAR(255)"},
         {"VARCHAR(192)", "VARCHAR(192)", "VARCHAR(192)", "VARCHAR(192)"}},
        {{"INT", "LONGTEXT", "MEDIUMTEXT"}, {"INT", "VARCHAR(383)", "VARCHAR(383)"}},
        {{"LONGBLOB", "VARCHAR(10)"}, {"VARBINARY(3032)", "VARCHAR(10)"}},
    };
    for (const auto& c : cases) {
        QList<ColumnType> key = typed(c.key);
        mariaDbDialect().fitKey(key);
        QStringList fitted;
        for (const ColumnType& type : key) fitted << type.text;
        EXPECT_EQ(fitted, c.fitted) << c.key.join(", ").toStdString();
    }
}

// The same source table, faithfully to Oracle and to SQL Anywhere: types, NOT NULL and the
// key in key order; a column the target cannot keep gets the plain type and is named.
TEST(FaithfulTypes, TheEngineCreatesTheSameShapeInEitherProductsTypes) {
    const struct {
        const Dialect& dialect;
        const TransferProfile& profile;
        const char* created;
    } cases[] = {
        {oracleDialect(), kToOracle,
         R"(CREATE TABLE "EMP"("ID" NUMBER(10) NOT NULL,"DEPT" VARCHAR2(10 CHAR) NOT NULL,)"
         R"("PAY" NUMBER(10,2),"AT" TIMESTAMP(3),"T" VARCHAR(2000),PRIMARY KEY ("DEPT","ID")))"},
        {sqlAnywhereDialect(), kToSqlAnywhere,
         R"(CREATE TABLE "EMP"("ID" INTEGER NOT NULL,"DEPT" NVARCHAR(10) NOT NULL,)"
         R"("PAY" NUMERIC(10,2),"AT" TIMESTAMP,"T" TIME,PRIMARY KEY ("DEPT","ID"));)"},
    };
    for (const auto& c : cases) {
        test::FakeConnectionFactory connections;
        connections.dialect = &c.dialect;
        const QList<Field> fields{{"ID", AdoType::Integer, {}},
                                  {"DEPT", AdoType::VarChar, {}},
                                  {"PAY", AdoType::Numeric, {}},
                                  {"AT", AdoType::DBTimeStamp, {}},
                                  {"T", AdoType::DBTime, {}}};
        connections.tables[SelectAllSql("EMP")] = {fields,
                                                   {{"1", "d", "12.50", "2024-01-02 10:11:12.5", "10:11"}}};
        connections.shapes["EMP"] = {{{"ID", SQL_INTEGER, "int4", 10, 0, false},
                                      {"DEPT", SQL_VARCHAR, "varchar", 10, -1, false},
                                      {"PAY", SQL_NUMERIC, "numeric", 10, 2, true},
                                      {"AT", SQL_TYPE_TIMESTAMP, "timestamp", 23, 3, true},
                                      {"T", SQL_TYPE_TIME, "time", 8, 0, true}},
                                     {"DEPT", "ID"}};
        test::RecordingFrontEnd front;
        test::MemoryTableList source{{"EMP"}}, target;
        source.setCurrentIndex(0);
        source.setSelected(0, true);
        TransferRequest job{front, connections, {}, source, target};
        job.faithful = true;
        TransferTables(c.profile, job);

        const QString title = c.dialect.title();
        const QString created = QString::fromUtf8(c.created).replace(
            "\"EMP\"", "\"" + StagingName::forTable("EMP", 0).text() + "\"");
        EXPECT_TRUE(connections.log.contains("execute " + created)) << title.toStdString();
        EXPECT_LT(connections.log.indexOf("shape EMP"),
                  connections.log.indexOf("recordset " + SelectAllSql("EMP")));
        ASSERT_EQ(front.outcomes.size(), 1);
        const bool oracle = &c.dialect == &oracleDialect();
        EXPECT_EQ(front.outcomes[0].fellBack,
                  oracle ? QStringList{"T (time as VARCHAR(2000))"} : QStringList())
            << title.toStdString();
        EXPECT_TRUE(front.failures.isEmpty()) << title.toStdString();
    }
}

// Logical values are written as the target writes them, in a literal and bound alike; a text
// that spells no truth goes as it is, for the database to judge.
TEST(FaithfulTypes, LogicalValuesAreWrittenAsTheTargetWritesThem) {
    const struct {
        const Dialect& dialect;
        Variant value;
        const char* written;
    } cases[] = {
        {postgresDialect(), "1", "true"},    {postgresDialect(), "f", "false"},
        {oracleDialect(), "TRUE", "1"},      {sqlAnywhereDialect(), "no", "0"},
        {sqliteDialect(), "maybe", "maybe"},
    };
    for (const auto& c : cases) {
        InsertStatement insert("T", &c.dialect);
        insert.addValue(c.value, ColumnKind::Logical);
        insert.finish();
        EXPECT_EQ(insert.utf8(), "INSERT INTO \"T\" VALUES('" + QByteArray(c.written) + "')");
        EXPECT_EQ(BoundValueFor(c.value, ColumnKind::Logical, &c.dialect).data, c.written);
    }
}
