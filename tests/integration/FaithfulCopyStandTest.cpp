// The faithful copy through the built program against the stand: a table of every column kind
// there and back, the target's catalogue read back, every value verified by its type; the
// plain copy of the same table keeps its three kinds of column; a key the target refuses costs
// only the rows that break it.
#include <sqlite3.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

// One column as the target's catalogue should describe it.
struct Described {
    const char* name;
    ColumnSort sort;
    qint64 size;  // -1: any
    int digits;   // -2: any
    bool nullable;
};

class FaithfulCopy : public test::CommandLineRig {
protected:
    // Copies the rig's table with --faithful --verify; every row arrives and matches.
    QJsonObject copyFaithfully(const QString& to, const QStringList& more = {}) {
        const test::ProgramRun copied = run(QStringList{"copy", "--to", to, "--faithful", "--verify",
                                                        "--json", "--overwrite", "yes", m_table} +
                                            more);
        EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
        return QJsonDocument::fromJson(copied.out.toUtf8()).object()["tables"].toArray().first().toObject();
    }

    static void expectShape(const TableShape& shape, const std::vector<Described>& columns,
                            const QStringList& key, const char* side) {
        ASSERT_EQ(shape.columns.size(), static_cast<qsizetype>(columns.size())) << side;
        for (size_t i = 0; i < columns.size(); ++i) {
            const ColumnShape& column = shape.columns[static_cast<qsizetype>(i)];
            const Described& wanted = columns[i];
            const std::string where =
                std::string(side) + " " + wanted.name + " (" + column.typeName.toStdString() + ")";
            EXPECT_EQ(column.name, wanted.name) << where;
            EXPECT_EQ(sortOf(column), wanted.sort) << where;
            if (wanted.size >= 0) {
                EXPECT_EQ(column.size, wanted.size) << where;
            }
            if (wanted.digits >= -1) {
                EXPECT_EQ(column.digits, wanted.digits) << where;
            }
            EXPECT_EQ(column.nullable, wanted.nullable) << where;
        }
        EXPECT_EQ(shape.primaryKey, key) << side;
    }

    // A value SQLite holds, as SQLite's own library writes it.
    QString sqliteValue(const QString& expression, const QString& where) {
        sqlite3* db = nullptr;
        QString value;
        const QByteArray path = qgetenv("TW_STAND") + "/sqlany.db";
        if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                       .arg(expression, quotedName(m_table), where)
                                       .toUtf8();
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW) {
                value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
            }
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return value;
    }
};

const char* const kEveryKind =
    "id INTEGER NOT NULL, dept VARCHAR(10) NOT NULL, pay NUMERIC(10,2) NOT NULL, big NUMERIC, "
    "name VARCHAR(70), note TEXT, ratio DOUBLE PRECISION, small REAL, flag BOOLEAN, born DATE, "
    "at TIMESTAMP(3), data BYTEA, PRIMARY KEY (dept, id)";

// The table of every kind as a catalogue should describe it after a faithful copy, its
// timestamp with these digits of a second's fraction (-2: any), its REAL column of this sort.
std::vector<Described> everyKind(int timestampDigits, ColumnSort small = ColumnSort::Real) {
    return {{"id", ColumnSort::Integer, -1, -2, false},
            {"dept", ColumnSort::VarChar, 10, -2, false},
            {"pay", ColumnSort::Decimal, 10, 2, false},
            {"big", ColumnSort::UnboundedDecimal, 0, -2, true},
            {"name", ColumnSort::VarChar, 70, -2, true},
            {"note", ColumnSort::LongText, -1, -2, true},
            {"ratio", ColumnSort::Double, -1, -2, true},
            {"small", small, -1, -2, true},
            {"flag", ColumnSort::Logical, -1, -2, true},
            {"born", ColumnSort::Date, -1, -2, true},
            {"at", ColumnSort::Timestamp, -1, timestampDigits, true},
            {"data", ColumnSort::LongBinary, -1, -2, true}};
}

}  // namespace

// The Oracle side's table goes to the SQL Anywhere side and comes back over itself: both
// catalogues describe the same table, and both copies verify value by value.
TEST_F(FaithfulCopy, ATableOfEveryKindKeepsItsShapeThereAndBack) {
    create(0, kEveryKind,
           {"1, 'sales', 12.50, 1234567890.12345, 'Bücher ''quoted''', repeat('long ', 2000), "
            "0.30000000000000004, 0.1, true, '2024-02-29', '2024-01-02 10:11:12.125', '\\x00ff10'",
            "2, 'sales', -0.01, -5, NULL, NULL, -1e300, 3.25e38, false, '1900-01-01', "
            "'1999-12-31 23:59:59.999', NULL",
            "1, 'dev', 0, NULL, '', '', 0, 0, NULL, NULL, NULL, '\\x'"});

    const QJsonObject there = copyFaithfully("sqlanywhere");
    EXPECT_EQ(there["rowsWritten"].toInt(), 3);
    EXPECT_TRUE(there["verification"].toObject()["matches"].toBool());
    EXPECT_FALSE(there.contains("plainTypeColumns"));
    // SQLite's REAL holds an 8-byte double, which is what it reads as.
    expectShape(m_sqlany->tableShape(m_table), everyKind(-2, ColumnSort::Double), {"dept", "id"},
                "SQL Anywhere side");
    // Floating point is written with every digit it needs; exact numbers keep their scale.
    // (SQLite's printf writes no more than 16 digits.)
    EXPECT_EQ(sqliteValue("ratio = 0.1 + 0.2", "id = 1 AND dept = 'sales'"), "1");
    EXPECT_EQ(sqliteValue("quote(data)", "id = 1 AND dept = 'sales'"), "X'00FF10'");

    const QJsonObject back = copyFaithfully("oracle");
    EXPECT_EQ(back["rowsWritten"].toInt(), 3);
    EXPECT_TRUE(back["verification"].toObject()["matches"].toBool());
    // SQLite's TIMESTAMP declares no digits of a second's fraction: six come back. Its REAL is
    // an 8-byte double, which comes back as one.
    expectShape(m_oracle->tableShape(m_table), everyKind(6, ColumnSort::Double), {"dept", "id"},
                "Oracle side");
    // The SQLite driver reads floating point to 15 digits, so 0.30000000000000004 comes back 0.3.
    const auto rows = m_oracle->openRecordset(
        QStringLiteral("SELECT pay, flag, at, small FROM %1 WHERE id = 2").arg(quotedName(m_table)));
    EXPECT_EQ(rows->field(0).value.toString(), "-0.01");
    EXPECT_EQ(rows->field(1).value.toString(), "0");
    EXPECT_EQ(rows->field(2).value.toString(), "1999-12-31 23:59:59.999");
    EXPECT_EQ(rows->field(3).value.toString(), "3.25e+38");
}

// With --plain the same table arrives as the plain copy makes it: numbers, text and
// binary, any column NULL, no key.
TEST_F(FaithfulCopy, ThePlainCopyOfTheSameTableKeepsItsThreeKindsOfColumn) {
    create(0, kEveryKind);
    const test::ProgramRun copied = run({"copy", "--to", "sqlanywhere", "--plain", m_table});
    ASSERT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    const TableShape shape = m_sqlany->tableShape(m_table);
    QStringList types;
    for (const ColumnShape& column : shape.columns) {
        types << column.typeName;
        EXPECT_TRUE(column.nullable) << column.name.toStdString();
    }
    EXPECT_EQ(types, QStringList({"NUMERIC", "TEXT", "NUMERIC", "NUMERIC", "TEXT", "TEXT", "TEXT", "TEXT",
                                  "TEXT", "TEXT", "TEXT", "OLEOBJECT"}));
    EXPECT_TRUE(shape.primaryKey.isEmpty());
}

// SQLite lets a key column hold NULL; PostgreSQL does not. Those rows are refused one by one with
// their numbers, the others arrive, and the key stands.
TEST_F(FaithfulCopy, RowsTheKeyRefusesAreReportedWithTheirNumbers) {
    create(1, "code VARCHAR(5) PRIMARY KEY, n INTEGER", {"NULL, 1", "'a', 2", "NULL, 3", "'b', 4"});
    for (const QString batch : {"1", "1000"}) {
        const test::ProgramRun copied = run({"copy", "--to", "oracle", "--faithful", "--overwrite", "yes",
                                             "--batch", batch, "--json", m_table});
        EXPECT_EQ(copied.exitCode, 1) << copied.err.toStdString();
        const QJsonObject summary = QJsonDocument::fromJson(copied.out.toUtf8()).object();
        const QJsonObject table = summary["tables"].toArray().first().toObject();
        EXPECT_EQ(table["rowsWritten"].toInt(), 2) << batch.toStdString();
        EXPECT_EQ(table["rowsFailed"].toInt(), 2) << batch.toStdString();
        QList<int> rows;
        for (const QJsonValue failure : summary["failures"].toArray())
            rows << failure.toObject()["row"].toInt();
        EXPECT_EQ(rows, QList<int>({1, 3})) << batch.toStdString();
        EXPECT_EQ(m_oracle->tableShape(m_table).primaryKey, QStringList{"code"});
    }
}

// SQLite's REAL is an 8-byte double: a faithful copy into PostgreSQL keeps every digit.
TEST_F(FaithfulCopy, SqliteRealArrivesAsADouble) {
    create(1, "r REAL", {"39.4285714285714"});
    const QJsonObject copied = copyFaithfully("oracle");
    EXPECT_TRUE(copied["verification"].toObject()["matches"].toBool());
    EXPECT_EQ(m_oracle->openRecordset(SelectAllSql(m_table))->field(0).value.toString(), "39.4285714285714");
}

// PostgreSQL's types that no ODBC type stands for arrive as text, each named with its source
// type.
TEST_F(FaithfulCopy, PostgresTypesWithoutAnOdbcTypeAreNamedAsCarriedAsText) {
    create(0, "iv interval, arr integer[], j jsonb, ip inet", {"'1 day', '{1,2}', '{\"a\": 1}', '10.0.0.1'"});
    const QJsonObject copied = copyFaithfully("sqlanywhere");
    EXPECT_EQ(copied["plainTypeColumns"].toArray().toVariantList(),
              QVariantList({"iv (interval as TEXT)", "arr (_int4 as TEXT)", "j (jsonb as TEXT)",
                            "ip (inet as TEXT)"}));
    EXPECT_TRUE(copied["verification"].toObject()["matches"].toBool());
}
