// The command line as it is used for a day's work: typed tables unless asked otherwise, failures
// that name their step, names that may have been meant, tables in the list's order with totals,
// row counts, and on a terminal the reading back and the questions for all the rest.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

class CommandLineDay : public test::CommandLineRig {
protected:
    // The program run on a terminal of its own (util-linux's script), typing the input; what the
    // terminal showed, standard output and error together.
    test::ProgramRun onTerminal(QStringList arguments, const QString& typed) {
        arguments << "--password-env"
                  << "TW_TEST_PASSWORD";
        QString command = QStringLiteral(TW_PROGRAM);
        for (const QString& argument : arguments)
            command += " '" + QString(argument).replace("'", "'\\''") + "'";
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : m_environment.keys()) environment.insert(name, m_environment.value(name));
        program.setProcessEnvironment(environment);
        program.start("script", {"-qec", command, "/dev/null"});
        program.write(typed.toUtf8());
        program.waitForFinished(120000);
        return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()), QString()};
    }
    // Tables named after the rig's, on one side; TearDown drops the rig's own, these go here.
    void createMore(int side, const QStringList& suffixes, const QString& columns, const QStringList& rows) {
        for (const QString& suffix : suffixes) {
            create(side, columns, rows, m_table + suffix);
            m_more << std::pair{side, m_table + suffix};
        }
    }
    void TearDown() override {
        for (const auto& [side, table] : m_more) test::dropQuietly(database(side), table);
        CommandLineRig::TearDown();
    }
    QList<std::pair<int, QString>> m_more;
};

QStringList typesOf(Connection& database, const QString& table) {
    QStringList types;
    for (const ColumnShape& column : database.tableShape(table).columns) types << column.typeName.toLower();
    return types;
}

}  // namespace

// A copy keeps the source's types unless --plain, or FaithfulTables=0, asks for the windows'.
TEST_F(CommandLineDay, ACopyIsTypedUnlessPlainIsAsked) {
    create(0, "n smallint PRIMARY KEY, d date", {"1, '2024-02-29'"});
    const QStringList copy{"copy", "--to", "sqlanywhere", "--overwrite", "yes", m_table};
    ASSERT_EQ(run(copy).exitCode, 0);
    EXPECT_EQ(typesOf(database(1), m_table), (QStringList{"smallint", "date"}));
    EXPECT_EQ(database(1).tableShape(m_table).primaryKey, QStringList{"n"});

    ASSERT_EQ(run(copy + QStringList{"--plain"}).exitCode, 0);
    const QStringList plain = typesOf(database(1), m_table);
    EXPECT_NE(plain, (QStringList{"smallint", "date"}));

    SettingsStore(m_home.path())
        .save(kSettingsApplication, kSettingsSection, SettingKey::FaithfulTables, "0");
    ASSERT_EQ(run(copy).exitCode, 0);
    EXPECT_EQ(typesOf(database(1), m_table), plain);
    ASSERT_EQ(run(copy + QStringList{"--faithful"}).exitCode, 0);
    EXPECT_EQ(typesOf(database(1), m_table), (QStringList{"smallint", "date"}));
}

// A refused row is said with its table, row and step; --json keeps the windows' procedure and
// line beside the step for scripts that read them.
TEST_F(CommandLineDay, AFailureNamesItsTableRowAndStep) {
    create(1, "n integer", {"1", "'x'"});
    const test::ProgramRun refused = run({"copy", "--to", "oracle", "--plain", "--batch", "1", m_table});
    EXPECT_EQ(refused.exitCode, 1);
    const QStringList lines = refused.err.split('\n').filter("SQLSTATE");
    ASSERT_EQ(lines.size(), 1) << refused.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith("tablewright: table " + m_table + ", row 2, INSERT, SQLSTATE "))
        << lines[0].toStdString();
    EXPECT_FALSE(lines[0].contains("PushButton")) << lines[0].toStdString();

    const test::ProgramRun json =
        run({"copy", "--to", "oracle", "--plain", "--batch", "1", "--overwrite", "yes", "--json", m_table});
    const QJsonObject failure =
        QJsonDocument::fromJson(json.out.toUtf8()).object()["failures"].toArray().first().toObject();
    EXPECT_EQ(failure["step"].toString(), "INSERT");
    EXPECT_EQ(failure["procedure"].toString(), "Form2.PushButton3_Click");
    EXPECT_GT(failure["line"].toInt(), 0);
}

// A mistyped command, option or table gets the names it may have been.
TEST_F(CommandLineDay, MistypedNamesGetWhatTheyMayHaveMeant) {
    const test::ProgramRun command = run({"lsit"});
    EXPECT_EQ(command.exitCode, 2);
    EXPECT_TRUE(command.err.contains("the command lsit is not known; did you mean list?"))
        << command.err.toStdString();

    const test::ProgramRun option = run({"copy", "--to", "oracle", "--verfy", m_table});
    EXPECT_EQ(option.exitCode, 2);
    EXPECT_TRUE(option.err.contains("the option --verfy is not known; did you mean --verify?"))
        << option.err.toStdString();

    const QString name = m_table + "_customers";
    createMore(0, {"_customers"}, "n integer", {"1"});
    const test::ProgramRun table =
        run({"copy", "--to", "sqlanywhere", name.toUpper(), m_table + "_custmoers"});
    EXPECT_EQ(table.exitCode, 1);
    for (const QString& asked : {name.toUpper(), m_table + "_custmoers"}) {
        EXPECT_TRUE(table.err.contains("Oracle has no table " + asked + "; did you mean " + name + "?"))
            << table.err.toStdString();
    }
}

// The tables go in the list's order, and the summary ends with their totals.
TEST_F(CommandLineDay, TablesGoInTheListsOrderAndTheSummaryEndsWithTotals) {
    createMore(0, {"_c", "_a", "_b"}, "n integer", {"1", "2"});
    const test::ProgramRun copied =
        run({"copy", "--to", "sqlanywhere", "--overwrite", "yes", m_table + "_*"});
    ASSERT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    const QStringList lines = copied.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << copied.out.toStdString();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[1 + i].startsWith(m_table + "_" + "abc"[i])) << lines[1 + i].toStdString();
    EXPECT_TRUE(lines[4].contains(QRegularExpression("^total +3 of 3 copied +6 +6 +0 +\\d+\\.\\d\\d$")))
        << lines[4].toStdString();
}

// list --rows counts each table's rows; --json gives the same list as a document.
TEST_F(CommandLineDay, ListCountsRowsAndSpeaksJson) {
    create(0, "n integer", {"1", "2", "3"});
    EXPECT_TRUE(run({"list", "--side", "oracle", "--rows"}).out.split('\n').contains(m_table + "\t3"));
    const QJsonObject document =
        QJsonDocument::fromJson(run({"list", "--side", "oracle", "--rows", "--json"}).out.toUtf8()).object();
    const QJsonArray databases = document["databases"].toArray();
    ASSERT_EQ(databases.size(), 1);
    EXPECT_EQ(databases[0]["database"].toString(), "oracle");
    bool listed = false;
    for (const QJsonValue table : databases[0]["tables"].toArray())
        listed = listed || (table["table"].toString() == m_table && table["rows"].toInt() == 3);
    EXPECT_TRUE(listed);
}

// On a terminal a verification shows its progress as the copy does.
TEST_F(CommandLineDay, AVerificationShowsItsProgressOnATerminal) {
    create(0, "n integer", {"1", "2"});
    const test::ProgramRun verified = onTerminal({"copy", "--to", "sqlanywhere", "--verify", m_table}, "");
    EXPECT_EQ(verified.exitCode, 0) << verified.out.toStdString();
    EXPECT_TRUE(verified.out.contains(m_table + " (verifying)  1 of 2 rows")) << verified.out.toStdString();
}

// The overwrite question takes "a" for every table still to be asked about, "n" for none.
TEST_F(CommandLineDay, OneAnswerOnTheTerminalServesTheRest) {
    createMore(0, {"_1", "_2"}, "n integer", {"1", "2"});
    createMore(1, {"_1", "_2"}, "n integer", {"9"});
    const QStringList copy{"copy", "--to", "sqlanywhere", m_table + "_*"};

    const test::ProgramRun none = onTerminal(copy, "n\n");
    EXPECT_EQ(none.out.count("Replace it?"), 1) << none.out.toStdString();
    EXPECT_TRUE(none.out.contains("0 of 2 copied")) << none.out.toStdString();

    const test::ProgramRun all = onTerminal(copy, "a\n");
    EXPECT_EQ(all.out.count("Replace it?"), 1) << all.out.toStdString();
    EXPECT_TRUE(all.out.contains("2 of 2 copied")) << all.out.toStdString();
    EXPECT_EQ(database(1).openRecordset(SelectAllSql(m_table + "_2"))->recordCount(), 2);
}
