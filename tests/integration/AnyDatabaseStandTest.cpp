// Copies among the stand's three products, each named as any data source: PostgreSQL (the
// Oracle side), MariaDB (dsn:tw_maria) and SQLite (the SQL Anywhere side).
#include <gtest/gtest.h>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

const QString kMaria = QStringLiteral("dsn:tw_maria");

class AnyDatabase : public test::CommandLineRig {
protected:
    void TearDown() override {
        CommandLineRig::TearDown();
        for (const QString& table : {m_table, back(), renamed()}) {
            test::dropQuietly(*m_oracle, table);
            try {
                m_maria->execute(QStringLiteral("DROP TABLE IF EXISTS `%1`").arg(table));
            } catch (const std::exception&) {
            }
        }
    }
    QString back() const { return m_table + "_back"; }
    QString renamed() const { return m_table + "_r"; }

    // Each column of a PostgreSQL table, "name type NOT NULL", and its primary key.
    QStringList postgresShape(const QString& table) {
        QStringList shape;
        const auto columns = m_oracle->openRecordset(
            QStringLiteral("SELECT a.attname || ' ' || format_type(a.atttypid, a.atttypmod) || "
                           "CASE WHEN a.attnotnull THEN ' NOT NULL' ELSE '' END || "
                           "CASE WHEN EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = a.attrelid AND "
                           "i.indisprimary AND a.attnum = ANY(i.indkey)) THEN ' KEY' ELSE '' END "
                           "FROM pg_attribute a WHERE a.attrelid = '\"%1\"'::regclass AND a.attnum > 0 "
                           "ORDER BY a.attnum")
                .arg(table));
        for (; !columns->eof(); columns->moveNext()) shape << columns->field(0).value.toString();
        return shape;
    }
    // Rows one PostgreSQL table has and the other has not, either way, as the columns read.
    qint64 rowsNotInBoth(const QString& one, const QString& other, const QString& columns) {
        return m_oracle
            ->openRecordset(
                QStringLiteral("SELECT count(*) FROM ((SELECT %3 FROM \"%1\" EXCEPT ALL SELECT %3 FROM "
                               "\"%2\") UNION ALL (SELECT %3 FROM \"%2\" EXCEPT ALL SELECT %3 FROM "
                               "\"%1\")) d")
                    .arg(one, other, columns))
            ->field(0)
            .value.toString()
            .toLongLong();
    }
    // Copies the one table, faithful and verified; the run must say nothing but its summary.
    void copyFaithfully(const QStringList& ends, const QString& table, const QString& into = {}) {
        QStringList arguments =
            QStringList{"copy"} + ends + QStringList{table, "--faithful", "--verify", "--json"};
        if (!into.isEmpty()) arguments << "--into" << into;
        const test::ProgramRun copied = run(arguments);
        SCOPED_TRACE(ends.join(' ').toStdString());
        EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString() << copied.out.toStdString();
        EXPECT_FALSE(copied.err.contains("warning")) << copied.err.toStdString();
        EXPECT_TRUE(firstTableOf(copied)["verification"].toObject()["matches"].toBool())
            << copied.out.toStdString();
        EXPECT_EQ(firstTableOf(copied)["status"].toString(), "copied");
    }

    std::unique_ptr<Connection> m_maria =
        test::openStand({"maria", test::standDataSource("tw_maria"), false});
};

}  // namespace

// PostgreSQL to MariaDB to SQLite, and back the other way: every value, type, NOT NULL and
// primary key arrives, and no run warns. MariaDB keeps a logical value as TINYINT(1), a number
// that may hold 2 as well, and comes back as one.
TEST_F(AnyDatabase, AFaithfulCopyGoesThroughMariaDbAndSqliteAndBackExactly) {
    create(0,
           "id integer PRIMARY KEY, name varchar(40) NOT NULL, amount numeric(20,6), ratio double precision, "
           "flag boolean, born date, at timestamp(6), data bytea, note text",
           {"1, 'B\u00fccher \U0001F600 ''q'' \\', 12345678901234.123456, 0.30000000000000004, true, "
            "'2024-02-29', '2024-02-29 13:45:30.123456', '\\x00ff10', repeat('long ', 2000)",
            "2, ' ', -0.000001, -1e300, false, '0001-01-01', '1970-01-01 00:00:00', '\\x01', NULL",
            "3, 'x', NULL, NULL, NULL, NULL, NULL, NULL, NULL"});
    copyFaithfully({"--from", "oracle", "--to", kMaria}, m_table);
    copyFaithfully({"--from", kMaria, "--to", "sqlanywhere"}, m_table);
    copyFaithfully({"--from", "sqlanywhere", "--to", kMaria, "--overwrite", "yes"}, m_table, back());
    copyFaithfully({"--from", kMaria, "--to", "oracle"}, back());
    QStringList shape = postgresShape(m_table);
    shape.replaceInStrings("flag boolean", "flag smallint");
    EXPECT_EQ(postgresShape(back()).join(", ").toStdString(), shape.join(", ").toStdString());
    EXPECT_EQ(rowsNotInBoth(m_table, back(), "id, name, amount, ratio, flag::int, born, at, data, note"), 0);
}

// A MariaDB database named as a data source lists its tables, and drops and renames them.
TEST_F(AnyDatabase, ListRenameAndDropWorkOnADataSource) {
    m_maria->execute(QStringLiteral("CREATE TABLE `%1` (n INTEGER)").arg(m_table));
    const auto listed = [&] { return run({"list", "--side", kMaria}).out.split('\n'); };
    EXPECT_TRUE(listed().contains(m_table));
    const test::ProgramRun renamed = run({"rename", "--side", kMaria, m_table, this->renamed()});
    EXPECT_EQ(renamed.exitCode, 0) << renamed.err.toStdString();
    EXPECT_TRUE(listed().contains(this->renamed()));
    EXPECT_FALSE(listed().contains(m_table));
    const test::ProgramRun dropped = run({"drop", "--side", kMaria, this->renamed()});
    EXPECT_EQ(dropped.exitCode, 0) << dropped.err.toStdString();
    EXPECT_FALSE(listed().contains(this->renamed()));
}

// A session that begins relaxed (sql_mode '', as a server may be set) would write a date it
// cannot hold as 0000-00-00, a BC date as AD, a number too large as 9…9 and a text cut to its
// column: the program's session refuses each of those rows, and rounds no number. The relaxed
// start is the data source's own statement at connecting, so that no other test's server
// changes.
TEST_F(AnyDatabase, ARelaxedMariaDbSessionChangesNoValue) {
    create(0, "n integer, d date, x numeric, v varchar(10)",
           {"1, '2024-02-29', 1.5, 'abcde'", "2, 'infinity', NULL, NULL", "3, '10000-01-01', NULL, NULL",
            "4, '0044-03-15 BC', NULL, NULL", "5, NULL, 12345678901234567890123456789012345678, NULL",
            "6, NULL, 0.1234567890123456789012345678901234567, NULL"});
    const QString relaxed = QStringLiteral("odbc:DSN=tw_maria;INITSTMT={SET SESSION sql_mode=''}");
    const test::ProgramRun copied =
        run({"copy", "--from", "oracle", "--to", relaxed, m_table, "--faithful", "--json"});
    EXPECT_EQ(copied.exitCode, 1) << copied.err.toStdString();
    EXPECT_EQ(firstTableOf(copied)["rowsWritten"].toInt(), 1) << copied.out.toStdString();
    EXPECT_TRUE(copied.err.contains("MariaDB keeps 30")) << copied.err.toStdString();
    const auto rows = m_maria->openRecordset(QStringLiteral("SELECT n FROM `%1`").arg(m_table));
    QStringList arrived;
    for (; !rows->eof(); rows->moveNext()) arrived << rows->field(0).value.toString();
    EXPECT_EQ(arrived, QStringList{"1"});

    // Appended into a column too short, a text is refused, not cut.
    m_maria->execute(QStringLiteral("CREATE TABLE `%1`(n integer, v varchar(5))").arg(back()));
    create(0, "n integer, v varchar(10)", {"1, 'abcde'", "2, 'abcdefghij'"}, back());
    const test::ProgramRun appended =
        run({"copy", "--from", "oracle", "--to", relaxed, back(), "--mode", "append", "--json"});
    test::dropQuietly(*m_oracle, back());
    EXPECT_EQ(appended.exitCode, 1) << appended.err.toStdString();
    const auto texts = m_maria->openRecordset(QStringLiteral("SELECT v FROM `%1`").arg(back()));
    QStringList kept;
    for (; !texts->eof(); texts->moveNext()) kept << texts->field(0).value.toString();
    EXPECT_LE(kept.count("abcde"), 1) << kept.join(", ").toStdString();
}

// MariaDB's dates of zero parts go to another MariaDB table as themselves and verify: the
// program's own session mode refuses only what a relaxed server would change.
TEST_F(AnyDatabase, ZeroDatesGoFromMariaDbToMariaDbAsThemselves) {
    m_maria->execute(QStringLiteral("CREATE TABLE `%1` (d DATE, t DATETIME)").arg(m_table));
    m_maria->execute(QStringLiteral("INSERT INTO `%1` VALUES ('0000-00-00', '0000-00-00 00:00:00'), "
                                    "('2024-01-00', '2024-02-29 10:00:00')")
                         .arg(m_table));
    const test::ProgramRun copied =
        run({"copy", "--from", kMaria, "--to", kMaria, m_table, "--into", back(), "--verify"});
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    const auto rows = m_maria->openRecordset(
        QStringLiteral("SELECT COUNT(*) FROM `%1` a JOIN `%2` b ON a.d = b.d AND a.t = b.t")
            .arg(m_table, back()));
    EXPECT_EQ(rows->field(0).value.toString(), "2");
}

// MariaDB's driver does not say a time column's digits of a second: read from the catalogue, they
// go with a faithful copy as they are, and an append refuses a value that has more.
TEST_F(AnyDatabase, MariaDbTimeColumnsKeepTheirDigitsOfASecond) {
    m_maria->execute(QStringLiteral("CREATE TABLE `%1` (a DATETIME, b DATETIME(3), c TIME(2))").arg(m_table));
    m_maria->execute(
        QStringLiteral("INSERT INTO `%1` VALUES ('2024-01-02 10:11:12', '2024-01-02 10:11:12.125', "
                       "'10:11:12.25')")
            .arg(m_table));
    copyFaithfully({"--from", kMaria, "--to", kMaria}, m_table, back());
    const auto types = m_maria->openRecordset(
        QStringLiteral(
            "SELECT GROUP_CONCAT(COLUMN_TYPE ORDER BY ORDINAL_POSITION) FROM information_schema.COLUMNS "
            "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = '%1'")
            .arg(back()));
    EXPECT_EQ(types->field(0).value.toString(), "datetime,datetime(3),time(2)");
    m_oracle->execute(
        QStringLiteral("CREATE TABLE \"%1\" (a timestamp(1), b timestamp(3), c time(2))").arg(m_table));
    m_oracle->execute(QStringLiteral("INSERT INTO \"%1\" VALUES ('2024-01-02 10:11:13.5', '2024-01-02 "
                                     "10:11:13', '10:11:13')")
                          .arg(m_table));
    const test::ProgramRun appended = run({"copy", "--from", "oracle", "--to", kMaria, m_table, "--into",
                                           back(), "--mode", "append", "--overwrite", "yes"});
    EXPECT_EQ(appended.exitCode, 1);
    EXPECT_TRUE(appended.err.contains("1 digit of a second; the target's column keeps 0"))
        << appended.err.toStdString();
    EXPECT_EQ(m_maria->openRecordset(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(back()))
                  ->field(0)
                  .value.toString(),
              "1");
}

// MariaDB's '' and zero-length bytes in NOT NULL columns arrive as themselves in PostgreSQL by
// each way a row goes there (a literal INSERT, bound batches, COPY) and in SQLite, and verify
// with no known change; the plain copy writes both as NULL and names both.
TEST_F(AnyDatabase, EmptyTextAndBytesArriveAsThemselvesInATypedCopy) {
    m_maria->execute(QStringLiteral("CREATE TABLE `%1` (id INTEGER PRIMARY KEY, t VARCHAR(5) NOT NULL, "
                                    "b VARBINARY(5) NOT NULL)")
                         .arg(m_table));
    m_maria->execute(QStringLiteral("INSERT INTO `%1` VALUES (1, '', X''), (2, 'a', X'01')").arg(m_table));
    const QString held =
        QStringLiteral("SELECT count(*) FROM \"%1\" WHERE t = '' AND b = '\\x'::bytea").arg(m_table);
    const struct {
        const char* way;
        QStringList options;
        const char* copy;  // TW_POSTGRES_COPY
    } ways[] = {{"a literal INSERT", {"--batch", "1"}, "1"}, {"bound batches", {}, "0"}, {"COPY", {}, "1"}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        m_environment.insert("TW_POSTGRES_COPY", way.copy);
        const test::ProgramRun copied = run(QStringList{"copy", "--from", kMaria, "--to", "oracle", m_table,
                                                        "--overwrite", "yes", "--verify", "--json"} +
                                            way.options);
        EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString() << copied.out.toStdString();
        const QJsonObject verification = firstTableOf(copied)["verification"].toObject();
        EXPECT_TRUE(verification["matches"].toBool()) << copied.out.toStdString();
        EXPECT_FALSE(verification.contains("knownChanges")) << copied.out.toStdString();
        EXPECT_EQ(m_oracle->openRecordset(held)->field(0).value.toString(), "1");
    }
    const test::ProgramRun intoSqlite =
        run({"copy", "--from", kMaria, "--to", "sqlanywhere", m_table, "--verify", "--json"});
    EXPECT_EQ(intoSqlite.exitCode, 0) << intoSqlite.err.toStdString() << intoSqlite.out.toStdString();
    EXPECT_EQ(
        m_sqlany
            ->openRecordset(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE t = '' AND typeof(b) = 'blob' "
                                           "AND length(b) = 0")
                                .arg(m_table))
            ->field(0)
            .value.toString(),
        "1");

    const test::ProgramRun plain = run(
        {"copy", "--from", kMaria, "--to", "oracle", m_table, "--overwrite", "yes", "--plain", "--verify"});
    EXPECT_EQ(plain.exitCode, 0) << plain.err.toStdString() << plain.out.toStdString();
    EXPECT_TRUE(plain.out.contains("1 empty text and 1 empty binary value became NULL"))
        << plain.out.toStdString();
    EXPECT_TRUE(plain.out.contains("yes (1 empty text as NULL, 1 empty binary value as NULL)"))
        << plain.out.toStdString();
}
