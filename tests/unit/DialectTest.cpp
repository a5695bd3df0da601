// What each database's dialect writes, and which dialect a connection speaks.
#include <gtest/gtest.h>
#include <sqlext.h>

#include "db/AdoType.h"
#include "db/CatalogueTables.h"
#include "db/RenderedRead.h"
#include "db/StagingName.h"
#include "support/FakeConnection.h"
#include "support/MemoryTableList.h"
#include "support/RecordingFrontEnd.h"
#include "transfer/CopyEngine.h"
#include "transfer/CopyStatements.h"
#include "transfer/TablePlan.h"
#include "transfer/ValueFit.h"

using namespace tw;

namespace {

// The column the faithful copy plans for a source column of this shape.
PlannedColumn plannedFor(const Dialect& target, const ColumnShape& column) {
    test::FakeConnectionFactory connections;
    connections.tables.insert("s", {{Field{column.name, AdoType::VarChar, {}}}, {}});
    const auto source = connections.create();
    source->open(ConnectionTarget::dataSource("a"));
    return faithfulPlan(target, TableShape{{column}, {}}, *source->openRecordset("s")).columns.value(0);
}

struct Expected {
    const Dialect& dialect;
    const char* dbmsName;        // as the product's driver names it; none for the standard's
    const char* binary;          // the bytes 00 FF 10
    const char* rename;          // "a""b" to "c"
    const char* renameInSchema;  // "S"."a" to "c"
    const char* created;         // a number, a text and a long binary column
    QStringList setUp = {};      // statements right after connecting
    const char* quoted = "\"a\"\"b`c\"";
};
void PrintTo(const Expected& expected, std::ostream* out) { *out << expected.dialect.title().toStdString(); }

class EachDialect : public ::testing::TestWithParam<Expected> {};

}  // namespace

TEST_P(EachDialect, WritesNamesBytesRenamesAndTablesItsOwnWay) {
    const Expected& expected = GetParam();
    const Dialect& dialect = expected.dialect;
    EXPECT_EQ(dialectNamed(expected.dbmsName), expected.dbmsName ? &dialect : nullptr);
    EXPECT_EQ(dialect.quotedName("a\"b`c"), expected.quoted);
    QByteArray binary;
    dialect.appendBinaryLiteral(binary, QByteArray::fromHex("00ff10"));
    EXPECT_EQ(binary, expected.binary);
    EXPECT_EQ(dialect.renameSql("a\"b", "c"), expected.rename);
    EXPECT_EQ(dialect.renameSql("a", "c", "S"), expected.renameInSchema);
    EXPECT_EQ(CreateTableSql(dialect, "T", {{"n", AdoType::Integer}, {"s", AdoType::VarWChar}, {"b", 205}}),
              expected.created);
    EXPECT_EQ(dialect.sessionSetUp(), expected.setUp);
}

INSTANTIATE_TEST_SUITE_P(
    Products, EachDialect,
    ::testing::Values(
        Expected{oracleDialect(),
                 "Oracle",
                 "HEXTORAW('00FF10')",
                 "RENAME \"a\"\"b\" TO \"c\"",
                 "ALTER TABLE \"S\".\"a\" RENAME TO \"c\"",
                 "CREATE TABLE \"T\"(\"n\" NUMERIC,\"s\" VARCHAR(2000),\"b\" BLOB)",
                 {"ALTER SESSION SET NLS_NUMERIC_CHARACTERS = '.,'",
                  "ALTER SESSION SET NLS_DATE_FORMAT = 'YYYY-MM-DD HH24:MI:SS'",
                  "ALTER SESSION SET NLS_TIMESTAMP_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF'",
                  "ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF TZH:TZM'"}},
        Expected{sqlAnywhereDialect(), "SQL Anywhere", "0x00FF10", "ALTER TABLE \"a\"\"b\" RENAME \"c\";",
                 "ALTER TABLE \"S\".\"a\" RENAME \"c\";",
                 "CREATE TABLE \"T\"(\"n\" NUMERIC,\"s\" TEXT,\"b\" OLEOBJECT);"},
        Expected{postgresDialect(), "PostgreSQL", "'\\x00ff10'", "ALTER TABLE \"a\"\"b\" RENAME TO \"c\"",
                 "ALTER TABLE \"S\".\"a\" RENAME TO \"c\"",
                 "CREATE TABLE \"T\"(\"n\" NUMERIC,\"s\" TEXT,\"b\" BYTEA)"},
        Expected{sqliteDialect(), "SQLite", "X'00FF10'", "ALTER TABLE \"a\"\"b\" RENAME TO \"c\"",
                 "ALTER TABLE \"S\".\"a\" RENAME TO \"c\"",
                 "CREATE TABLE \"T\"(\"n\" NUMERIC,\"s\" TEXT,\"b\" BLOB)"},
        Expected{mariaDbDialect(),
                 "MariaDB",
                 "X'00FF10'",
                 "RENAME TABLE `a\"b` TO `c`",
                 "RENAME TABLE `S`.`a` TO `S`.`c`",
                 "CREATE TABLE `T`(`n` DECIMAL(20),`s` LONGTEXT,`b` LONGBLOB) CHARACTER SET utf8mb4 COLLATE "
                 "utf8mb4_nopad_bin",
                 {"SET SESSION sql_mode = CONCAT_WS(',', REPLACE(@@sql_mode, 'NO_BACKSLASH_ESCAPES', ''), "
                  "'STRICT_ALL_TABLES', 'ERROR_FOR_DIVISION_BY_ZERO')"},
                 "`a\"b``c`"},
        Expected{standardDialect(), nullptr, "X'00FF10'", "ALTER TABLE \"a\"\"b\" RENAME TO \"c\"",
                 "ALTER TABLE \"S\".\"a\" RENAME TO \"c\"",
                 "CREATE TABLE \"T\"(\"n\" NUMERIC,\"s\" CLOB,\"b\" BLOB)"}));

// MariaDB rounds a number with more than 30 digits after the point into any DECIMAL, with a
// note only: such a value refuses its row, there and nowhere else; trailing zeros and an
// exponent count as the number's digits do.
TEST(MariaDbNumbers, ANumberItWouldRoundRefusesItsRow) {
    const struct {
        const char* value;
        bool refused;
    } cases[] = {
        {"0.123456789012345678901234567890", false},
        {"0.1234567890123456789012345678901", true},
        {"-12.5000000000000000000000000000000000000", false},
        {"1.5E-29", false},
        {"1.5E-30", true},
        {"123456789012345678901234567890123456789", false},  // too large: the server refuses it
    };
    for (const auto& c : cases) {
        const ValueFit fit = fitOf("n", Variant(QString::fromLatin1(c.value)), AdoType::Numeric,
                                   ColumnKind::Number, mariaDbDialect());
        EXPECT_EQ(!fit.refusal.isEmpty(), c.refused) << c.value;
        if (c.refused) {
            EXPECT_TRUE(fit.refusal.contains("MariaDB keeps 30")) << fit.refusal.toStdString();
        }
        EXPECT_TRUE(fitOf("n", Variant(QString::fromLatin1(c.value)), AdoType::Numeric, ColumnKind::Number,
                          postgresDialect())
                        .refusal.isEmpty());
    }
    EXPECT_TRUE(fitOf("t", Variant(QStringLiteral("0.1234567890123456789012345678901")), AdoType::VarChar,
                      ColumnKind::Text, mariaDbDialect())
                    .refusal.isEmpty());
    // A column of a known scale keeps what its scale says, up to MariaDB's 38.
    const Variant digits35(QStringLiteral("0.12345678901234567890123456789012345"));
    EXPECT_TRUE(
        fitOf("n", digits35, AdoType::Numeric, ColumnKind::Number, mariaDbDialect(), 35).refusal.isEmpty());
    EXPECT_FALSE(
        fitOf("n", digits35, AdoType::Numeric, ColumnKind::Number, mariaDbDialect(), 34).refusal.isEmpty());
}

// A column of a fixed scale rounds a number with more digits after the point, and a time or
// timestamp a second's fraction, in every product that keeps its columns' types: such a value
// refuses its row. SQLite keeps it as it is.
TEST(ColumnScale, AValueTheColumnWouldRoundRefusesItsRow) {
    const struct {
        ColumnKind kind;
        const char* value;
        bool refused;
    } cases[] = {{ColumnKind::Number, "1.23", false},
                 {ColumnKind::Number, "1.230", false},
                 {ColumnKind::Number, "-12", false},
                 {ColumnKind::Number, "1.5E-1", false},
                 {ColumnKind::Number, "1.234", true},
                 {ColumnKind::Number, "-0.005", true},
                 {ColumnKind::Number, "1.5E-3", true},
                 {ColumnKind::Number, " 1.234", true},
                 {ColumnKind::Moment, "2024-01-02 10:11:12.12", false},
                 {ColumnKind::Moment, "2024-01-02 10:11:12.120+02", false},
                 {ColumnKind::Moment, "10:11:12.125", true},
                 {ColumnKind::Moment, "2024-01-02 10:11:12.001-05:30", true},
                 {ColumnKind::Moment, "2024-01-02", false},
                 {ColumnKind::Moment, "infinity", false}};
    for (const auto& c : cases) {
        const Variant value(QString::fromLatin1(c.value));
        const ValueFit fit = fitOf("n", value, AdoType::Numeric, c.kind, postgresDialect(), 2);
        EXPECT_EQ(!fit.refusal.isEmpty(), c.refused) << c.value << fit.refusal.toStdString();
    }
    const auto planned = [](const Dialect& target, std::int16_t sqlType, qint64 size, int digits) {
        return plannedFor(target, ColumnShape{"n", sqlType, "", size, digits}).decimals;
    };
    EXPECT_EQ(planned(postgresDialect(), SQL_DECIMAL, 10, 2), 2);
    EXPECT_EQ(planned(mariaDbDialect(), SQL_NUMERIC, 10, 0), 0);
    EXPECT_EQ(planned(postgresDialect(), SQL_DECIMAL, 0, -1), -1);  // unbounded
    EXPECT_EQ(planned(mariaDbDialect(), SQL_TYPE_TIMESTAMP, 19, 0), 0);
    EXPECT_EQ(planned(postgresDialect(), SQL_TYPE_TIME, 8, -1), 6);  // the six its type gets
    EXPECT_EQ(planned(sqliteDialect(), SQL_DECIMAL, 10, 2), -1);
    EXPECT_EQ(planned(sqliteDialect(), SQL_TYPE_TIMESTAMP, 19, 0), -1);
}

// A DATE drops a time of day, a TIME a date, a 4-byte float a double's further digits and an
// integer column a fraction, where the target keeps its columns' types: such a value refuses its
// row, and a value the column keeps whole goes.
TEST(ColumnScale, AValueANarrowerColumnWouldChangeRefusesItsRow) {
    const struct {
        std::int16_t sqlType;
        const char* typeName;
        const char* value;
        bool refused;
    } cases[] = {{SQL_TYPE_DATE, "DATE", "2020-01-02 00:00:00", false},
                 {SQL_TYPE_DATE, "DATE", "2020-01-02", false},
                 {SQL_TYPE_DATE, "DATE", "2020-01-02 03:04:05", true},
                 {SQL_TYPE_DATE, "DATE", "2020-01-02 00:00:00.5", true},
                 {SQL_TYPE_TIME, "TIME", "10:11:12", false},
                 {SQL_TYPE_TIME, "TIME", "-10:11:12", false},
                 {SQL_TYPE_TIME, "TIME", "2020-01-02 10:11:12", true},
                 {SQL_REAL, "REAL", "0.1", false},
                 {SQL_REAL, "REAL", "0.5", false},
                 {SQL_REAL, "REAL", "16777217", true},
                 {SQL_DOUBLE, "FLOAT4", "1.23456789012", true},  // MariaDB's FLOAT, read as a double
                 {SQL_DOUBLE, "FLOAT4", "0.10000000149011612", false},
                 {SQL_REAL, "REAL", "3.4028235e+38", true},      // beyond the largest float as written
                 {SQL_DOUBLE, "float", "1.23456789012", false},  // SQLite's, of 8 bytes
                 {SQL_DOUBLE, "DOUBLE", "1.23456789012", false},
                 {SQL_TYPE_DATE, "DATE", "20200102100000", true},
                 {SQL_TYPE_DATE, "DATE", "20200102000000", false},
                 {SQL_TYPE_TIME, "TIME", "2020/01/02 10:00:00", true},
                 {SQL_TYPE_TIME, "TIME", "20200102100000", true},
                 {SQL_TYPE_TIME, "TIME", "100000", false},
                 {SQL_TYPE_TIMESTAMP, "DATETIME", "20200102030405.12", true},  // keeps 0 digits here
                 {SQL_INTEGER, "INT", "1.5", true},
                 {SQL_INTEGER, "INT", "2.0", false},
                 {SQL_BIGINT, "BIGINT", "-0.5", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ColumnShape column{"c", c.sqlType, c.typeName, 19, 0};
        column.fourByteFloat = QByteArray(c.typeName) == "FLOAT4";
        for (const Dialect* target : {&mariaDbDialect(), &sqliteDialect()}) {
            const PlannedColumn planned = plannedFor(*target, column);
            const ValueFit fit = fitOf("c", Variant(QString::fromLatin1(c.value)), AdoType::VarChar,
                                       planned.kind, *target, planned.decimals, planned.limit);
            EXPECT_EQ(!fit.refusal.isEmpty(), c.refused && target != &sqliteDialect())
                << fit.refusal.toStdString();
        }
    }
}

// The product the driver names decides; a driver that names none, or a product the program does
// not know, leaves the side's own.
TEST(DialectFor, TheConnectedProductElseTheSidesOwn) {
    EXPECT_EQ(dialectNamed("Adaptive Server Anywhere"), &sqlAnywhereDialect());
    EXPECT_EQ(dialectNamed("MySQL"), &mySqlDialect());
    EXPECT_EQ(dialectNamed("Informix"), nullptr);
    test::FakeConnectionFactory connections;
    const auto connection = connections.create();
    EXPECT_EQ(&DialectFor(connection.get(), oracleDialect()), &oracleDialect());
    EXPECT_EQ(&DialectFor(nullptr, sqlAnywhereDialect()), &sqlAnywhereDialect());
    connections.dialect = &postgresDialect();
    EXPECT_EQ(&DialectFor(connection.get(), oracleDialect()), &postgresDialect());
}

// The command line's list of a PostgreSQL database holds what a copy reads by the bare name: the
// tables of the search path's schemas, a name two of them hold once (the first schema's is read).
TEST(PostgresList, NamesTheTablesABareNameReadsOnce) {
    test::FakeConnectionFactory connections;
    connections.dialect = &postgresDialect();
    connections.tables[postgresDialect().schemasFoundSql()] = {{{"s", AdoType::VarChar, {}}},
                                                               {{"scott"}, {"public"}}};
    connections.schemaTables = {{{"TABLE_CAT", AdoType::VarChar, {}},
                                 {"TABLE_SCHEM", AdoType::VarChar, {}},
                                 {"TABLE_NAME", AdoType::VarChar, {}},
                                 {"TABLE_TYPE", AdoType::VarChar, {}}},
                                {{"db", "public", "dup", "TABLE"},
                                 {"db", "scott", "dup", "TABLE"},
                                 {"db", "other", "hidden", "TABLE"},
                                 {"db", "public", "T", "TABLE"}}};
    test::MemoryTableList list;
    LoadCatalogueTables(
        list, connections, ConnectionTarget::dataSource("pg"), [] {}, {}, false, true);
    EXPECT_EQ(list.items(), QStringList({"dup", "T"}));
}

// A copy between MariaDB databases names every table and column between backticks, in the
// source's database and the target's, with a backtick in a name doubled and a double quote
// kept; a backslash in a value stays a backslash.
TEST(MariaDbNames, EveryStatementOfAReplaceQuotesThemInBackticks) {
    const QString table = "a\"b`c";
    test::FakeConnectionFactory connections;
    connections.dialect = &mariaDbDialect();
    connections.tables["SELECT * FROM `S`.`a\"b``c`"] = {
        {{"k\"`", AdoType::Integer, {}}, {"t", AdoType::VarWChar, {}}}, {{"1", "it's C:\\temp"}}};
    connections.shapes[table] = {{{"k\"`", SQL_INTEGER, "INT", 10, 0, false}, {"t", SQL_LONGVARCHAR, "TEXT"}},
                                 {"k\"`", "t"}};
    connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}}, {}};
    test::RecordingFrontEnd front;
    front.replace = true;
    test::MemoryTableList source{{table}}, target{{table}};
    source.setCurrentIndex(0);
    source.setSelected(0, true);
    TransferRequest job{front, connections, {}, source, target};
    job.faithful = true;
    job.sourceSchema = "S";
    job.targetSchema = "U";
    TransferTables(kToSqlAnywhere, job);

    const QString staged = "`U`.`" + QString(StagingName::forTable(table, 0).text()).replace("`", "``") + "`";
    const QString aside =
        "`U`.`" + QString(StagingName::forTable(table, 0).asideText()).replace("`", "``") + "`";
    EXPECT_EQ(connections.statementsSent(),
              QStringList({"CREATE TABLE " + staged +
                               "(`k\"``` INT NOT NULL,`t` VARCHAR(766),PRIMARY KEY (`k\"```,`t`)) "
                               "CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin",
                           "INSERT INTO " + staged + " VALUES('1', 'it''s C:\\\\temp')",
                           "RENAME TABLE `U`.`a\"b``c` TO " + aside + ", " + staged + " TO `U`.`a\"b``c`",
                           "DROP TABLE " + aside}));
    EXPECT_TRUE(front.failures.isEmpty());
    // A key cannot hold TEXT: the column is as long as the key's room allows.
    ASSERT_EQ(front.outcomes.size(), 1);
    EXPECT_EQ(front.outcomes[0].fellBack, QStringList{"t (TEXT as VARCHAR(766))"});
}

// An Oracle session reads '12.5' and '2024-01-02 10:11:12.5' whatever the client's NLS_LANG
// says; when it cannot be told so,
// the connection fails and is closed again.
// PostgreSQL's key renaming is a DO block: a table whose name holds its dollar tag still gets it
// whole, between a tag that the names do not hold.
TEST(PostgresKeyNames, TheBlocksQuotingHoldsAnyTableName) {
    for (const QString table : {"T", "a$tw$b", "a$twx$b$tw$"}) {
        const QString statement = postgresDialect().keysNamedAfterTableSql({}, table);
        const QString tag = statement.section(' ', 1).section('$', 0, 1) + '$';
        ASSERT_TRUE(statement.startsWith("DO " + tag)) << statement.toStdString();
        EXPECT_TRUE(statement.endsWith(tag));
        const QString body = statement.mid(3 + tag.size(), statement.size() - 3 - 2 * tag.size());
        EXPECT_FALSE(body.contains(tag)) << statement.toStdString();
        EXPECT_TRUE(body.contains("to_regclass('\"" + table + "\"')")) << statement.toStdString();
    }
}

TEST(SessionSetUp, RunsRightAfterConnectingAndFailsTheConnectionWhenRefused) {
    test::FakeConnectionFactory connections;
    connections.dialect = &oracleDialect();
    connections.create()->open(ConnectionTarget::dataSource("ora"));
    EXPECT_EQ(
        connections.log,
        QStringList({"create", "open Data Source=ora",
                     "execute ALTER SESSION SET NLS_NUMERIC_CHARACTERS = '.,'",
                     "execute ALTER SESSION SET NLS_DATE_FORMAT = 'YYYY-MM-DD HH24:MI:SS'",
                     "execute ALTER SESSION SET NLS_TIMESTAMP_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF'",
                     "execute ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF TZH:TZM'",
                     "release"}));

    connections.log.clear();
    connections.onExecute = [](const QString&) { throw std::runtime_error("ORA-02248: invalid option"); };
    const auto refused = connections.create();
    EXPECT_THROW(refused->open(ConnectionTarget::dataSource("ora")), std::runtime_error);
    EXPECT_EQ(connections.log.last(), "close");

    connections.log.clear();
    connections.dialect = &sqliteDialect();  // nothing to set up
    connections.create()->open(ConnectionTarget::dataSource("lite"));
    EXPECT_EQ(connections.log, QStringList({"create", "open Data Source=lite", "release"}));
}

// Oracle takes a character literal of at most 4,000 bytes: a longer text, or binary of more
// than 2,000 bytes, goes as a parameter, while the statement the user reads stays composed.
TEST(OracleLiterals, ValuesOverTheLimitGoAsParameters) {
    const struct {
        Variant value;
        bool longBinary;
        bool parameter;
    } cases[] = {
        {Variant(QString(4000, QLatin1Char('x'))), false, false},
        {Variant(QString(4001, QLatin1Char('x'))), false, true},
        {Variant(QString(2000, QChar(0xe4))), false, false},  // 4,000 bytes of UTF-8
        {Variant(QString(2001, QChar(0xe4))), false, true},
        {Variant::binary(QByteArray(2000, '\x01')), true, false},
        {Variant::binary(QByteArray(2001, '\x01')), true, true},
        {Variant::binary(QByteArray(2001, '\x01')), false, true},  // hex text of 4,002 characters
    };
    for (const auto& c : cases) {
        InsertStatement insert("T", &oracleDialect());
        insert.addValue(Variant("1"));
        insert.addValue(c.value, c.longBinary ? ColumnKind::Bytes : ColumnKind::Text);
        insert.addValue(Variant("it's"));
        insert.finish();
        const QByteArray literal = c.longBinary ? "HEXTORAW('" + c.value.bytes().toHex().toUpper() + "')"
                                                : "'" + c.value.toUtf8() + "'";
        EXPECT_EQ(insert.utf8(), "INSERT INTO \"T\" VALUES('1', " + literal + ", 'it''s')");
        const std::vector<BoundValue> parameters = insert.parameters();
        ASSERT_EQ(parameters.size(), c.parameter ? 1u : 0u);
        if (!c.parameter) {
            EXPECT_EQ(insert.sentUtf8(), insert.utf8());
            continue;
        }
        EXPECT_EQ(insert.sentUtf8(), "INSERT INTO \"T\" VALUES('1', ?, 'it''s')");
        EXPECT_EQ(parameters[0].kind, c.longBinary ? BoundValue::Kind::Bytes : BoundValue::Kind::Text);
        EXPECT_EQ(parameters[0].data, c.longBinary ? c.value.bytes() : c.value.toUtf8());
    }
    // Other products' literals have no such limit.
    InsertStatement postgres("T", &postgresDialect());
    postgres.addValue(Variant(QString(100000, QLatin1Char('x'))));
    postgres.finish();
    EXPECT_TRUE(postgres.parameters().empty());
}

// A column whose values the usual driver would change is read through the product's own
// rendering under its own name; a table with none is read as SELECT * reads it. A marked value
// is what it is: bytes, or text with every character.
TEST(RenderedRead, ReadsOnlyWhatTheDriverWouldChangeAndUnmarksItsValues) {
    const auto column = [](const char* name, SQLSMALLINT type, const char* typeName) {
        ColumnShape shape;
        shape.name = name;
        shape.sqlType = type;
        shape.typeName = typeName;
        return shape;
    };
    const TableShape pg{{column("id", SQL_INTEGER, "int4"), column("d", SQL_TYPE_DATE, "date"),
                         column("m", SQL_DOUBLE, "money")},
                        {}};
    EXPECT_EQ(renderedRead(postgresDialect(), "T", pg).statement,
              "SELECT \"id\", \"d\"::text AS \"d\", \"m\"::numeric::text AS \"m\" FROM \"T\"");
    EXPECT_EQ(renderedRead(mariaDbDialect(), "T",
                           {{column("id", SQL_INTEGER, "INT"), column("b", SQL_BIT, "BIT")}, {}})
                  .statement,
              "SELECT `id`, CAST(`b` AS UNSIGNED) AS `b` FROM `T`");
    const TableShape plain{{column("id", SQL_INTEGER, "int4")}, {}};
    EXPECT_EQ(renderedRead(postgresDialect(), "T", plain).statement, "SELECT * FROM \"T\"");
    const TableShape lite{{column("t", SQL_LONGVARCHAR, "TEXT"), column("b", SQL_LONGVARBINARY, "BLOB")}, {}};
    const RenderedRead read = renderedRead(sqliteDialect(), "T", lite);
    EXPECT_EQ(read.rendered, QList<bool>({true, false}));
    EXPECT_TRUE(read.statement.startsWith("SELECT CASE WHEN \"t\" < ''")) << read.statement.toStdString();
    EXPECT_TRUE(read.statement.endsWith(" AS \"t\", \"b\" FROM \"T\"")) << read.statement.toStdString();

    Variant nul;
    nul.setUtf8Text(QByteArray("a\0b", 3));
    const struct {
        Variant read;
        Variant value;
    } marks[] = {
        {"\x01"
         "bC3A9",
         Variant::binary("\xC3\xA9")},
        {"\x01"
         "t610062",
         nul},
        {"\x01"
         "t01",
         "\x01"},
        {"plain", "plain"},
        {Variant(), Variant()},
    };
    for (const auto& mark : marks)
        EXPECT_EQ(unmarked(mark.read), mark.value) << mark.read.toString().toStdString();
}
