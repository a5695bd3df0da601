// What a load into a table the target has would do beyond the rows it was asked to write, shown
// by the stand's real servers: a truncate that would reach other tables through their foreign
// keys, a MariaDB table that cannot undo a failed load, and MariaDB's swap as one statement.
#include <gtest/gtest.h>

#include <QProcess>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

const QString kMariaDsn = QStringLiteral("dsn:tw_maria");

class LoadGuard : public test::CommandLineRig {
protected:
    void TearDown() override {
        CommandLineRig::TearDown();
        for (Connection* side : {m_oracle.get(), m_sqlany.get()}) {
            test::dropQuietly(*side, child());
            test::dropQuietly(*side, parent());
        }
        for (const QString& table : {child(), parent(), m_table})
            quietly("DROP TABLE IF EXISTS `" + table + "`");
    }
    void quietly(const QString& statement) {
        try {
            m_maria->execute(statement);
        } catch (const std::exception&) {
        }
    }
    QString parent() const { return m_table + "_p"; }
    QString child() const { return m_table + "_c"; }
    qint64 count(Connection& side, const QString& table) {
        return side.openRecordset("SELECT COUNT(*) FROM " + side.dialect()->quotedName(table))
            ->field(0)
            .value.toString()
            .toLongLong();
    }

    // What the server's own client prints for statements only its administrator may run.
    static QString asAdministrator(const QString& statements) {
        QProcess client;
        client.start(qEnvironmentVariable("TW_MARIA_CLIENT"), {"-N", "-B", "-e", statements});
        client.waitForFinished(120000);
        EXPECT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
        return QString::fromUtf8(client.readAllStandardOutput());
    }

    std::unique_ptr<Connection> m_maria =
        test::openStand({"maria", test::standDataSource("tw_maria"), false});
};

}  // namespace

// A truncate into a table that another table's key references with ON DELETE CASCADE would empty
// that table too: refused before anything changes, naming it, in PostgreSQL, MariaDB and SQLite
// (whose driver enforces foreign keys where its data source says FKSupport=1).
TEST_F(LoadGuard, ATruncateThatWouldCascadeIsRefusedInEveryProduct) {
    create(0, "id integer", {"7", "8", "9"});
    create(1, "id integer", {"7", "8", "9"});
    const QString sqliteWithKeys =
        "odbc:Driver={SQLite3};Database=" + qEnvironmentVariable("TW_STAND") + "/sqlany.db;FKSupport=1";
    const struct {
        const char* product;
        Connection& target;
        QStringList ends;
    } cases[] = {
        {"PostgreSQL", *m_oracle, {"--from", "sqlanywhere", "--to", "oracle"}},
        {"MariaDB", *m_maria, {"--from", "oracle", "--to", kMariaDsn}},
        {"SQLite", *m_sqlany, {"--from", "oracle", "--to", sqliteWithKeys}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.product);
        const Dialect& dialect = *c.target.dialect();
        c.target.execute("CREATE TABLE " + dialect.quotedName(parent()) + " (id INTEGER PRIMARY KEY)");
        c.target.execute("CREATE TABLE " + dialect.quotedName(child()) +
                         " (p INTEGER, FOREIGN KEY (p) REFERENCES " + dialect.quotedName(parent()) +
                         " (id) ON DELETE CASCADE)");
        c.target.execute("INSERT INTO " + dialect.quotedName(parent()) + " VALUES (1), (2)");
        c.target.execute("INSERT INTO " + dialect.quotedName(child()) + " VALUES (1), (2), (2)");
        const test::ProgramRun truncated = run(
            QStringList{"copy"} + c.ends +
            QStringList{m_table, "--into", parent(), "--mode", "truncate", "--overwrite", "yes", "--verify"});
        EXPECT_EQ(truncated.exitCode, 1) << truncated.err.toStdString();
        EXPECT_TRUE(truncated.err.contains(child() + " (ON DELETE CASCADE)")) << truncated.err.toStdString();
        EXPECT_EQ(count(c.target, child()), 3);
        EXPECT_EQ(count(c.target, parent()), 2);
        c.target.execute("DROP TABLE " + dialect.quotedName(child()));
        c.target.execute("DROP TABLE " + dialect.quotedName(parent()));
    }
}

// A MyISAM table keeps the DELETE and every row written before a duplicate key: an append or a
// truncate into it is refused, naming the engine, and changes nothing; allowed, a failed load
// says what it may have left, never that the table is as it was.
TEST_F(LoadGuard, AMyIsamTableIsRefusedALoadItCannotUndo) {
    create(0, "id integer", {"3", "4", "4"});
    m_maria->execute("CREATE TABLE `" + m_table + "` (id INTEGER, UNIQUE KEY (id)) ENGINE=MyISAM");
    m_maria->execute("INSERT INTO `" + m_table + "` VALUES (1), (2)");
    const QStringList copy{"copy", "--from", "oracle", "--to", kMariaDsn, m_table, "--overwrite", "yes"};
    for (const char* mode : {"append", "truncate"}) {
        const test::ProgramRun refused = run(copy + QStringList{"--mode", mode});
        EXPECT_EQ(refused.exitCode, 1) << mode;
        EXPECT_TRUE(refused.err.contains("its storage engine, MyISAM, cannot undo"))
            << refused.err.toStdString();
        EXPECT_EQ(count(*m_maria, m_table), 2) << mode;
    }
    const test::ProgramRun partial = run(copy + QStringList{"--mode", "truncate", "--allow-partial-load"});
    EXPECT_EQ(partial.exitCode, 1);
    EXPECT_FALSE(partial.err.contains("as it was")) << partial.err.toStdString();
    // 3 and 4 went in before the second 4 met the key.
    EXPECT_TRUE(partial.err.contains("the table holds 2 of the new rows and none of its own"))
        << partial.err.toStdString();
    EXPECT_TRUE(partial.err.contains("2 written, 1 failed")) << partial.err.toStdString();
    EXPECT_EQ(count(*m_maria, m_table), 2);
}

// An existing column of a fixed scale would round a number with more digits after the point, and
// one of a timestamp a second's fraction (the server says nothing): such a row is refused, naming
// the column, and no value arrives changed.
TEST_F(LoadGuard, AnAppendIntoNarrowerColumnsRefusesTheRowsTheyWouldRound) {
    create(1, "n NUMERIC(10,3), at TIMESTAMP",
           {"1.5, '2024-01-02 10:11:12'", "1.234, '2024-01-02 10:11:12'", "2.5, '2024-01-02 10:11:12.5'"});
    create(0, "n numeric(10,2), at timestamp(0)", {"7, '2000-01-01 00:00:00'"});
    const test::ProgramRun appended = run({"copy", "--from", "sqlanywhere", "--to", "oracle", m_table,
                                           "--mode", "append", "--overwrite", "yes"});
    EXPECT_EQ(appended.exitCode, 1);
    for (const char* said : {"column n, value 1.234: 3 digits after the point",
                             "column at, value '2024-01-02 10:11:12.5': 1 digit of a second"})
        EXPECT_TRUE(appended.err.contains(said)) << said << '\n' << appended.err.toStdString();
    const auto kept = database(0).openRecordset("SELECT n FROM " + quotedName(m_table) + " ORDER BY n");
    QStringList values;
    for (; !kept->eof(); kept->moveNext()) values << kept->field(0).value.toString();
    EXPECT_EQ(values, QStringList({"1.50", "7.00"}));
}

// MariaDB turns a timestamp into a DATE or a TIME, a double into its 4-byte FLOAT and 1.5 into
// an INT without a word: each such row is refused, naming the column, and the others arrive whole.
TEST_F(LoadGuard, AnAppendIntoMariaDbRefusesTheValuesItsColumnsWouldChange) {
    create(0, "id integer, at timestamp, f float8, n numeric",
           {"1, '2020-01-02 00:00:00', 0.5, 2", "2, '2020-01-02 03:04:05', 0.5, 2",
            "3, '2020-01-02 00:00:00', 16777217, 2", "4, '2020-01-02 00:00:00', 0.5, 1.5"});
    m_maria->execute("CREATE TABLE `" + m_table + "` (id INTEGER, at DATE, f FLOAT, n INTEGER)");
    const test::ProgramRun appended = run(
        {"copy", "--from", "oracle", "--to", kMariaDsn, m_table, "--mode", "append", "--overwrite", "yes"});
    EXPECT_EQ(appended.exitCode, 1);
    for (const char* said : {"row 2, INSERT: The row was not copied: column at",
                             "row 3, INSERT: The row was not copied: column f",
                             "row 4, INSERT: The row was not copied: column n"})
        EXPECT_TRUE(appended.err.contains(said)) << said << '\n' << appended.err.toStdString();
    EXPECT_EQ(count(*m_maria, m_table), 1);
}

// MariaDB's driver says a batch succeeded whose array the server refused for one row, taking
// none of it: the rows go again until the refused one is found, and every other row arrives.
TEST_F(LoadGuard, ABatchIntoMariaDbThatMeetsARefusedRowWritesEveryOtherRow) {
    QStringList rows;
    for (int id = 1; id <= 12; ++id)
        rows << QString("%1, '%2'").arg(id).arg(id == 6 ? "0x10" : QString::number(id));
    create(1, "id integer, v text", rows);
    m_maria->execute("CREATE TABLE `" + m_table + "` (id INTEGER, v DECIMAL(10,2))");
    const test::ProgramRun appended = run({"copy", "--from", "sqlanywhere", "--to", kMariaDsn, m_table,
                                           "--mode", "append", "--overwrite", "yes"});
    EXPECT_EQ(appended.exitCode, 1);
    EXPECT_TRUE(appended.err.contains("row 6,")) << appended.err.toStdString();
    EXPECT_TRUE(appended.err.contains("11 written, 1 failed")) << appended.err.toStdString();
    EXPECT_EQ(count(*m_maria, m_table), 11);
}

// MariaDB renames both tables of a replace's swap in one RENAME TABLE, which the server does
// whole or not at all: the table's name is never without a table.
TEST_F(LoadGuard, MariaDbSwapsAReplacedTableInOneRename) {
    create(0, "id integer", {"1", "2"});
    m_maria->execute("CREATE TABLE `" + m_table + "` (id INTEGER)");
    asAdministrator("SET GLOBAL log_output = 'TABLE'; SET GLOBAL general_log = 1");
    const test::ProgramRun replaced =
        run({"copy", "--from", "oracle", "--to", kMariaDsn, m_table, "--overwrite", "yes"});
    const QStringList sent =
        asAdministrator(
            "SET GLOBAL general_log = 0; SELECT CAST(argument AS CHAR) FROM mysql.general_log "
            "WHERE argument LIKE 'RENAME TABLE%" +
            m_table + "%'; TRUNCATE TABLE mysql.general_log")
            .split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_EQ(count(*m_maria, m_table), 2);
    ASSERT_EQ(sent.size(), 1) << sent.join('\n').toStdString();
    EXPECT_TRUE(sent[0].contains("~tw-kept-") && sent[0].contains("~tw-stage-") &&
                sent[0].endsWith("TO `" + m_table + "`"))
        << sent[0].toStdString();

    // The server's own: a statement one of whose renames fails renames nothing.
    EXPECT_THROW(m_maria->execute("RENAME TABLE `" + m_table + "` TO `" + child() + "`, `" + parent() +
                                  "` TO `" + m_table + "`"),
                 std::exception);
    EXPECT_EQ(count(*m_maria, m_table), 2);
}

// A primary key made on a staging table takes the name PostgreSQL gives the table's own, both for
// a new table and for one that replaces the old: no key is left with a staging name.
TEST_F(LoadGuard, APostgresKeyTakesTheTablesNameNotTheStagingTables) {
    create(1, "id integer PRIMARY KEY", {"1"});
    for (const char* table : {"made", "replaced"}) {
        SCOPED_TRACE(table);
        const test::ProgramRun copied =
            run({"copy", "--from", "sqlanywhere", "--to", "oracle", m_table, "--overwrite", "yes"});
        EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
        const auto keys = m_oracle->openRecordset(
            "SELECT string_agg(conname, ',') FROM pg_constraint WHERE conrelid = to_regclass('\"" + m_table +
            "\"')");
        EXPECT_EQ(keys->field(0).value.toString(), m_table + "_pkey");
    }
}
