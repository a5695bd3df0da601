// The database layer against both real drivers of the stand: one set of test bodies, run once
// on the Oracle side (PostgreSQL) and once on the SQL Anywhere side (SQLite).
#include <gtest/gtest.h>

#include <QMap>
#include <functional>
#include <thread>

#include "db/AdoType.h"
#include "db/DbError.h"
#include "db/SqlText.h"
#include "db/TableShape.h"
#include "db/Transaction.h"
#include "db/odbc/OdbcConnection.h"
#include "db/postgres/CopyWriter.h"
#include "support/LoopbackRelay.h"
#include "support/StandDatabases.h"

using namespace tw;
using tw::test::StandDatabase;

namespace {

class OdbcLayer : public ::testing::TestWithParam<StandDatabase> {
protected:
    void SetUp() override { m_connection = test::openStand(GetParam()); }
    void TearDown() override {
        for (const QString& table : m_tables) test::dropQuietly(*m_connection, table);
    }

    // Creates a table that is dropped again after the test.
    QString createTable(const QString& stem, const QString& columns) {
        const QString table = test::uniqueTableName(stem);
        m_connection->execute(QStringLiteral("CREATE TABLE %1(%2)").arg(quotedName(table), columns));
        m_tables << table;
        return table;
    }

    bool isPostgres() const { return GetParam().isPostgres; }
    Connection& db() { return *m_connection; }

    std::unique_ptr<Connection> m_connection;
    QStringList m_tables;
};

QStringList schemaEntries(Connection& connection, const QString& type) {
    QStringList names;
    auto tables = connection.openSchema(kSchemaTables);
    for (; !tables->eof(); tables->moveNext()) {
        if (tables->field("TABLE_TYPE").value.toString() == type) {
            names << tables->field("TABLE_NAME").value.toString();
        }
    }
    return names;
}

}  // namespace

TEST_P(OdbcLayer, NonAsciiNamesAndValuesSurviveExactly) {
    const QString table =
        createTable(QStringLiteral("Bücher 😀"), QStringLiteral("\"Název ✓\" varchar(200), \"note\" text"));
    const QStringList values = {QStringLiteral("Grüße — 😀 ok"), QStringLiteral("ключ, 中文, ﷺ"),
                                QStringLiteral("line one\r\nline two\ttab"),
                                QStringLiteral("it's \"quoted\"")};
    for (const QString& value : values) {
        QString literal = value;
        literal.replace(QLatin1Char('\''), QStringLiteral("''"));
        db().execute(QStringLiteral("INSERT INTO \"%1\" VALUES('%2', 'x')").arg(table, literal));
    }

    auto rows = db().openRecordset(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    EXPECT_EQ(rows->field(0).name, QStringLiteral("Název ✓"));
    QStringList read;
    for (; !rows->eof(); rows->moveNext()) read << rows->field(QStringLiteral("NÁZEV ✓")).value.toString();
    EXPECT_EQ(read, values);
    EXPECT_TRUE(schemaEntries(db(), QStringLiteral("TABLE")).contains(table));
}

TEST_P(OdbcLayer, NullAndEmptyTextStayApart) {
    const QString table = createTable(QStringLiteral("nulls"), QStringLiteral("a text, b text, c text"));
    db().execute(QStringLiteral("INSERT INTO \"%1\" VALUES(NULL, '', ' ')").arg(table));
    auto row = db().openRecordset(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    EXPECT_TRUE(row->field(0).value.isNull());
    EXPECT_FALSE(row->field(1).value.isNull());
    EXPECT_EQ(row->field(1).value.toString(), QString());
    EXPECT_EQ(row->field(2).value.toString(), QStringLiteral(" "));
}

TEST_P(OdbcLayer, ReportsTheTypeCodesOfCommonColumnTypes) {
    const QString table = createTable(
        QStringLiteral("types"),
        QStringLiteral("i integer, b bigint, s smallint, n numeric(12,2), v varchar(20), c char(3), "
                       "t text, d date, ts timestamp, bin %1, bo boolean, f double precision, r real")
            .arg(isPostgres() ? "bytea" : "blob"));
    auto rows = db().openRecordset(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    QMap<QString, int> types;
    for (int i = 0; i < rows->fieldCount(); ++i) types[rows->field(i).name] = rows->field(i).type;

    // What each driver reports: SQLite makes numeric and real DOUBLE, char VARCHAR, boolean
    // BIT and blob BINARY; psqlODBC makes boolean text and bytea long binary.
    const QMap<QString, int> expected =
        isPostgres()
            ? QMap<QString, int>{{"i", AdoType::Integer},      {"b", AdoType::BigInt},
                                 {"s", AdoType::SmallInt},     {"n", AdoType::Numeric},
                                 {"v", AdoType::VarChar},      {"c", AdoType::Char},
                                 {"t", AdoType::LongVarChar},  {"d", AdoType::DBDate},
                                 {"ts", AdoType::DBTimeStamp}, {"bin", AdoType::LongVarBinary},
                                 {"bo", AdoType::VarChar},     {"f", AdoType::Double},
                                 {"r", AdoType::Single}}
            : QMap<QString, int>{
                  {"i", AdoType::Integer},     {"b", AdoType::BigInt},   {"s", AdoType::SmallInt},
                  {"n", AdoType::Double},      {"v", AdoType::VarChar},  {"c", AdoType::VarChar},
                  {"t", AdoType::LongVarChar}, {"d", AdoType::DBDate},   {"ts", AdoType::DBTimeStamp},
                  {"bin", AdoType::Binary},    {"bo", AdoType::Boolean}, {"f", AdoType::Double},
                  {"r", AdoType::Double}};
    EXPECT_EQ(types, expected);
}

TEST_P(OdbcLayer, ValuesComeAsExactLocaleFreeText) {
    const QString table = createTable(
        QStringLiteral("values"), QStringLiteral("i bigint, n numeric(20,6), d date, ts timestamp, bin %1")
                                      .arg(isPostgres() ? "bytea" : "blob"));
    const QString binary = isPostgres() ? QStringLiteral("'\\x00ff7f10'") : QStringLiteral("x'00ff7f10'");
    db().execute(QStringLiteral("INSERT INTO \"%1\" VALUES(-9223372036854775807, -12345678901234.5, "
                                "'2024-03-01', '2024-03-01 13:45:00.123456', %2)")
                     .arg(table, binary));
    auto row = db().openRecordset(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    EXPECT_EQ(row->field(0).value.toString(), QStringLiteral("-9223372036854775807"));
    EXPECT_TRUE(row->field(1).value.toString().startsWith(QStringLiteral("-12345678901234.5")))
        << row->field(1).value.toString().toStdString();
    EXPECT_EQ(row->field(2).value.toString(), QStringLiteral("2024-03-01"));
    EXPECT_EQ(row->field(3).value.toString(), QStringLiteral("2024-03-01 13:45:00.123456"));
    EXPECT_TRUE(row->field(4).value.isBinary());
    EXPECT_EQ(row->field(4).value.toString(), QStringLiteral("00FF7F10"));
}

TEST_P(OdbcLayer, LongValuesAreReadWhole) {
    const QString table = createTable(QStringLiteral("long"), QStringLiteral("t text"));
    // Longer than one read chunk, with multi-byte characters straddling the chunk edges.
    QString text;
    while (text.size() < 150000) text += QStringLiteral("ab€😀");
    db().execute(QStringLiteral("INSERT INTO \"%1\" VALUES('%2')").arg(table, text));
    auto row = db().openRecordset(QStringLiteral("SELECT t FROM \"%1\"").arg(table));
    EXPECT_EQ(row->field(0).value.toString().size(), text.size());
    EXPECT_TRUE(row->field(0).value.toString() == text);
}

// Values too long for a literal go as parameters: text in UTF-8 and bytes arrive exactly.
TEST_P(OdbcLayer, ParametersCarryLongTextAndBytesExactly) {
    const QString table =
        createTable(QStringLiteral("params"), isPostgres() ? "t text, b bytea" : "t text, b blob");
    QString text;
    while (text.size() < 9000) text += QStringLiteral("ab€😀'");
    QByteArray bytes;
    for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i % 256);
    db().executeWithParameters(QStringLiteral("INSERT INTO %1 VALUES(?, ?)").arg(quotedName(table)).toUtf8(),
                               {{BoundValue::Kind::Text, text.toUtf8()}, {BoundValue::Kind::Bytes, bytes}});
    db().executeWithParameters(
        QStringLiteral("INSERT INTO %1 VALUES('x', ?)").arg(quotedName(table)).toUtf8(), {{}});
    auto rows = db().openRecordset(QStringLiteral("SELECT t, b FROM %1 ORDER BY t").arg(quotedName(table)));
    EXPECT_TRUE(rows->field(0).value.toString() == text);
    EXPECT_EQ(rows->field(1).value.bytes().toHex(), bytes.toHex());
    rows->moveNext();
    EXPECT_TRUE(rows->field(1).value.isNull());
}

// A transaction let go without a commit leaves nothing of its work, and the connection commits
// each statement again afterwards, as another connection sees.
TEST_P(OdbcLayer, ATransactionNotCommittedIsUndoneAndAutoCommitComesBack) {
    const QString table = createTable("tx", "n integer");
    const auto count = [&] {
        return test::openStand(GetParam())
            ->openRecordset("SELECT * FROM " + quotedName(table))
            ->recordCount();
    };
    {
        Transaction undone(db());
        db().execute(QStringLiteral("INSERT INTO %1 VALUES(1)").arg(quotedName(table)));
    }
    {
        Transaction kept(db());
        db().execute(QStringLiteral("INSERT INTO %1 VALUES(2)").arg(quotedName(table)));
        kept.commit();
    }
    db().execute(QStringLiteral("INSERT INTO %1 VALUES(3)").arg(quotedName(table)));
    EXPECT_EQ(count(), 2);
}

TEST_P(OdbcLayer, RecordCountIsKnownBeforeTheFirstRow) {
    const QString table = createTable(QStringLiteral("count"), QStringLiteral("n integer"));
    auto empty = db().openRecordset(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    EXPECT_TRUE(empty->eof());
    EXPECT_EQ(empty->recordCount(), 0);
    EXPECT_THROW(empty->moveNext(), DbError);

    for (int n = 1; n <= 3; ++n)
        db().execute(QStringLiteral("INSERT INTO \"%1\" VALUES(%2)").arg(table).arg(n));
    auto rows = db().openRecordset(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    EXPECT_EQ(rows->recordCount(), 3);
    int seen = 0;
    for (; !rows->eof(); rows->moveNext()) ++seen;
    EXPECT_EQ(seen, 3);
}

TEST_P(OdbcLayer, RejectedStatementsCarryTheDriversMessage) {
    try {
        db().execute(QStringLiteral("SELECT * FROM \"no_such_table_here\""));
        FAIL() << "the statement should have been rejected";
    } catch (const DbError& error) {
        const QString message = QString::fromUtf8(error.what());
        EXPECT_TRUE(message.contains(QStringLiteral("no_such_table_here"))) << error.what();
        EXPECT_FALSE(error.sqlState().isEmpty());
        EXPECT_TRUE(message.startsWith(QLatin1Char('[') + error.sqlState() + QLatin1Char(']')));
    }
    EXPECT_THROW(db().openRecordset(QStringLiteral("SELEKT 1")), DbError);
    // The connection is still usable afterwards.
    EXPECT_NO_THROW(createTable(QStringLiteral("after"), QStringLiteral("n integer")));
}

TEST_P(OdbcLayer, TablesSchemaTypesBaseTablesExactlyTable) {
    const QString table = createTable(QStringLiteral("base"), QStringLiteral("n integer"));
    const QString view = test::uniqueTableName(QStringLiteral("view"));
    db().execute(QStringLiteral("CREATE VIEW \"%1\" AS SELECT * FROM \"%2\"").arg(view, table));
    const QStringList tables = schemaEntries(db(), QStringLiteral("TABLE"));
    const QStringList views = schemaEntries(db(), QStringLiteral("VIEW"));
    db().execute(QStringLiteral("DROP VIEW \"%1\"").arg(view));
    EXPECT_TRUE(tables.contains(table));
    EXPECT_FALSE(tables.contains(view));
    EXPECT_TRUE(views.contains(view));
}

TEST_P(OdbcLayer, ClosingTheConnectionClosesItsRecordsets) {
    const QString table = createTable(QStringLiteral("close"), QStringLiteral("n integer"));
    db().execute(QStringLiteral("INSERT INTO \"%1\" VALUES(1)").arg(table));
    auto rows = db().openRecordset(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    auto other = test::openStand(GetParam());
    other->close();
    EXPECT_THROW(other->execute(QStringLiteral("SELECT 1")), DbError);
    // Closing what is not open fails, as it does before the first open.
    EXPECT_THROW(other->close(), DbError);
    EXPECT_THROW(odbc::OdbcConnection().close(), DbError);

    m_connection->close();
    EXPECT_THROW(rows->moveNext(), DbError);
    rows.reset();  // released after its connection: nothing left to free twice
    m_connection = test::openStand(GetParam());
}

// What the shape says of one column; kAny where the figure is the driver's own choice.
constexpr int kAny = -99;
struct ExpectedColumn {
    const char* name;
    ColumnSort sort;
    qint64 size = kAny;
    int digits = kAny;
    bool nullable = true;
};

// The catalogue's types, lengths and nullability, in the order SELECT * gives the columns, and
// the key in its own order. A table whose name the first one's matches as a pattern must not
// mix in, and the table is found in the schema the query reached.
TEST_P(OdbcLayer, TableShapeTellsTypesLengthsNullabilityAndKeyOrder) {
    const QString columns =
        isPostgres() ? QStringLiteral(
                           "id INTEGER NOT NULL, amount NUMERIC(10,2), any_amount NUMERIC, label VARCHAR(70),"
                           " free_label VARCHAR, note TEXT, ratio REAL, exact DOUBLE PRECISION, flag BOOLEAN,"
                           " day DATE, moment TIMESTAMP(3), data BYTEA, PRIMARY KEY (label, id)")
                     : QStringLiteral(
                           "id INTEGER NOT NULL, amount NUMERIC(10,2), any_amount NUMERIC, label VARCHAR(70),"
                           " note TEXT, exact DOUBLE, flag BOOLEAN, day DATE, moment TIMESTAMP, data BLOB,"
                           " code VARBINARY(16), PRIMARY KEY (label, id)");
    const QString table = createTable(QStringLiteral("shape_t"), columns);
    QString lookalike = table;
    lookalike[5] = QLatin1Char('X');  // shapeXt_…
    db().execute(
        QStringLiteral("CREATE TABLE %1(id INTEGER PRIMARY KEY, other TEXT)").arg(quotedName(lookalike)));
    m_tables << lookalike;
    // A schema first on the search path that lacks the table: SELECT reaches the next one's.
    const QString schema = QStringLiteral("a_%1").arg(table);
    if (isPostgres()) {
        db().execute(QStringLiteral("CREATE SCHEMA %1").arg(quotedName(schema)));
        db().execute(QStringLiteral("SET search_path = %1, public").arg(quotedName(schema)));
    }
    const TableShape shape = db().tableShape(table);
    if (isPostgres()) {
        db().execute(QStringLiteral("RESET search_path"));
        db().execute(QStringLiteral("DROP SCHEMA %1").arg(quotedName(schema)));
    }

    const QList<ExpectedColumn> expected =
        isPostgres() ? QList<ExpectedColumn>{{"id", ColumnSort::Integer, kAny, kAny, false},
                                             {"amount", ColumnSort::Decimal, 10, 2},
                                             {"any_amount", ColumnSort::UnboundedDecimal, 0, -1},
                                             {"label", ColumnSort::VarChar, 70, kAny, false},
                                             {"free_label", ColumnSort::LongText, 0},
                                             {"note", ColumnSort::LongText},
                                             {"ratio", ColumnSort::Real},
                                             {"exact", ColumnSort::Double},
                                             {"flag", ColumnSort::Logical},
                                             {"day", ColumnSort::Date},
                                             {"moment", ColumnSort::Timestamp, kAny, 3},
                                             {"data", ColumnSort::LongBinary}}
                     : QList<ExpectedColumn>{{"id", ColumnSort::Integer, kAny, kAny, false},
                                             {"amount", ColumnSort::Decimal, 10, 2},
                                             {"any_amount", ColumnSort::UnboundedDecimal, 0, -1},
                                             {"label", ColumnSort::VarChar, 70},
                                             {"note", ColumnSort::LongText},
                                             {"exact", ColumnSort::Double},
                                             {"flag", ColumnSort::Logical},
                                             {"day", ColumnSort::Date},
                                             {"moment", ColumnSort::Timestamp},
                                             {"data", ColumnSort::LongBinary},
                                             {"code", ColumnSort::VarBinary, 16}};
    ASSERT_EQ(shape.columns.size(), expected.size());
    for (qsizetype at = 0; at < expected.size(); ++at) {
        const ColumnShape& column = shape.columns[at];
        const ExpectedColumn& wanted = expected[at];
        SCOPED_TRACE(wanted.name);
        EXPECT_EQ(column.name, QLatin1String(wanted.name));
        EXPECT_EQ(sortOf(column), wanted.sort) << column.typeName.toStdString();
        if (wanted.size != kAny) {
            EXPECT_EQ(column.size, wanted.size);
        }
        if (wanted.digits != kAny) {
            EXPECT_EQ(column.digits, wanted.digits);
        }
        EXPECT_EQ(column.nullable, wanted.nullable);
    }
    EXPECT_EQ(shape.primaryKey, QStringList({"label", "id"}));
    EXPECT_THROW(db().tableShape(QStringLiteral("no_such_table_here")), DbError);
}

// Floating point comes as the number's own shortest digits, not the driver's text of it (both
// write 1e-05); bytes as bytes where the driver calls the column text; other columns as ever.
TEST_P(OdbcLayer, RecordsetsReadFloatsAsNumbersAndBytesAsBytes) {
    const QString table =
        createTable(QStringLiteral("kinds"),
                    isPostgres() ? "f DOUBLE PRECISION, b BYTEA, t TEXT" : "f DOUBLE, b BINARY(4), t TEXT");
    db().execute(QStringLiteral("INSERT INTO %1 VALUES(0.30000000000000004, %2, '0.5')")
                     .arg(quotedName(table), isPostgres() ? "'\\x01020304'" : "X'01020304'"));
    db().execute(QStringLiteral("INSERT INTO %1 VALUES(0.00001, NULL, 'x')").arg(quotedName(table)));
    db().execute(QStringLiteral("INSERT INTO %1 VALUES(NULL, NULL, NULL)").arg(quotedName(table)));
    auto rows = db().openRecordsetAs(
        QStringLiteral("SELECT f, b, t FROM %1 ORDER BY f NULLS FIRST").arg(quotedName(table)),
        {ColumnKind::Float, ColumnKind::Bytes});
    std::vector<std::string> read;
    for (; !rows->eof(); rows->moveNext()) {
        QStringList row;
        for (int column = 0; column < 3; ++column) {
            const Variant& value = rows->field(column).value;
            row << (value.isNull()     ? QStringLiteral("NULL")
                    : value.isBinary() ? QStringLiteral("bytes ") + value.toString()
                                       : value.toString());
        }
        read.push_back(row.join(QLatin1String(" | ")).toStdString());
    }
    // SQLite's driver keeps 15 significant digits of a double, whatever it is read as.
    const std::vector<std::string> expected = {
        "NULL | NULL | NULL", "0.00001 | NULL | x",
        isPostgres() ? "0.30000000000000004 | bytes 01020304 | 0.5" : "0.3 | bytes 01020304 | 0.5"};
    EXPECT_EQ(read, expected);
}

INSTANTIATE_TEST_SUITE_P(Stand, OdbcLayer, ::testing::ValuesIn(test::standDatabases()),
                         [](const auto& param) { return std::string(param.param.label); });

TEST_P(OdbcLayer, RowsReadInBlocksComeWholeInOrderAndUncut) {
    // More rows than a block; values longer than the size the driver declares for their column
    // (an unconstrained numeric, a text SQLite calls VARCHAR(255)); NULLs; a long column among
    // the bound ones. Each value is read back beside its own text, which always travels whole.
    const QString query =
        isPostgres()
            ? QStringLiteral(
                  "SELECT g, (10::numeric ^ (g % 70)) + g / 7.0 AS n, ((10::numeric ^ (g % 70)) + g / "
                  "7.0)::text,"
                  " CASE WHEN g % 9 = 0 THEN NULL ELSE repeat('é😀', g)::varchar(1000) END,"
                  " repeat('é😀', g), repeat('x', g * 10) FROM generate_series(1, 300) g")
            : QStringLiteral(
                  "WITH RECURSIVE s(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM s WHERE g < 300)"
                  " SELECT g, g * 1000000007, CAST(g * 1000000007 AS TEXT),"
                  " CASE WHEN g % 9 = 0 THEN NULL ELSE replace(hex(zeroblob(g)), '00', 'é😀') END,"
                  " replace(hex(zeroblob(g)), '00', 'é😀'), replace(hex(zeroblob(g * 10)), '0', 'x') FROM s");
    auto rows = db().openRecordset(query);
    int expected = 1;
    for (; !rows->eof(); rows->moveNext(), ++expected) {
        ASSERT_EQ(rows->field(0).value.toString(), QString::number(expected));
        EXPECT_EQ(rows->field(1).value.toString(), rows->field(2).value.toString()) << expected;
        if (expected % 9 == 0) {
            EXPECT_TRUE(rows->field(3).value.isNull());
        } else {
            EXPECT_EQ(rows->field(3).value.toString(), rows->field(4).value.toString()) << expected;
        }
        EXPECT_EQ(rows->field(5).value.toString().size(), expected * (isPostgres() ? 10 : 20));
    }
    EXPECT_EQ(expected, 301);
}

// A batch is written whole or not at all: after one the database refused, the batches before it
// stay and the writer goes on. Into PostgreSQL batches go through COPY on a connection of the
// writer's own, which reads a value as the program's session would (its time zone here).
TEST_P(OdbcLayer, ABatchIsWrittenWholeOrNotAtAll) {
    const QString table =
        createTable("batch", "n integer NOT NULL, t varchar(20), at timestamp with time zone, b bytea");
    if (isPostgres()) db().execute("SET TIME ZONE 'Asia/Tokyo'");
    std::unique_ptr<BatchWriter> writer = db().batchWriter(table, {false, false, false, true});
    ASSERT_TRUE(writer);
    EXPECT_EQ(dynamic_cast<postgres::CopyWriter*>(writer.get()) != nullptr, isPostgres());
    if (isPostgres()) {
        // A data source reached by its name alone says its way to the database in its entries.
        odbc::OdbcConnection byName;
        byName.open(test::standDataSource("tw_pg"));
        EXPECT_TRUE(dynamic_cast<postgres::CopyWriter*>(
            byName.batchWriter(table, {false, false, false, true}).get()));
    }
    const auto text = [](const char* value) { return BoundValue{BoundValue::Kind::Text, value}; };
    // Bytes of two lengths in one batch: a driver may read a whole array with the first's.
    writer->add({text("1"), text("a\tb\\c\nd"), text("2020-01-01 09:00:00"),
                 BoundValue{BoundValue::Kind::Bytes, QByteArray("\x00\xff", 2)}});
    writer->add(
        {text("2"), BoundValue{}, BoundValue{}, BoundValue{BoundValue::Kind::Bytes, "\x01\x02\x03\x04"}});
    writer->flush();
    writer->add({text("3"), text("kept back"), BoundValue{}, BoundValue{}});
    writer->add({BoundValue{}, text("refused"), BoundValue{}, BoundValue{}});
    EXPECT_THROW(writer->flush(), DbError);
    writer->add({text("5"), text("after"), BoundValue{}, BoundValue{}});
    writer->flush();
    writer.reset();

    auto rows =
        db().openRecordset(QStringLiteral("SELECT n, t, %2 FROM %1 ORDER BY n")
                               .arg(quotedName(table), isPostgres() ? "upper(encode(b, 'hex'))" : "hex(b)"));
    QStringList read;
    for (; !rows->eof(); rows->moveNext()) {
        read << rows->field(0).value.toString() + "=" + rows->field(1).value.toString() + " " +
                    rows->field(2).value.toString();
    }
    EXPECT_EQ(read, QStringList({"1=a\tb\\c\nd 00FF", "2= 01020304", "5=after "}));
    if (isPostgres()) {
        // 09:00 in Tokyo is midnight UTC.
        EXPECT_EQ(
            db().openRecordset(QStringLiteral("SELECT extract(epoch FROM at)::bigint FROM %1 WHERE n = 1")
                                   .arg(quotedName(table)))
                ->field(0)
                .value.toString(),
            "1577836800");
    }
}

// The sockets a connection is noted to talk through are its own: a COPY connection made while
// another connection is being made is not that one's, so the other's time-out does not shut it.
TEST(FrozenServer, AnotherConnectionsTimeOutLeavesACopyAlone) {
    const QByteArray standPort = qgetenv("PGPORT");
    const struct PortBack {
        QByteArray port;
        ~PortBack() { qputenv("PGPORT", port); }
    } portBack{standPort};
    const QString table = test::uniqueTableName("copyalone");
    odbc::OdbcConnection healthy;
    healthy.open(test::standDataSource("tw_pg"));  // its entries name the port: no relay on its way
    healthy.execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
    const struct Dropped {
        Connection& database;
        QString table;
        ~Dropped() { test::dropQuietly(database, table); }
    } dropped{healthy, table};
    const auto relay = test::LoopbackRelay::forwardingTo(standPort.toInt());
    relay->freeze();  // the next connection waits for its server meanwhile
    qputenv("PGPORT", QByteArray::number(relay->port()));
    odbc::OdbcConnection freezing(ConnectionTimeouts{15, 2, 2});
    std::thread connecting([&] { freezing.open(test::standOracle()); });
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::unique_ptr<BatchWriter> writer;
    std::thread copying([&] { writer = healthy.batchWriter(table, {false}); });
    std::this_thread::sleep_for(std::chrono::seconds(1));
    relay->thaw();
    connecting.join();
    copying.join();
    ASSERT_TRUE(dynamic_cast<postgres::CopyWriter*>(writer.get()));
    writer->add({BoundValue{BoundValue::Kind::Text, "1"}});
    relay->freeze();
    EXPECT_THROW(freezing.execute("SELECT 1"), DbError);
    EXPECT_NO_THROW(writer->flush());
    writer.reset();
    EXPECT_EQ(healthy.openRecordset("SELECT COUNT(*) FROM " + quotedName(table))->field(0).value.toString(),
              "1");
}

// A server that no longer answers at all (its process stopped; here a relay that stops passing
// bytes, the network still answering for it) holds no call for ever: a statement that changes
// the database, a read, the catalogue's lists, a table's shape and a COPY each end once the
// program's time-out has passed, as on a lost connection. Short time-outs here; only that each ends and says
// so is asserted.
TEST(FrozenServer, EachCallEndsAsOnALostConnection) {
    const QByteArray standPort = qgetenv("PGPORT");
    const struct PortBack {
        QByteArray port;
        ~PortBack() { qputenv("PGPORT", port); }
    } portBack{standPort};
    const ConnectionTimeouts timeouts{15, 2, 2};
    const QString table = test::uniqueTableName("frozen");
    odbc::OdbcConnection direct;
    direct.open(test::standOracle());
    direct.execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
    const struct Dropped {
        Connection& database;
        QString table;
        ~Dropped() { test::dropQuietly(database, table); }
    } dropped{direct, table};
    const auto endsLost = [](const std::function<void()>& call, const char* what) {
        try {
            call();
            ADD_FAILURE() << what << " ended without a failure";
        } catch (const DbError& failure) {
            EXPECT_TRUE(failure.connectionLost()) << what << ": " << failure.what();
            EXPECT_TRUE(QString::fromUtf8(failure.what()).contains("2 seconds"))
                << what << ": " << failure.what();
        }
    };
    for (const char* what : {"execute", "read", "tables", "shape", "copy"}) {
        SCOPED_TRACE(what);
        const auto relay = test::LoopbackRelay::forwardingTo(standPort.toInt());
        qputenv("PGPORT", QByteArray::number(relay->port()));
        odbc::OdbcConnection frozen(timeouts);
        frozen.open(test::standOracle());
        std::unique_ptr<BatchWriter> writer;
        if (QByteArray(what) == "copy") {
            writer = frozen.batchWriter(table, {false});
            ASSERT_TRUE(dynamic_cast<postgres::CopyWriter*>(writer.get()));
            writer->add({BoundValue{BoundValue::Kind::Text, "1"}});
        }
        relay->freeze();
        if (QByteArray(what) == "execute") {
            endsLost(
                [&] { frozen.execute(QStringLiteral("INSERT INTO %1 VALUES (1)").arg(quotedName(table))); },
                what);
        } else if (QByteArray(what) == "read") {
            endsLost([&] { frozen.openRecordset("SELECT * FROM " + quotedName(table)); }, what);
        } else if (QByteArray(what) == "tables") {
            endsLost([&] { frozen.openSchema(kSchemaTables); }, what);
        } else if (QByteArray(what) == "shape") {
            endsLost([&] { frozen.tableShape(table); }, what);
        } else {
            endsLost([&] { writer->flush(); }, what);
        }
        writer.reset();
    }
}
