// The command line against the stand, run as a user runs it: the built program, no display,
// the connection values from the settings the windows keep unless the run replaces them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

using test::Direction;

class CommandLine : public test::CommandLineRig {};

class CopyEachWay : public CommandLine, public ::testing::WithParamInterface<Direction> {};

// A table of about a megabyte, in a SQLite file whose freed pages no other test meets.
class WideTable : public CommandLine {
protected:
    WideTable() { useOwnDataSource("tw_sqlany_large"); }
};

}  // namespace

TEST_P(CopyEachWay, EachOverwriteAnswerDoesWhatItSays) {
    const Direction direction = GetParam();
    create(direction.source, "n integer, name varchar(20), pay numeric(10,2)",
           {"1, 'it''s', 10.50", "2, NULL, 0.10", "3, '', NULL"});
    create(direction.target, "old integer", {"7"});
    const QStringList copy{"copy", "--to", direction.to, m_table};

    // Without a terminal to ask on, the table stays and the run says which option decides.
    const test::ProgramRun asked = run(copy);
    EXPECT_EQ(asked.exitCode, 1) << asked.err.toStdString();
    EXPECT_TRUE(asked.err.contains("--overwrite yes")) << asked.err.toStdString();
    EXPECT_EQ(rowCount(direction.target), 1);

    const test::ProgramRun kept = run(copy + QStringList{"--overwrite", "no"});
    EXPECT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    EXPECT_EQ(rowCount(direction.target), 1);

    const test::ProgramRun replaced = run(copy + QStringList{"--overwrite", "yes", "--verify", "--json"});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    const QJsonObject table = firstTableOf(replaced);
    EXPECT_EQ(table["status"].toString(), "copied");
    EXPECT_EQ(table["rowsWritten"].toInt(), 3);
    EXPECT_TRUE(table["verification"].toObject()["matches"].toBool()) << replaced.out.toStdString();
    EXPECT_EQ(rowCount(direction.target), 3);
}

// Appending matches the source's columns to the table's by name, in any order and case, gives
// the others their default (an identity column its number), and verifies what it added; truncating keeps the
// table and loads just the source's rows.
TEST_P(CopyEachWay, AppendAndTruncateFillTheTableTheTargetHas) {
    const Direction direction = GetParam();
    create(direction.source, "n integer, name varchar(20), pay numeric(10,2)",
           {"1, 'it''s', 10.50", "2, NULL, 0.10", "3, '', NULL"});
    create(direction.target,
           "\"PAY\" numeric(10,2), extra varchar(10) DEFAULT 'd', name varchar(20), n integer NOT NULL, " +
               QString(isPostgres(direction.target) ? "id integer GENERATED ALWAYS AS IDENTITY"
                                                    : "id integer NOT NULL DEFAULT 0"),
           {"5, 'own', 'old', 9" + QString(isPostgres(direction.target) ? ", DEFAULT" : ", 0")});
    const QStringList copy{"copy", "--to", direction.to, m_table, "--verify", "--json", "--overwrite", "yes"};
    for (const int rows : {4, 7}) {
        const test::ProgramRun appended = run(copy + QStringList{"--mode", "append"});
        EXPECT_EQ(appended.exitCode, 0) << appended.err.toStdString();
        const QJsonObject verification = firstTableOf(appended)["verification"].toObject();
        EXPECT_TRUE(verification["matches"].toBool()) << appended.out.toStdString();
        EXPECT_EQ(verification["targetRows"].toInt(), 3);
        EXPECT_EQ(rowCount(direction.target), rows);
    }
    const auto defaults =
        database(direction.target)
            .openRecordset(
                QStringLiteral("SELECT count(*) FROM %1 WHERE extra = 'd'").arg(quotedName(m_table)));
    EXPECT_EQ(defaults->field(0).value.toString(), "6");

    const test::ProgramRun truncated = run(copy + QStringList{"--mode", "truncate"});
    EXPECT_EQ(truncated.exitCode, 0) << truncated.err.toStdString();
    EXPECT_TRUE(firstTableOf(truncated)["verification"].toObject()["matches"].toBool())
        << truncated.out.toStdString();
    EXPECT_EQ(rowCount(direction.target), 3);
    // The table is the one it was: the source would have made no column extra.
    EXPECT_EQ(database(direction.target).openRecordset(SelectAllSql(m_table))->field(1).name, "extra");
}

INSTANTIATE_TEST_SUITE_P(Stand, CopyEachWay,
                         ::testing::Values(Direction{"sqlanywhere", 0, 1}, Direction{"oracle", 1, 0}));

// A trigger of the table that drops one row: the append says what arrived, counts no more rows
// written than the table took, finds the verification short of a row, and fails the run.
TEST_F(CommandLine, AnAppendATriggerCutsShortSaysWhatArrived) {
    create(1, "n integer", {"1", "2", "3"});
    create(0, "n integer");
    const QString dropTwo = m_table + "_drop_two";
    m_oracle->execute(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                     "IF NEW.n = 2 THEN RETURN NULL; END IF; RETURN NEW; END $$")
                          .arg(quotedName(dropTwo)));
    struct DropFunction {
        Connection& database;
        QString name;
        ~DropFunction() {
            try {
                database.execute(QStringLiteral("DROP FUNCTION %1() CASCADE").arg(quotedName(name)));
            } catch (const std::exception&) {
            }
        }
    } dropped{*m_oracle, dropTwo};
    m_oracle->execute(
        QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT ON %2 FOR EACH ROW EXECUTE FUNCTION %1()")
            .arg(quotedName(dropTwo), quotedName(m_table)));

    const test::ProgramRun appended =
        run({"copy", "--to", "oracle", m_table, "--mode", "append", "--verify", "--json"});
    EXPECT_EQ(appended.exitCode, 1) << appended.err.toStdString();
    const QJsonObject table = firstTableOf(appended);
    EXPECT_EQ(table["rowsWritten"].toInt(), 2) << appended.out.toStdString();
    EXPECT_EQ(table["verdict"].toString(), "copied in part: the table took 2 of the 3 rows loaded into it");
    EXPECT_FALSE(table["verification"].toObject()["matches"].toBool());
    EXPECT_EQ(table["verification"].toObject()["targetRows"].toInt(), 2);
    EXPECT_EQ(rowCount(0), 2);
}

TEST_F(CommandLine, DifferencesAndRefusedRowsEndInOne) {
    // SQLite keeps 15 digits of the plain copy's NUMERIC: the copy arrives changed and
    // verification says so.
    create(0, "id integer, amount numeric(20,0)", {"1, 12345678901234567890", "2, 5"});
    const test::ProgramRun changed =
        run({"copy", "--to", "sqlanywhere", "--plain", m_table, "--verify", "--json"});
    EXPECT_EQ(changed.exitCode, 1);
    const QJsonObject verification = firstTableOf(changed)["verification"].toObject();
    EXPECT_FALSE(verification["matches"].toBool());
    const QJsonArray differences = verification["differences"].toArray();
    ASSERT_EQ(differences.size(), 2) << changed.out.toStdString();
    EXPECT_EQ(differences[0].toObject()["onlyIn"].toString(), "source");
    EXPECT_EQ(differences[0].toObject()["values"].toArray()[1].toString(), "12345678901234567890");
    EXPECT_TRUE(changed.err.contains("differs from its source"));

    // A row the target refuses is one line on standard error with its row, SQLSTATE and statement.
    test::dropQuietly(database(1), m_table);
    create(1, "n integer", {"1", "'x'", "3"});
    const test::ProgramRun refused = run({"copy", "--to", "oracle", m_table, "--overwrite", "yes"});
    EXPECT_EQ(refused.exitCode, 1);
    const QStringList lines = refused.err.split('\n').filter("SQLSTATE");
    ASSERT_EQ(lines.size(), 1) << refused.err.toStdString();
    EXPECT_TRUE(lines[0].contains("table " + m_table + ", row 2,")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("INSERT INTO")) << lines[0].toStdString();
    EXPECT_EQ(rowCount(0), 2);
    // The same in the transfer log, under the run's heading.
    const QString logged = logText();
    EXPECT_TRUE(logged.contains("copy --to oracle (command line)"));
    EXPECT_TRUE(logged.contains("failed: table " + m_table + ", row 2,")) << logged.toStdString();
}

// Into PostgreSQL without COPY a batch goes as INSERTs of many rows, as many as a statement's
// parameters allow: 40 columns take 100 rows to one, so a batch of 2,000 rows is twenty
// statements, and the last 530 rows go as five of 89 and one of 85. A refused row costs that row
// alone, under its own number, and verification finds every other value arrived.
TEST_F(WideTable, GoesInStatementsOfManyRowsAndARefusedRowIsItsOwn) {
    m_environment.insert("TW_POSTGRES_COPY", "0");
    QStringList columns{"id integer"}, values{"CASE WHEN n = 1500 THEN 'x' ELSE n END"};
    for (int c = 2; c <= 40; ++c) {
        columns << QStringLiteral("c%1 text").arg(c);
        values << QStringLiteral("'v%1 ' || n").arg(c);
    }
    create(1, columns.join(", "));
    database(1).execute(
        QStringLiteral("INSERT INTO %1 WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 "
                       "FROM g WHERE n < 2530) SELECT %2 FROM g")
            .arg(quotedName(m_table), values.join(", ")));
    const test::ProgramRun copied =
        run({"copy", "--to", "oracle", "--batch", "2000", "--verify", "--json", m_table});
    EXPECT_EQ(copied.exitCode, 1) << copied.err.toStdString();
    const QJsonObject summary = QJsonDocument::fromJson(copied.out.toUtf8()).object();
    const QJsonObject table = firstTableOf(copied);
    EXPECT_EQ(table["rowsWritten"].toInt(), 2529);
    EXPECT_EQ(table["rowsFailed"].toInt(), 1);
    EXPECT_EQ(summary["failures"].toArray().first().toObject()["row"].toInt(), 1500);
    const QJsonArray differences = table["verification"].toObject()["differences"].toArray();
    ASSERT_EQ(differences.size(), 1) << copied.out.toStdString();
    EXPECT_EQ(differences[0].toObject()["values"].toArray()[0].toString(), "x");
    EXPECT_EQ(rowCount(0), 2529);
}

// A pattern chooses the source's tables it matches, an exclusion takes some out, and a pattern
// that matches nothing is reported as a table that is not there.
TEST_F(CommandLine, PatternsChooseTheTablesAndExclusionsLeaveSomeOut) {
    const QString second = m_table + "_b", third = m_table + "_c";
    for (const QString& table : {m_table, second, third}) create(0, "n integer", {"1"}, table);
    const test::ProgramRun copied = run(
        {"copy", "--to", "sqlanywhere", m_table + "*", m_table + "_nothing*", "--exclude", "*_c", "--json"});
    for (const QString& table : {second, third}) {
        test::dropQuietly(database(0), table);
        test::dropQuietly(database(1), table);
    }
    EXPECT_EQ(copied.exitCode, 1);
    const QMap<QString, QJsonObject> tables = tablesOf(copied);
    EXPECT_EQ(tables.keys(), QStringList({m_table, second, m_table + "_nothing*"}));
    EXPECT_EQ(tables[second]["status"].toString(), "copied");
    EXPECT_EQ(tables[m_table + "_nothing*"]["status"].toString(), "not found");
    EXPECT_TRUE(copied.err.contains("has no table matching " + m_table + "_nothing*"))
        << copied.err.toStdString();
}

// --where copies the source rows that meet the condition, and the verification compares those;
// the summary, --json and the log say which rows.
TEST_F(CommandLine, WhereCopiesTheRowsThatMeetItsCondition) {
    create(0, "n integer", {"1", "2", "3", "4"});
    const QStringList copy{"copy", "--to", "sqlanywhere", m_table, "--where", "n >= 3", "--verify"};
    const test::ProgramRun copied = run(copy + QStringList{"--json"});
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_EQ(rowCount(1), 2);
    EXPECT_TRUE(firstTableOf(copied)["verification"].toObject()["matches"].toBool())
        << copied.out.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(copied.out.toUtf8()).object()["where"].toString(), "n >= 3");
    EXPECT_TRUE(run(copy + QStringList{"--overwrite", "yes"}).out.contains("rows where n >= 3"));
    EXPECT_TRUE(logText().contains("; rows where n >= 3")) << logText().toStdString();

    // --into: the same rows under another name, which the summary gives; the source's own name
    // stays the target's as it was.
    const QString other = m_table + "_as";
    const test::ProgramRun into = run(
        {"copy", "--to", "sqlanywhere", m_table, "--into", other, "--where", "n < 3", "--verify", "--json"});
    const QStringList arrived = tablesLike(1, m_table + "%");
    test::dropQuietly(database(1), other);
    EXPECT_EQ(into.exitCode, 0) << into.err.toStdString();
    EXPECT_EQ(firstTableOf(into)["table"].toString(), other);
    EXPECT_TRUE(firstTableOf(into)["verification"].toObject()["matches"].toBool()) << into.out.toStdString();
    EXPECT_EQ(arrived.size(), 2);
    EXPECT_TRUE(arrived.contains(other));
    EXPECT_EQ(rowCount(1), 2);
}

// A row condition stays one condition of the program's SELECT, and the source is read in a
// session that only reads: neither a second statement nor a function that writes changes the
// source, in a copy or a dry run.
TEST_F(CommandLine, ARowConditionChangesNothingInTheSource) {
    create(0, "n integer", {"1", "2"});
    const QString victim = m_table + "_victim";
    const QString writes = m_table + "_writes";
    create(0, "n integer", {"7"}, victim);
    Connection& postgres = database(0);
    postgres.execute(QStringLiteral("CREATE FUNCTION %1() RETURNS integer LANGUAGE sql AS "
                                    "'DELETE FROM %2; SELECT 1'")
                         .arg(quotedName(writes), quotedName(victim)));
    const struct Dropped {
        Connection& database;
        QString function;
        ~Dropped() {
            try {
                database.execute(QStringLiteral("DROP FUNCTION %1()").arg(quotedName(function)));
            } catch (const std::exception&) {
            }
        }
    } dropped{postgres, writes};
    const QString second =
        QStringLiteral("1=1) x; DROP TABLE %1; SELECT COUNT(*) FROM (SELECT 1").arg(quotedName(victim));
    const QString calling = quotedName(writes) + "() = 1";
    for (const QStringList& more : {QStringList{"--dry-run"}, QStringList{"--overwrite", "yes"}}) {
        SCOPED_TRACE(more.join(' ').toStdString());
        const QStringList copy{"copy", "--to", "sqlanywhere", m_table};
        const test::ProgramRun refused = run(copy + more + QStringList{"--where", second});
        EXPECT_EQ(refused.exitCode, 2) << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains("semicolon")) << refused.err.toStdString();
        const test::ProgramRun failed = run(copy + more + QStringList{"--where", calling});
        EXPECT_EQ(failed.exitCode, 1) << failed.out.toStdString() << failed.err.toStdString();
        EXPECT_TRUE((failed.out + failed.err).contains("read-only"))
            << failed.out.toStdString() << failed.err.toStdString();
        EXPECT_EQ(tablesLike(0, victim), QStringList{victim});
        EXPECT_EQ(postgres.openRecordset(SelectAllSql(victim))->recordCount(), 1);
    }
    test::dropQuietly(postgres, victim);
}

// --dry-run shows each table's plan and changes nothing on either side.
TEST_F(CommandLine, ADryRunShowsThePlanAndChangesNothing) {
    const QString fresh = m_table + "_new";
    create(0, "id integer primary key, name varchar(20)", {"1, 'a'", "2, 'b'", "3, 'c'"});
    create(0, "n integer", {"1"}, fresh);
    create(1, "n integer", {"7"});
    const test::ProgramRun planned = run({"copy", "--to", "sqlanywhere", m_table, fresh, "--overwrite", "yes",
                                          "--faithful", "--dry-run", "--json"});
    test::dropQuietly(database(0), fresh);
    EXPECT_EQ(planned.exitCode, 0) << planned.err.toStdString();
    const QMap<QString, QJsonObject> tables = tablesOf(planned);
    ASSERT_EQ(tables.size(), 2) << planned.out.toStdString();
    const QJsonObject replaced = tables[m_table];
    EXPECT_EQ(replaced["action"].toString(), "replace");
    EXPECT_EQ(replaced["rows"].toInt(), 3);
    EXPECT_EQ(replaced["columns"].toVariant().toStringList(),
              QStringList({"id INTEGER NOT NULL", "name VARCHAR(20)"}));
    const QStringList statements = replaced["statements"].toVariant().toStringList();
    EXPECT_TRUE(statements.value(0).startsWith("CREATE TABLE")) << statements.join('\n').toStdString();
    EXPECT_TRUE(statements.contains("DROP TABLE " + quotedName(m_table)))
        << statements.join('\n').toStdString();
    EXPECT_EQ(tables[fresh]["action"].toString(), "create");
    // Nothing changed: the target's table, its one row, and no table beside it.
    EXPECT_EQ(tablesLike(1, m_table + "%"), QStringList({m_table}));
    EXPECT_EQ(rowCount(1), 1);
    EXPECT_TRUE(logText().isEmpty()) << logText().toStdString();
}

TEST_F(CommandLine, ListsDropsAndRenamesAsTheWindowsDo) {
    create(1, "n integer", {"1"});
    const test::ProgramRun listed = run({"list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.split('\n').contains("sqlanywhere\t" + m_table)) << listed.out.toStdString();
    EXPECT_FALSE(listed.out.contains("sqlite_", Qt::CaseInsensitive));

    // Neither stand database knows the rename statements: refused with its codes.
    const test::ProgramRun renamed = run({"rename", "--side", "sqlanywhere", m_table, m_table + "_new"});
    EXPECT_EQ(renamed.exitCode, 1);
    EXPECT_TRUE(renamed.err.contains("SQLSTATE")) << renamed.err.toStdString();

    const test::ProgramRun dropped = run({"drop", "--side", "sqlanywhere", m_table, "no_such_table"});
    EXPECT_EQ(dropped.exitCode, 1);  // one of the two is not there
    EXPECT_TRUE(dropped.out.contains(m_table + "\tdropped")) << dropped.out.toStdString();
    EXPECT_FALSE(run({"list", "--side", "sqlanywhere"}).out.split('\n').contains(m_table));
}

TEST_F(CommandLine, ALogThatCannotBeWrittenIsSaidOnceAndTheWorkGoesOn) {
    create(1, "n integer", {"1"});
    QFile inTheWay(m_home.filePath("state"));  // where the log's folder would be
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    const test::ProgramRun dropped = run({"drop", "--side", "sqlanywhere", m_table});
    EXPECT_EQ(dropped.exitCode, 0) << dropped.err.toStdString();
    EXPECT_EQ(dropped.out, m_table + "\tdropped\n");
    EXPECT_EQ(dropped.err.count("tablewright: the transfer log "), 1) << dropped.err.toStdString();
    EXPECT_TRUE(
        dropped.err.contains(m_home.filePath("state/tablewright/transfers.log") + " cannot be written"));
}

TEST_F(CommandLine, ExitCodesAndNoPasswordKeptOrShown) {
    QFile settings(m_settingsFile);
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray remembered = settings.readAll();
    settings.close();

    EXPECT_EQ(run({"copy", "EMP"}).exitCode, 2);  // no --to
    // A password among the arguments would show in the process list.
    const test::ProgramRun shown = test::runProgram({"list", "--password", "tiger"}, m_environment);
    EXPECT_EQ(shown.exitCode, 2);
    EXPECT_TRUE(shown.err.contains("--password-env"));

    // The remembered password is wrong and nothing replaces it: no connection.
    const test::ProgramRun wrong = test::runProgram({"list", "--side", "oracle"}, m_environment);
    EXPECT_EQ(wrong.exitCode, 3);
    EXPECT_TRUE(wrong.err.contains("cannot connect to Oracle")) << wrong.err.toStdString();

    // A password file others may open is used, with a warning; an owner-only one without.
    QTemporaryDir folder;
    QFile passwordFile(folder.filePath("password"));
    ASSERT_TRUE(passwordFile.open(QIODevice::WriteOnly));
    passwordFile.write("tiger\n");
    passwordFile.close();
    const QStringList withFile{"list", "--side", "oracle", "--password-file", passwordFile.fileName()};
    const QString warning = "tablewright: warning: others have access to the password file " +
                            passwordFile.fileName() + " (mode 0640); it should be 0600 or less\n";
    for (const auto mode : {QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup,
                            QFileDevice::ReadOwner | QFileDevice::WriteOwner}) {
        ASSERT_TRUE(passwordFile.setPermissions(mode));
        const test::ProgramRun listed = test::runProgram(withFile, m_environment);
        EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
        EXPECT_EQ(listed.err.toStdString(),
                  (mode & QFileDevice::ReadGroup ? warning : QString()).toStdString());
    }
    // Read once for a database --side names by its data source: said once.
    ASSERT_TRUE(passwordFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadGroup));
    const test::ProgramRun named = test::runProgram(
        {"list", "--side", "dsn:" + m_dataSource, "--password-file", passwordFile.fileName()}, m_environment);
    EXPECT_EQ(named.err.count(warning), 1) << named.err.toStdString();
    EXPECT_EQ(run({"list", "--dsn", "tw_no_such_source"}).exitCode, 3);

    // Nothing given on a command line is saved.
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll(), remembered);
}

// Oracle's own driver reads the database from DBQ=, under a name of its own: a template reaches
// any driver. Here psqlODBC is registered under another name only, and the program's own
// string reaches nothing.
TEST_F(CommandLine, AnOracleConnectionTemplateReachesADriverOfAnotherName) {
    QFile drivers(qEnvironmentVariable("ODBCSYSINI") + "/odbcinst.ini");
    ASSERT_TRUE(drivers.open(QIODevice::ReadOnly));
    QByteArray registered = drivers.readAll();
    registered.replace("[Microsoft ODBC for Oracle]", "[Stand PostgreSQL]");
    QFile ownDrivers(m_home.filePath("odbcinst.ini"));
    ASSERT_TRUE(ownDrivers.open(QIODevice::WriteOnly));
    ownDrivers.write(registered);
    ownDrivers.close();
    m_environment.insert("ODBCSYSINI", m_home.path());
    const QStringList reached{"--oracle-connection",
                              "Driver={Stand PostgreSQL};Server={SID};Uid={User};Pwd={Password};"};

    EXPECT_EQ(run({"list", "--side", "oracle"}).exitCode, 3);  // the program's own string
    create(0, "n integer, s varchar(20)", {"1, 'a'", "2, 'b'"});
    const test::ProgramRun listed = run(QStringList{"list", "--side", "oracle"} + reached);
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.split('\n').contains(m_table));
    const test::ProgramRun there =
        run(QStringList{"copy", "--to", "sqlanywhere", "--verify", m_table} + reached);
    EXPECT_EQ(there.exitCode, 0) << there.err.toStdString();
    test::dropQuietly(database(0), m_table);
    const test::ProgramRun back = run(QStringList{"copy", "--to", "oracle", "--verify", m_table} + reached);
    EXPECT_EQ(back.exitCode, 0) << back.err.toStdString();
    EXPECT_EQ(rowCount(0), 2);
    // Oracle's RENAME reaches the server, which is not Oracle, and refuses it with its code.
    const test::ProgramRun renamed =
        run(QStringList{"rename", "--side", "oracle", m_table, "other"} + reached);
    EXPECT_TRUE(renamed.err.contains("SQLSTATE 42601")) << renamed.err.toStdString();
    const test::ProgramRun dropped = run(QStringList{"drop", "--side", "oracle", m_table} + reached);
    EXPECT_EQ(dropped.out, m_table + "\tdropped\n") << dropped.err.toStdString();
    // The password is in neither the output nor the log.
    for (const QString& text : {listed.out + listed.err + there.out + there.err + dropped.err, logText()}) {
        EXPECT_FALSE(text.contains(test::kStandOraclePassword));
    }
}

// Settings as users write them: a template in the file without quotes reaches its driver whole
// (Qt's reader would end it at the first ";"), one without {Password} is warned of, and a
// folder in the file's place is said once while the options still connect.
TEST_F(CommandLine, SettingsAsUsersWriteThem) {
    QFile settings(m_settingsFile);
    ASSERT_TRUE(settings.open(QIODevice::Append));
    settings.write(
        "OracleConnectionString=Driver={Microsoft ODBC for Oracle};Server={SID};Uid={User};"
        "Pwd={Password};\n");
    settings.close();
    const test::ProgramRun listed = run({"list", "--side", "oracle"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.err, "");

    const test::ProgramRun warned = run({"list", "--side", "oracle", "--oracle-connection",
                                         "Driver={Microsoft ODBC for Oracle};Server={SID};"});
    EXPECT_TRUE(warned.err.contains("template has no {User}, {Password}")) << warned.err.toStdString();

    ASSERT_TRUE(settings.remove());
    ASSERT_TRUE(QDir().mkdir(m_settingsFile));
    const test::ProgramRun folder = run({"list", "--sid", test::standOracleServer(), "--user",
                                         test::kStandOracleUser, "--dsn", m_dataSource});
    EXPECT_EQ(folder.exitCode, 0) << folder.err.toStdString();
    EXPECT_EQ(folder.err, "tablewright: warning: the settings file " + m_settingsFile +
                              " is a folder; the remembered values are not used\n");
}

// The password never shows, even where the driver quotes it: given where the host goes it is
// the name the driver could not look up, given as the user it is the login that failed. A
// password file without a line end is refused, not read for ever.
TEST_F(CommandLine, APasswordTheDriverQuotesIsMaskedAndAnEndlessPasswordFileRefused) {
    for (const char* misplaced :
         {"Driver={Microsoft ODBC for Oracle};Server={Password};Uid={User};Pwd={Password};",
          "Driver={Microsoft ODBC for Oracle};Server={SID};Uid={Password};Pwd={User};"}) {
        const test::ProgramRun failed = run({"list", "--side", "oracle", "--oracle-connection", misplaced});
        EXPECT_EQ(failed.exitCode, 3);
        EXPECT_TRUE(failed.err.contains("\"********\"")) << failed.err.toStdString();
        EXPECT_FALSE(failed.err.contains(test::kStandOraclePassword)) << failed.err.toStdString();
    }
    const test::ProgramRun endless =
        test::runProgram({"list", "--password-file", "/dev/zero"}, m_environment);
    EXPECT_EQ(endless.exitCode, 2);
    EXPECT_TRUE(endless.err.contains("/dev/zero has no line end in its first 4096 bytes"))
        << endless.err.toStdString();
}

// Output that nobody reads any more (a pipe into a command that ended) ends the run as Ctrl+C
// does: the table being copied is finished, the next is not begun, and the log says so.
TEST_F(CommandLine, AClosedOutputEndsTheRunAsCtrlCDoes) {
    test::CreatedTables made;
    QStringList tables;
    for (const QString suffix : {"_a", "_b"}) {
        tables << m_table + suffix;
        create(0, "n integer", {"1", "2"}, tables.last());
        made.add(database(0), tables.last());
        made.add(database(1), tables.last());
    }
    const QString status = m_home.filePath("status");
    test::endOf(*start(QStringList{"copy", "--to", "sqlanywhere"} + tables,
                       {"bash", "-c", "{ \"$@\"; echo $? > " + status + "; } 2>&1 | true", "bash"}));
    QFile exit(status);
    ASSERT_TRUE(exit.open(QIODevice::ReadOnly));
    EXPECT_EQ(exit.readAll().trimmed(), "130");
    const QString log = logText();
    EXPECT_EQ(log.count(" rows read, 2 written, 0 failed"), 1) << log.toStdString();
    EXPECT_EQ(log.count("not copied, the run was stopped first"), 1) << log.toStdString();
}

// --schema lists and reads another schema's tables, --target-schema writes into one: a replace
// stages, swaps and verifies there, and the user's own schema gets nothing.
TEST_F(CommandLine, SchemasNameWhereTablesAreReadAndWritten) {
    const QString schema = m_table + "_schema";
    Connection& postgres = database(0);
    postgres.execute(QStringLiteral("CREATE SCHEMA %1").arg(quotedName(schema)));
    const struct Dropped {
        Connection& database;
        QString schema;
        ~Dropped() {
            try {
                database.execute(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quotedName(schema)));
            } catch (const std::exception&) {
            }
        }
    } dropped{postgres, schema};
    const QString inSchema = qualifiedName(schema, m_table);
    postgres.execute(QStringLiteral("CREATE TABLE %1(n integer PRIMARY KEY, t varchar(10))").arg(inSchema));
    postgres.execute(QStringLiteral("INSERT INTO %1 VALUES (1, 'a'), (2, 'b')").arg(inSchema));
    EXPECT_EQ(run({"list", "--side", "oracle", "--schema", schema}).out, m_table + "\n");
    // Without a schema only the tables a statement finds by their name alone are listed; a
    // schema that holds no tables (misspelt) is said, and fails the run.
    EXPECT_FALSE(run({"list", "--side", "oracle"}).out.split('\n').contains(m_table));
    const test::ProgramRun none = run({"copy", "--to", "sqlanywhere", "--all", "--schema", schema + "_typo"});
    EXPECT_EQ(none.exitCode, 1) << none.err.toStdString();
    EXPECT_TRUE(none.err.contains("has no tables in schema " + schema + "_typo")) << none.err.toStdString();

    const test::ProgramRun read =
        run({"copy", "--to", "sqlanywhere", "--schema", schema, m_table, "--faithful", "--verify"});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(rowCount(1), 2);

    database(1).execute(QStringLiteral("INSERT INTO %1 VALUES (3, 'c')").arg(quotedName(m_table)));
    const test::ProgramRun written = run({"copy", "--to", "oracle", "--target-schema", schema, m_table,
                                          "--overwrite", "yes", "--faithful", "--verify", "--json"});
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(firstTableOf(written)["verification"].toObject()["matches"].toBool())
        << written.out.toStdString();
    EXPECT_EQ(postgres.openRecordset(SelectAllSql(m_table, schema))->recordCount(), 3);
    const auto tables = postgres.openRecordset(
        QStringLiteral("SELECT schemaname FROM pg_tables WHERE tablename LIKE '%1%%'").arg(m_table));
    QStringList schemas;
    for (; !tables->eof(); tables->moveNext()) schemas << tables->field(0).value.toString();
    EXPECT_EQ(schemas, QStringList{schema});
}
