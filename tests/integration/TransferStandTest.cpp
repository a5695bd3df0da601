// Both transfers against the stand's real databases, compared value by value.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include "db/AdoType.h"
#include "db/SqlText.h"
#include "db/StagingName.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/SettingsStore.h"
#include "support/Observed.h"
#include "support/ScriptedDialogs.h"
#include "support/StandDatabases.h"
#include "support/StandWindows.h"
#include "transfer/CopyStatements.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/ProgressBar.h"
#include "ui/TableListBox.h"
#include "ui/TextBox.h"

using namespace tw;

using tw::test::errorLines;
using tw::test::items;

namespace {

struct Column {
    QString name;
    int type;
    QStringList values;  // text forms, row by row; a null reads as the empty text
    QList<bool> nulls;
};

// Every column of a table, read through the program's own access layer.
QList<Column> readTable(Connection& db, const QString& table) {
    auto rows = db.openRecordset(QStringLiteral("SELECT * FROM %1").arg(quotedName(table)));
    QList<Column> columns;
    for (int i = 0; i < rows->fieldCount(); ++i)
        columns.append({rows->field(i).name, rows->field(i).type, {}, {}});
    for (; !rows->eof(); rows->moveNext()) {
        for (int i = 0; i < rows->fieldCount(); ++i) {
            columns[i].values << rows->field(i).value.toString();
            columns[i].nulls << rows->field(i).value.isNull();
        }
    }
    return columns;
}

class TransferOnTheStand : public ::testing::Test, protected test::StandWindows {
protected:
    void TearDown() override {
        for (const QString& table : m_oracleTables) test::dropQuietly(*oracleDb, table);
        for (const QString& table : m_sqlanyTables) test::dropQuietly(*sqlanyDb, table);
    }

    QString oracleTable(const QString& stem) {
        return m_oracleTables.emplace_back(test::uniqueTableName(stem));
    }
    QString sqlanyTable(const QString& stem) {
        return m_sqlanyTables.emplace_back(test::uniqueTableName(stem));
    }

    // Lists the table as the only item of the list, current and selected.
    // SQLite's driver keeps showing a connection the columns a table had when that connection
    // last looked, even after another connection replaced the table; the program never keeps a
    // connection that long, and neither do these checks.
    static std::unique_ptr<Connection> freshSqlAnywhere() {
        return test::openStand(test::standDatabases()[1]);
    }

    static void offer(TableListBox& list, const QString& table) {
        list.addItem(table);
        list.setCurrentIndex(0);
        for (int i = 0; i < list.count(); ++i) list.setSelected(i, list.text(i) == table);
    }

    QStringList m_oracleTables;
    QStringList m_sqlanyTables;
};

// The checks of what arrives run both row by row, each row its own INSERT (BatchRows=0), and batched by
// the settings key, two rows to a batch so that every table spans batches.
class TransferEitherWay : public TransferOnTheStand, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows,
                      GetParam() > 1 ? QString::number(GetParam()) : QStringLiteral("0"));
    }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Copy, TransferEitherWay, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return param.param == 1 ? std::string("RowByRow") : std::string("Batched");
                         });

TEST_P(TransferEitherWay, OracleTableArrivesInSqlAnywhereValueByValue) {
    const QString table = oracleTable("Mixed Types");
    m_sqlanyTables << table;
    oracleDb->execute(
        QStringLiteral("CREATE TABLE %1(i integer, n numeric(15,5), t text, vc varchar(100), d date, "
                       "ts timestamp, e text, z text)")
            .arg(quotedName(table)));
    const QString insert = QStringLiteral("INSERT INTO %1 VALUES").arg(quotedName(table));
    oracleDb->execute(insert +
                      "(1, 1234567890.12345, 'O''Brien \"quoted\"', E'line1\\r\\nline2', "
                      "'2024-03-01', '2024-03-01 13:45:00.123456', '', NULL)");
    oracleDb->execute(insert +
                      "(-42, -0.00001, 'Grüße 😀 ключ', ' ', '1999-12-31', "
                      "'2000-01-01 00:00:00.000001', NULL, 'x')");
    // Values longer than the first read of a value, in characters of one to four bytes.
    oracleDb->execute(insert + "(7, 0, repeat('ü😀''', 3000), 'v', NULL, NULL, repeat('z', 300), '')");
    offer(*tables.List2, table);
    tables.PushButton4_Click();

    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.value(0).text.toStdString();
    EXPECT_EQ(items(*tables.List1), QStringList({table}));
    const QList<Column> source = readTable(*oracleDb, table);
    const QList<Column> target = readTable(*freshSqlAnywhere(), table);
    ASSERT_EQ(target.size(), source.size());
    for (int c = 0; c < source.size(); ++c) {
        EXPECT_EQ(target[c].name, source[c].name);
        ASSERT_EQ(target[c].values.size(), 3);
        for (int r = 0; r < 3; ++r) {
            const QString& want = source[c].values[r];
            const QString& got = target[c].values[r];
            if (source[c].type == AdoType::Integer || source[c].type == AdoType::Numeric) {
                // A NUMERIC column keeps the number, not its spelling (10.50 reads as 10.5).
                EXPECT_EQ(got.toDouble(), want.toDouble()) << source[c].name.toStdString();
            } else {
                EXPECT_EQ(got, want) << source[c].name.toStdString();
            }
            // Null and the empty text both travel as NULL.
            EXPECT_EQ(target[c].nulls[r], source[c].values[r].isEmpty());
        }
    }
    // Whole and exact numbers became numbers, everything else text.
    EXPECT_EQ(target[0].type, AdoType::Double);  // SQLite reports NUMERIC columns as DOUBLE
    EXPECT_EQ(target[2].type, AdoType::LongVarChar);
    EXPECT_EQ(target[5].type, AdoType::LongVarChar);
}

TEST_P(TransferEitherWay, SqlAnywhereTableArrivesInOracleValueByValue) {
    const QString table = sqlanyTable("Mixed Types");
    m_oracleTables << table;
    sqlanyDb->execute(
        QStringLiteral("CREATE TABLE %1(i integer, n numeric(12,2), r real, t text, d date, ts timestamp, "
                       "b blob, bo boolean, e text, z text)")
            .arg(quotedName(table)));
    const QString insert = QStringLiteral("INSERT INTO %1 VALUES").arg(quotedName(table));
    sqlanyDb->execute(insert +
                      "(9007199254740993, 1234567890.12, 0.1, 'O''Brien \"q\"' || char(13,10) || 'Grüße 😀', "
                      "'2024-03-01', '2024-03-01 13:45:00.123456', x'00ff10', 1, '', NULL)");
    sqlanyDb->execute(insert +
                      "(-1, -0.5, 123456789.125, ' ', '1999-12-31', '2000-01-01 00:00:00.000001', "
                      "x'', 0, NULL, 'x')");
    // Longer than the first read of a value; the Oracle side's text columns hold 2,000.
    sqlanyDb->execute(insert +
                      "(3, 0, 0, replace(hex(zeroblob(600)), '00', 'ü😀'), NULL, NULL, NULL, NULL, "
                      "replace(hex(zeroblob(150)), '00', 'q'''), '')");
    offer(*tables.List1, table);
    tables.PushButton3_Click();

    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.value(0).text.toStdString();
    EXPECT_EQ(items(*tables.List2), QStringList({table}));
    const QList<Column> source = readTable(*freshSqlAnywhere(), table);
    const QList<Column> target = readTable(*oracleDb, table);
    ASSERT_EQ(target.size(), source.size());
    for (int c = 0; c < source.size(); ++c) {
        EXPECT_EQ(target[c].name, source[c].name);
        EXPECT_EQ(target[c].values, source[c].values) << source[c].name.toStdString();
    }
    EXPECT_EQ(target[0].type, AdoType::Numeric);  // integer
    // SQLite's numeric reads as a double, and short binary as hex: both become text columns,
    // which psqlODBC reports as long text at 2000 characters.
    EXPECT_EQ(target[1].type, AdoType::LongVarChar);
    EXPECT_EQ(target[6].type, AdoType::LongVarChar);
    EXPECT_EQ(target[0].values[0], QStringLiteral("9007199254740993"));
    EXPECT_EQ(target[6].values[0], QStringLiteral("00FF10"));
}

TEST_F(TransferOnTheStand, ProgressFollowsTheRowsOfTablesOfZeroOneAndThreeRows) {
    QList<double> seen;
    QObject::connect(tables.ProgressBar1, &ProgressBar::positionChanged, [&](double p) { seen << p; });
    for (int rows : {0, 1, 3}) {
        seen.clear();
        const QString table = sqlanyTable(QStringLiteral("rows%1").arg(rows));
        m_oracleTables << table;
        sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
        for (int r = 1; r <= rows; ++r) {
            sqlanyDb->execute(QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(quotedName(table)).arg(r));
        }
        tables.List1->clear();
        offer(*tables.List1, table);
        tables.PushButton3_Click();
        QList<double> expected;
        for (int r = 1; r <= rows; ++r) expected << static_cast<double>(r) / rows * 100.0;
        expected << 0.0;
        EXPECT_EQ(seen, expected) << rows;
        EXPECT_EQ(tables.ProgressBar1->text(), QStringLiteral("Progress Bar"));
        EXPECT_EQ(readTable(*oracleDb, table).value(0).values.size(), rows);
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(TransferOnTheStand, OverwriteYesReplacesTheTableAndNoKeepsIt) {
    const QString table = sqlanyTable("Overwrite");
    m_oracleTables << table;
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
    sqlanyDb->execute(QStringLiteral("INSERT INTO %1 VALUES(1)").arg(quotedName(table)));
    oracleDb->execute(QStringLiteral("CREATE TABLE %1(old text)").arg(quotedName(table)));
    offer(*tables.List1, table);
    tables.List2->addItem(table);

    dialogs.buttons << MsgBoxResult::No;
    tables.PushButton3_Click();
    EXPECT_EQ(readTable(*oracleDb, table).value(0).name, QStringLiteral("old"));

    dialogs.buttons << MsgBoxResult::Yes;
    tables.PushButton3_Click();
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[1].text, "Would you like to overwrite " + table + "?");
    const QList<Column> replaced = readTable(*oracleDb, table);
    EXPECT_EQ(replaced.value(0).name, QStringLiteral("n"));
    EXPECT_EQ(replaced.value(0).values, QStringList({"1"}));
    EXPECT_EQ(items(*tables.List2), QStringList({table}));
}

// With FaithfulTables=1 the send button makes the table as the source has it, batched or not;
// the window shows no box more than the plain copy would.
TEST_P(TransferEitherWay, TheFaithfulSettingKeepsTypesNotNullAndTheKey) {
    settings.save(kSettingsApplication, kSettingsSection, SettingKey::FaithfulTables, "1");
    const QString table = oracleTable("Faithful");
    m_sqlanyTables << table;
    oracleDb->execute(QStringLiteral("CREATE TABLE %1(code varchar(8) NOT NULL, pay numeric(10,2), "
                                     "paid boolean, PRIMARY KEY (code))")
                          .arg(quotedName(table)));
    oracleDb->execute(QStringLiteral("INSERT INTO %1 VALUES('a', 12.50, true), ('b', NULL, false), "
                                     "('c', -0.01, NULL)")
                          .arg(quotedName(table)));
    offer(*tables.List2, table);
    tables.PushButton4_Click();

    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.value(0).text.toStdString();
    const TableShape shape = freshSqlAnywhere()->tableShape(table);
    ASSERT_EQ(shape.columns.size(), 3);
    EXPECT_EQ(shape.columns[0].typeName, "VARCHAR(8)");
    EXPECT_FALSE(shape.columns[0].nullable);
    EXPECT_EQ(shape.columns[1].typeName, "NUMERIC(10,2)");
    EXPECT_EQ(shape.columns[2].typeName, "BOOLEAN");
    EXPECT_EQ(shape.primaryKey, QStringList{"code"});
    EXPECT_EQ(readTable(*freshSqlAnywhere(), table).value(2).values, QStringList({"1", "0", ""}));
}

TEST_F(TransferOnTheStand, CaseVariantsOnEitherSide) {
    // To Oracle, another case is another table: no question, both stand and are listed.
    const QString lower = sqlanyTable("case_variant");
    const QString upper = lower.toUpper();
    m_oracleTables << lower << upper;
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(lower)));
    oracleDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(upper)));
    offer(*tables.List1, lower);
    tables.List2->addItem(upper);
    tables.PushButton3_Click();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(items(*tables.List2), QStringList({upper, lower}));

    // To SQL Anywhere, names ignore case: the question names the table as List1 writes it, and
    // after Yes the list shows the new name only.
    const QString mixed = oracleTable("Case_Mixed");
    m_sqlanyTables << mixed;
    oracleDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(mixed)));
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(old integer)").arg(quotedName(mixed.toLower())));
    tables.List1->clear();
    tables.List1->addItem(mixed.toLower());
    tables.List2->clear();
    offer(*tables.List2, mixed);
    dialogs.buttons << MsgBoxResult::Yes;
    tables.PushButton4_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "Would you like to overwrite " + mixed.toLower() + "?");
    EXPECT_EQ(items(*tables.List1), QStringList({mixed}));
    EXPECT_EQ(readTable(*freshSqlAnywhere(), mixed).value(0).name, QStringLiteral("n"));
}

TEST_P(TransferEitherWay, ARowTheTargetRefusesCostsOnlyThatRow) {
    const QString table = sqlanyTable("refused row");
    m_oracleTables << table;
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
    for (const char* value : {"1", "'not a number'", "3"}) {
        sqlanyDb->execute(QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(quotedName(table), value));
    }
    offer(*tables.List1, table);
    tables.PushButton3_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains("Form2.PushButton3_Click at line 260"));
    EXPECT_EQ(readTable(*oracleDb, table).value(0).values, QStringList({"1", "3"}));
}

namespace {

// One line per row, "id hex", read with the database's own functions; NULL reads as "null".
QStringList bytesByRow(Connection& db, const QString& table, const QString& hexOfB) {
    auto rows = db.openRecordset(
        QStringLiteral("SELECT id, CASE WHEN b IS NULL THEN 'null' ELSE %1 END FROM %2 ORDER BY id")
            .arg(hexOfB, quotedName(table)));
    QStringList lines;
    for (; !rows->eof(); rows->moveNext()) {
        lines << QString::number(rows->field(0).value.toString().toDouble()) + ' ' +
                     rows->field(1).value.toString();
    }
    return lines;
}

}  // namespace

TEST_P(TransferEitherWay, LongBinaryValuesArriveByteForByteBothWays) {
    // Hex that reads as a number, a quote and a backslash, every byte there is; no bytes at all
    // and NULL both arrive as NULL.
    QString everyByte;
    for (int b = 0; b < 256; ++b) everyByte += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    const QStringList bytes = {"1E10", "0001", "00FF10", "275C78", everyByte};
    QStringList expected;
    for (int i = 0; i < bytes.size(); ++i) expected << QString::number(i) + ' ' + bytes[i];
    expected << "98 null"
             << "99 null";

    const QString out = oracleTable("bytes out");
    m_sqlanyTables << out;
    oracleDb->execute(QStringLiteral("CREATE TABLE %1(id integer, b bytea)").arg(quotedName(out)));
    const QString back = sqlanyTable("bytes back");
    m_oracleTables << back;
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(id integer, b longvarbinary)").arg(quotedName(back)));
    for (int i = 0; i < bytes.size(); ++i) {
        oracleDb->execute(QStringLiteral("INSERT INTO %1 VALUES(%2, decode('%3', 'hex'))")
                              .arg(quotedName(out))
                              .arg(i)
                              .arg(bytes[i]));
        sqlanyDb->execute(
            QStringLiteral("INSERT INTO %1 VALUES(%2, X'%3')").arg(quotedName(back)).arg(i).arg(bytes[i]));
    }
    oracleDb->execute(
        QStringLiteral("INSERT INTO %1 VALUES(98, ''::bytea), (99, NULL)").arg(quotedName(out)));
    sqlanyDb->execute(QStringLiteral("INSERT INTO %1 VALUES(98, X''), (99, NULL)").arg(quotedName(back)));

    offer(*tables.List2, out);
    tables.PushButton4_Click();
    offer(*tables.List1, back);
    tables.PushButton3_Click();

    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.value(0).text.toStdString();
    EXPECT_EQ(
        bytesByRow(*freshSqlAnywhere(), out, "typeof(b) || ' ' || hex(b)").replaceInStrings("blob ", ""),
        expected);
    EXPECT_EQ(bytesByRow(*oracleDb, back, "upper(encode(b, 'hex'))"), expected);
}

TEST_F(TransferOnTheStand, AnOldTableStaysWhenItsReplacementCannotBeRead) {
    // The source list still shows a table that is gone; the user agrees to replace the target's.
    struct Way {
        TableListBox* source;
        TableListBox* target;
        Connection* targetDb;
        void (Form2::*send)();
        int selectLine;
    };
    for (const Way& way : {Way{tables.List1, tables.List2, oracleDb.get(), &Form2::PushButton3_Click, 152},
                           Way{tables.List2, tables.List1, sqlanyDb.get(), &Form2::PushButton4_Click, 152}}) {
        const QString table = way.targetDb == oracleDb.get() ? oracleTable("kept") : sqlanyTable("kept");
        way.targetDb->execute(QStringLiteral("CREATE TABLE %1(old integer)").arg(quotedName(table)));
        way.targetDb->execute(QStringLiteral("INSERT INTO %1 VALUES(7)").arg(quotedName(table)));
        way.source->clear();
        offer(*way.source, table);
        way.target->clear();
        way.target->addItem(table);
        dialogs.shown.clear();
        dialogs.buttons << MsgBoxResult::Yes;
        (tables.*way.send)();

        ASSERT_EQ(dialogs.shown.size(), 2);  // the question, then the failed read
        EXPECT_TRUE(dialogs.shown[1].text.contains(QStringLiteral(" at line %1\r\r").arg(way.selectLine)));
        EXPECT_EQ(items(*way.target), QStringList({table}));
        auto check = way.targetDb == oracleDb.get() ? nullptr : freshSqlAnywhere();
        const QList<Column> kept = readTable(check ? *check : *oracleDb, table);
        EXPECT_EQ(kept.value(0).name, QStringLiteral("old"));
        EXPECT_EQ(kept.value(0).values, QStringList({"7"}));
    }
}

TEST_F(TransferOnTheStand, RowsThatArriveAfterTheCountAreCopiedToo) {
    // The row count and the read are two statements. Here rows 4 and 5 are hidden from the
    // first statement that reads the table (a row policy whose function remembers that
    // statement's moment in the session), as if another session added them in between: the
    // source's session only reads, so no function of it can add them itself.
    const QString table = oracleTable("growing");
    m_sqlanyTables << table;
    const QString grow = quotedName(table + "_grow");
    oracleDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
    oracleDb->execute(QStringLiteral("INSERT INTO %1 VALUES(1), (2), (3), (4), (5)").arg(quotedName(table)));
    oracleDb->execute(
        QStringLiteral("CREATE FUNCTION %1(n integer) RETURNS boolean LANGUAGE plpgsql VOLATILE AS $$ "
                       "DECLARE first text := current_setting('tw.first_read', true); BEGIN "
                       "IF coalesce(first, '') = '' THEN first := now()::text; "
                       "PERFORM set_config('tw.first_read', first, false); END IF; "
                       "RETURN n <= 3 OR first <> now()::text; END $$")
            .arg(grow));
    for (const char* setting : {"ENABLE ROW LEVEL SECURITY", "FORCE ROW LEVEL SECURITY"}) {
        oracleDb->execute(QStringLiteral("ALTER TABLE %1 %2").arg(quotedName(table), setting));
    }
    oracleDb->execute(
        QStringLiteral("CREATE POLICY reading ON %1 FOR SELECT USING (%2(n))").arg(quotedName(table), grow));
    QList<double> seen;
    QObject::connect(tables.ProgressBar1, &ProgressBar::positionChanged, [&](double p) { seen << p; });
    offer(*tables.List2, table);
    tables.PushButton4_Click();

    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.value(0).text.toStdString();
    EXPECT_EQ(readTable(*freshSqlAnywhere(), table).value(0).values, QStringList({"1", "2", "3", "4", "5"}));
    // The bar was sized for three rows and stands at 100 % for the two it did not know of.
    EXPECT_EQ(seen, QList<double>({1.0 / 3.0 * 100.0, 2.0 / 3.0 * 100.0, 100.0, 100.0, 100.0, 0.0}));
    test::dropQuietly(*oracleDb, table);
    oracleDb->execute(QStringLiteral("DROP FUNCTION %1(integer)").arg(grow));
}

TEST_F(TransferOnTheStand, AFullTargetIsEndedFromTheErrorBox) {
    // Row by row: the failure (or the stop) comes between rows the database has each committed.
    settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows, "0");
    // After a few rows the SQL Anywhere database is full, and every further row would fail.
    // Pages other tests freed are filled first, so the table has rows enough for them too.
    const QString big = oracleTable("full");
    const QString next = oracleTable("after full");
    m_sqlanyTables << big << next;
    const auto pragma = [](const char* name) {
        return freshSqlAnywhere()->openRecordset(name)->field(0).value.toString().toLongLong();
    };
    const qint64 rows = 200 + pragma("PRAGMA freelist_count") * pragma("PRAGMA page_size") / 3000;
    oracleDb->execute(
        QStringLiteral("CREATE TABLE %1 AS SELECT repeat('x', 3000) AS t FROM generate_series(1, %2)")
            .arg(quotedName(big))
            .arg(rows));
    oracleDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(next)));
    setUp = [](Connection& session, const ConnectionTarget& target) {
        if (!target.isDataSource()) return;
        const qint64 pages =
            session.openRecordset("PRAGMA page_count")->field(0).value.toString().toLongLong();
        session.execute(QStringLiteral("PRAGMA max_page_count = %1").arg(pages + 8));
    };
    tables.List2->addItem(big);
    tables.List2->addItem(next);
    tables.List2->setCurrentIndex(0);
    tables.PushButton8_Click();  // Select All
    dialogs.buttons << MsgBoxResult::Extra;
    tables.PushButton4_Click();

    // The first refused row's box is the usual one, with one more button that ends it all.
    ASSERT_EQ(dialogs.shown.size(), 1);
    const test::ShownBox& box = dialogs.shown[0];
    EXPECT_EQ(box.caption, QStringLiteral("Application Error"));
    EXPECT_EQ(box.style, MsgBoxStyle::Exclamation);
    EXPECT_EQ(box.extraButton, QStringLiteral("Stop Transfer"));
    EXPECT_EQ(errorLines(dialogs, "Form2.PushButton4_Click"), QList<int>({268}));
    // The table as far as it got is listed, since it exists; the next one was never begun.
    EXPECT_EQ(items(*tables.List1), QStringList({big}));
    const qint64 arrived = freshSqlAnywhere()->openRecordset(SelectAllSql(big))->recordCount();
    EXPECT_GT(arrived, 0);
    EXPECT_LT(arrived, rows);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(tables.ProgressBar1->position(), 0.0);
    EXPECT_EQ(tables.ProgressBar1->text(), QStringLiteral("Progress Bar"));
    EXPECT_EQ(tables.pointer().get(), MousePointer::Default);
}

// A replace ended part way (here by Escape) leaves the old table as it was and listed; the rows
// it had copied go with their staging table.
TEST_F(TransferOnTheStand, AReplaceEndedPartWayKeepsTheOldTable) {
    // Row by row: the failure (or the stop) comes between rows the database has each committed.
    settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows, "0");
    const QString table = sqlanyTable("kept");
    m_oracleTables << table;
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
    sqlanyDb->execute(QStringLiteral("INSERT INTO %1 VALUES(1), (2), (3), (4), (5)").arg(quotedName(table)));
    oracleDb->execute(QStringLiteral("CREATE TABLE %1(old text)").arg(quotedName(table)));
    oracleDb->execute(QStringLiteral("INSERT INTO %1 VALUES('a'), ('b')").arg(quotedName(table)));
    const QString staging = StagingName::forTable(table, 63).text();
    bool pressed = false;
    onEvents = [&] {
        if (pressed) return;
        try {
            if (oracleDb->openRecordset(SelectAllSql(staging))->recordCount() < 2) return;
        } catch (const std::exception&) {
            return;  // not created yet
        }
        pressed = true;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&tables, &escape);
    };
    offer(*tables.List1, table);
    tables.List2->addItem(table);
    dialogs.buttons << MsgBoxResult::Yes << MsgBoxResult::Yes;  // replace it; then stop
    tables.PushButton3_Click();

    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Stop the transfer after this row?"));
    EXPECT_TRUE(dialogs.shown[2].text.endsWith(table + ": the transfer was stopped before its last row"))
        << dialogs.shown[2].text.toStdString();
    const QList<Column> kept = readTable(*oracleDb, table);
    EXPECT_EQ(kept.value(0).name, QStringLiteral("old"));
    EXPECT_EQ(kept.value(0).values, QStringList({"a", "b"}));
    EXPECT_EQ(items(*tables.List2), QStringList({table}));
    EXPECT_THROW(oracleDb->openRecordset(SelectAllSql(staging)), std::exception);
}

TEST_F(TransferOnTheStand, EscapeEndsTheTransferAfterTheRowItIsOn) {
    // Row by row: the failure (or the stop) comes between rows the database has each committed.
    settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows, "0");
    const QString table = sqlanyTable("escaped");
    const QString other = sqlanyTable("another");
    m_oracleTables << table << other;
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
    sqlanyDb->execute(QStringLiteral("INSERT INTO %1 VALUES(1), (2), (3), (4), (5)").arg(quotedName(table)));
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(other)));
    // Escape once two rows stand in the table the rows fill until it takes its name.
    const QString staging = StagingName::forTable(table, oracleDb->nameLimits().table).text();
    bool pressed = false;
    onEvents = [&] {
        if (pressed) return;
        try {
            if (oracleDb->openRecordset(SelectAllSql(staging))->recordCount() < 2) return;
        } catch (const std::exception&) {
            return;  // not created yet
        }
        pressed = true;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&tables, &escape);
    };
    tables.List1->addItem(other);
    tables.List1->addItem(table);
    tables.List1->setCurrentIndex(0);
    tables.PushButton10_Click();  // Select All; "escaped" is at the bottom and goes first
    dialogs.buttons << MsgBoxResult::Yes;
    tables.PushButton3_Click();

    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Stop the transfer after this row?"));
    EXPECT_EQ(dialogs.shown[0].style, MsgBoxStyle::YesNo);
    EXPECT_EQ(readTable(*oracleDb, table).value(0).values, QStringList({"1", "2"}));
    EXPECT_EQ(items(*tables.List2), QStringList({table}));
    EXPECT_EQ(tables.pointer().get(), MousePointer::Default);
    // At rest, Escape asks nothing.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&tables, &escape);
    EXPECT_EQ(dialogs.shown.size(), 1);
}
