// The command line's pure parts: reading the arguments, comparing a copy with its source, and
// the list it fills. The runs against the stand are in the integration tests.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QRegularExpression>
#include <vector>

#include "cli/CommandOptions.h"
#include "cli/ProgressLine.h"
#include "cli/RunSummary.h"
#include "cli/Terminal.h"
#include "cli/TerminalFrontEnd.h"
#include "db/AdoType.h"
#include "shell/ReportLines.h"
#include "shell/SortedTableList.h"
#include "shell/TableVerdict.h"
#include "support/FakeConnection.h"
#include "transfer/CopyVerifier.h"
#include "transfer/TablePlan.h"

using namespace tw;

TEST(CommandLineArguments, UsageErrorsEndInTwoAndHelpInZero) {
    struct Case {
        std::vector<const char*> arguments;
        int exitCode;
    };
    const std::vector<Case> cases{
        {{"copy", "--to", "oracle", "T"}, 0},
        {{"copy", "T"}, 2},                           // no --to
        {{"copy", "--from", "sqlanywhere", "T"}, 0},  // into the other side
        {{"copy", "--to", "dsn:m", "T"}, 2},          // from where?
        {{"copy", "--from", "odbc:DSN=x", "--to", "dsn:m", "T"}, 0},
        {{"copy", "--from", "dsn:m", "--to", "dsn:m", "T"}, 2},  // into itself
        {{"copy", "--from", "dsn:m", "--to", "dsn:m", "--into", "U", "T"}, 0},
        {{"list", "--side", "dsn:"}, 2},
        {{"copy", "--to", "oracle"}, 2},                // no table and no --all
        {{"copy", "--to", "oracle", "--all", "T"}, 2},  // both
        {{"copy", "--to", "mysql", "T"}, 2},            // no such side
        {{"copy", "--to", "oracle", "--overwrite", "maybe", "T"}, 2},
        {{"copy", "--to", "oracle", "--where", "n > 1", "T"}, 0},
        {{"copy", "--to", "oracle", "--where", "n > 1", "T", "U"}, 2},  // --where takes one table
        {{"copy", "--to", "oracle", "--where", "n > 1", "T*"}, 2},
        {{"copy", "--to", "oracle", "--where", "n > 1", "--all"}, 2},
        // A row condition stays one condition of the program's SELECT.
        {{"copy", "--to", "oracle", "--where", "1=1) x; DROP TABLE v; SELECT COUNT(*) FROM (SELECT 1", "T"},
         2},
        {{"copy", "--to", "oracle", "--where", "t = 'a;b'", "T"}, 0},
        {{"copy", "--to", "oracle", "--into", "U", "T"}, 0},
        {{"copy", "--to", "oracle", "--into", "U", "T", "V"}, 2},  // --into takes one table
        {{"copy", "--to", "oracle", "--mode", "append", "T"}, 0},
        {{"copy", "--to", "oracle", "--mode", "merge", "T"}, 2},
        {{"copy", "--to", "oracle", "--mode", "truncate", "--in-place", "T"}, 2},  // a replace's
        {{"copy", "--to", "oracle", "--mode", "append", "--allow-partial-load", "T"}, 0},
        {{"copy", "--to", "oracle", "--allow-partial-load", "T"}, 2},  // a load's, not a replace's
        {{"rename", "--side", "oracle", "OLD"}, 2},                    // no new name
        {{"drop", "T"}, 2},                                            // no side
        {{"list", "--password", "secret"}, 2},                         // would show in the process list
        {{"list", "--password-file", "f", "--password-env", "V"}, 2},
        {{"frobnicate"}, 2},
        {{"--help"}, 0},
        {{"copy", "--help"}, 0},
        {{"drop", "--version"}, 0},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"tablewright"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const cli::ParsedCommand parsed = cli::parseCommand(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(parsed.exitCode, c.exitCode) << c.arguments.front() << ": " << parsed.error.toStdString();
        EXPECT_EQ(parsed.options.has_value(), c.exitCode == 0 && parsed.output.isEmpty());
    }
}

// The settings file's BatchRows, FaithfulTables and ReplaceInPlace are the copy's defaults; its
// options override them either way. Without them a copy is typed.
TEST(CommandLineArguments, SettingsGiveACopysDefaultsAndItsOptionsOverrideThem) {
    const cli::CommandDefaults none;
    const cli::CommandDefaults set{250, true, true};
    const cli::CommandDefaults plain{1000, false, false};
    struct Case {
        std::vector<const char*> options;
        cli::CommandDefaults defaults;
        int batchRows;
        bool faithful, inPlace;
    };
    const std::vector<Case> cases{
        {{}, none, 1000, true, false},
        {{"--plain"}, none, 1000, false, false},
        {{}, plain, 1000, false, false},
        {{"--faithful"}, plain, 1000, true, false},
        {{}, set, 250, true, true},
        {{"--batch", "5", "--no-faithful", "--no-in-place"}, set, 5, false, false},
        {{"--batch", "1", "--faithful", "--in-place"}, none, 1, true, true},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"tablewright", "copy", "--to", "oracle", "T"};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        const cli::ParsedCommand parsed =
            cli::parseCommand(static_cast<int>(argv.size()), argv.data(), c.defaults);
        ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
        EXPECT_EQ(parsed.options->batchRows, c.batchRows);
        EXPECT_EQ(parsed.options->faithful, c.faithful);
        EXPECT_EQ(parsed.options->inPlace, c.inPlace);
    }
}

TEST(CommandLineArguments, OnlyCommandsHelpAndVersionLeaveTheWindowsClosed) {
    const auto wants = [](std::vector<const char*> arguments) {
        arguments.insert(arguments.begin(), "tablewright");
        return cli::wantsCommandLine(static_cast<int>(arguments.size()), arguments.data());
    };
    EXPECT_FALSE(wants({}));
    EXPECT_FALSE(wants({"-platform", "offscreen"}));  // Qt's own options open the windows
    EXPECT_TRUE(wants({"list"}));
    EXPECT_TRUE(wants({"--version"}));
    EXPECT_TRUE(wants({"cpy"}));  // a mistyped command is a usage error, not a window
}

namespace {

// A verifier over the fake's tables "s" (the source) and "t" (the target), which has seen the
// copy read every row of "s".
// The columns are of the given kinds, or of the kinds the plain copy gives them in the target.
std::unique_ptr<CopyVerifier> verifierAfterReading(test::FakeConnectionFactory& connections,
                                                   const Dialect& target,
                                                   std::optional<QList<ColumnKind>> kinds = std::nullopt) {
    auto verifier = std::make_unique<CopyVerifier>(connections, ConnectionTarget::dataSource("a"),
                                                   ConnectionTarget::dataSource("b"));
    auto source = connections.create();
    source->open(ConnectionTarget::dataSource("a"));
    auto rows = source->openRecordset(SelectAllSql("s"));
    verifier->tableCreated("s", kinds ? *kinds : plainPlan(target, *rows).kinds());
    for (; !rows->eof(); rows->moveNext()) verifier->rowRead(*rows);
    return verifier;
}

const QByteArray kLongBytes(200000, '\x5a');

}  // namespace

TEST(CopyVerification, ComparesValuesAsTheCopyTreatsThem) {
    struct Case {
        int adoType;
        Variant source;
        Variant target;
        bool matches;
    };
    const std::vector<Case> cases{
        {AdoType::Numeric, QString("10.50"), QString("10.5"), true},
        {AdoType::Numeric, QString("-0.0"), QString("0"), true},
        {AdoType::Numeric, QString("1000"), QString("1e3"), true},
        {AdoType::Numeric, QString("12345678901234567890"), QString("1.23456789012346e+19"), false},
        {AdoType::VarChar, QString("10.50"), QString("10.5"), false},  // text exactly
        {AdoType::VarChar, QString("a "), QString("a"), false},
        {AdoType::VarChar, QString(""), Variant(), true},  // the empty text is written as NULL
        {AdoType::LongVarBinary, Variant::binary(QByteArray::fromHex("00ff10")), QString("X'00FF10'"), true},
        {AdoType::LongVarBinary, Variant::binary(QByteArray::fromHex("00ff10")),
         Variant::binary(QByteArray::fromHex("00ff")), false},
        // A literal too long for a pattern to read.
        {AdoType::LongVarBinary, Variant::binary(kLongBytes),
         QString("X'" + kLongBytes.toHex().toUpper() + "'"), true},
        {AdoType::LongVarBinary, Variant::binary(kLongBytes), QString("X'" + kLongBytes.toHex() + "0'"),
         false},
    };
    for (const Case& c : cases) {
        test::FakeConnectionFactory connections;
        const QList<Field> fields{{"v", c.adoType, {}}};
        connections.tables[SelectAllSql("s")] = {fields, {{c.source}}};
        connections.tables[SelectAllSql("t")] = {fields, {{c.target}}};
        const auto verifier = verifierAfterReading(connections, sqlAnywhereDialect());
        EXPECT_EQ(verifier->tableCopied("s", "t")->matches, c.matches)
            << c.source.toString().toStdString() << " / " << c.target.toString().toStdString();
    }
}

// A faithful copy's columns compare by their type: floating point to the 15 digits every
// driver reads back, logical values by their truth, moments by their instant and fraction.
TEST(CopyVerification, ComparesTypedValuesByTheirType) {
    const struct {
        ColumnKind kind;
        Variant source;
        Variant target;
        bool matches;
    } cases[] = {
        // A double by its every digit: reading one no longer loses any.
        {ColumnKind::Float, "0.30000000000000004", "0.3", false},
        {ColumnKind::Float, "0.10000000000000001", "0.1", true},
        {ColumnKind::Float, "1e+20", "100000000000000000000", true},
        {ColumnKind::Float, "0.1", "0.2", false},
        {ColumnKind::Float, "0.30000000000001", "0.3", false},
        {ColumnKind::Logical, "1", "t", true},
        {ColumnKind::Logical, "false", "0", true},
        {ColumnKind::Logical, "1", "0", false},
        {ColumnKind::Moment, "2024-01-02", "2024-01-02 00:00:00", true},
        {ColumnKind::Moment, "2024-01-02 10:11:12.500", "2024-01-02T10:11:12.5", true},
        {ColumnKind::Moment, "2024-01-02 10:11:12.5", "2024-01-02 10:11:12.05", false},
        {ColumnKind::Moment, "10:11:12", "10:11:12.000", true},
        {ColumnKind::Moment, "2024-01-02 10:11:12", "2024-01-02 10:11:13", false},
        // What drivers made of dates they could not hold is no longer taken for them.
        {ColumnKind::Moment, "10000-01-01", "1000-00-00", false},
        {ColumnKind::Moment, "10000-01-01", "10000-01-01 00:00:00", true},
        {ColumnKind::Moment, "0044-03-15 BC", "0044-03-15", false},
        {ColumnKind::Moment, "0044-03-15 BC", "0044-03-15 00:00:00 BC", true},
        {ColumnKind::Moment, "infinity", "9999-12-31 23:59:59", false},
        {ColumnKind::Moment, "0000-00-00 00:00:00", "0000-00-00 00:00:00.000000", true},
        {ColumnKind::Moment, "2024-01-00", "2024-01-00 00:00:01", false},
        {ColumnKind::Moment, "-infinity", "-Infinity", true},
        // An instant by its moment in UTC, across the day; without its offset it is another value.
        {ColumnKind::Moment, "2024-10-27 02:30:00+02", "2024-10-27 00:30:00+00", true},
        {ColumnKind::Moment, "2024-10-27 02:30:00+02", "2024-10-27 02:30:00+01", false},
        {ColumnKind::Moment, "2024-10-27 01:30:00+05:30", "2024-10-26T20:00:00Z", true},
        {ColumnKind::Moment, "2024-10-27 02:30:00+02", "2024-10-27 02:30:00", false},
        {ColumnKind::Text, "12.50", "12.5", false},
    };
    for (const auto& c : cases) {
        test::FakeConnectionFactory connections;
        const QList<Field> fields{{"v", AdoType::VarChar, {}}};
        connections.tables[SelectAllSql("s")] = {fields, {{c.source}}};
        connections.tables[SelectAllSql("t")] = {fields, {{c.target}}};
        const auto verifier =
            verifierAfterReading(connections, sqlAnywhereDialect(), QList<ColumnKind>{c.kind});
        EXPECT_EQ(verifier->tableCopied("s", "t")->matches, c.matches)
            << c.source.toString().toStdString() << " / " << c.target.toString().toStdString();
    }
}

TEST(CopyVerification, RowOrderDoesNotCountAndDifferencesNameTheirRows) {
    test::FakeConnectionFactory connections;
    const QList<Field> fields{{"n", AdoType::Integer, {}}, {"s", AdoType::VarChar, {}}};
    connections.tables[SelectAllSql("s")] = {fields,
                                             {{QString("1"), QString("a")}, {QString("2"), QString("b")}}};
    const auto verifier = verifierAfterReading(connections, oracleDialect());

    connections.tables[SelectAllSql("t")] = {fields,
                                             {{QString("2"), QString("b")}, {QString("1.0"), QString("a")}}};
    EXPECT_TRUE(verifier->tableCopied("s", "t")->matches);

    connections.tables[SelectAllSql("t")] = {fields,
                                             {{QString("2"), QString("b")}, {QString("1"), QString("A")}}};
    const Verification changed = *verifier->tableCopied("s", "t");
    EXPECT_FALSE(changed.matches);
    EXPECT_EQ(changed.sourceRows, 2);
    EXPECT_EQ(changed.targetRows, 2);
    ASSERT_EQ(changed.differences.size(), 2);
    EXPECT_TRUE(changed.differences[0].onlyInSource);
    EXPECT_EQ(changed.differences[0].values, QStringList({"1", "a"}));
    EXPECT_EQ(changed.differences[1].values, QStringList({"1", "A"}));
}

// Appended to, the table is compared by what the copy added: its staged rows, read before they
// went in, and the number the load added. Rows of the table's own, or another session's, count
// for nothing: a row a trigger dropped is missing though another session added the same.
TEST(CopyVerification, AnAppendedTableIsComparedByTheRowsItAdded) {
    const QList<Field> fields{{"n", AdoType::Integer, {}}, {"s", AdoType::VarChar, {}}};
    const QList<Variant> own{QString("9"), QString("old")};
    const QList<Variant> a{QString("1"), QString("a")};
    const QList<Variant> b{QString("2"), QString("b")};
    const struct {
        const char* what;
        QList<QList<Variant>> staged;
        qint64 added;
        QList<QList<Variant>> after;  // the table once loaded
        bool matches;
        qint64 targetRows;
        QStringList missing;
    } cases[] = {
        {"every row", {b, a}, 2, {own, b, a}, true, 2, {}},
        {"every row, not counted", {b, a}, -1, {own, b, a}, true, 2, {}},
        {"a row dropped, the same added by another session", {b, a}, 1, {own, b, a}, false, 1, {}},
        {"a row changed",
         {b, {QString("1"), QString("A")}},
         2,
         {own, b, {QString("1"), QString("A")}},
         false,
         2,
         {"1 | a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeConnectionFactory connections;
        connections.tables[SelectAllSql("s")] = {fields, {a, b}};
        connections.tables[SelectAllSql("t")] = {fields, {own}};
        const auto verifier = verifierAfterReading(connections, oracleDialect());
        verifier->rowsGoIntoExisting("t", {"n", "s"}, true);
        connections.tables[SelectAllSql("staged")] = {fields, c.staged};
        verifier->rowsStaged("staged", {"n", "s"});
        verifier->rowsAdded(c.added);
        connections.tables[SelectAllSql("t")] = {fields, c.after};
        const Verification verification = *verifier->tableCopied("s", "t");
        EXPECT_EQ(verification.matches, c.matches);
        EXPECT_EQ(verification.targetRows, c.targetRows);
        QStringList missing;
        for (const RowDifference& difference : verification.differences) {
            EXPECT_TRUE(difference.onlyInSource);
            missing << difference.values.join(" | ");
        }
        EXPECT_EQ(missing, c.missing);
    }
}

// A typed copy keeps an empty text and empty bytes where the target holds them: a target holding
// them matches with no known change, and NULL in their place differs. The plain copy writes
// both as NULL and names both as known changes.
TEST(CopyVerification, EmptyValuesKeptOrWrittenAsNullAreTold) {
    const Variant null;
    const Variant noBytes = Variant::binary({});
    const struct {
        const char* what;
        bool kept;
        QList<Variant> target;
        bool matches;
        QStringList known;
    } cases[] = {
        {"kept, and held", true, {"1", "", noBytes}, true, {}},
        {"kept, but NULL in the target", true, {"1", null, null}, false, {}},
        {"written as NULL",
         false,
         {"1", null, null},
         true,
         {"1 empty text as NULL", "1 empty binary value as NULL"}},
        {"written as NULL, but held", false, {"1", "", noBytes}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeConnectionFactory connections;
        const QList<Field> fields{
            {"n", AdoType::Integer, {}}, {"v", AdoType::VarChar, {}}, {"b", AdoType::LongVarBinary, {}}};
        connections.tables[SelectAllSql("s")] = {fields, {{"1", "", noBytes}}};
        connections.tables[SelectAllSql("t")] = {fields, {c.target}};
        auto verifier = std::make_unique<CopyVerifier>(connections, ConnectionTarget::dataSource("a"),
                                                       ConnectionTarget::dataSource("b"));
        auto source = connections.create();
        source->open(ConnectionTarget::dataSource("a"));
        auto rows = source->openRecordset(SelectAllSql("s"));
        verifier->tableCreated("s", plainPlan(sqliteDialect(), *rows).kinds());
        verifier->emptyValuesKept(c.kept);
        for (; !rows->eof(); rows->moveNext()) verifier->rowRead(*rows);
        const Verification verification = *verifier->tableCopied("s", "t");
        EXPECT_EQ(verification.matches, c.matches);
        EXPECT_EQ(verification.knownChanges, c.known);
    }
}

// The copy writes an empty text as NULL: a target holding NULL just there matches and says how
// many; a NULL for a text that was not empty, or an empty text the copy never writes, differs.
TEST(CopyVerification, AnEmptyTextAsNullIsAKnownChangeAndNoOtherNullIs) {
    const Variant null;
    const struct {
        const char* what;
        QList<QList<Variant>> target;
        bool matches;
        QStringList differences;  // the target's rows shown
    } cases[] = {
        {"NULL for each empty text", {{"1", null}, {"2", null}, {"3", null}, {"4", "d"}}, true, {}},
        {"NULL for a text", {{"1", null}, {"2", null}, {"3", null}, {"4", null}}, false, {"4 | NULL"}},
        {"an empty text kept", {{"1", ""}, {"2", null}, {"3", null}, {"4", "d"}}, false, {"1 | ''"}},
        {"an empty text for NULL", {{"1", null}, {"2", null}, {"3", ""}, {"4", "d"}}, false, {"3 | ''"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeConnectionFactory connections;
        const QList<Field> fields{{"n", AdoType::Integer, {}}, {"v", AdoType::VarChar, {}}};
        connections.tables[SelectAllSql("s")] = {fields, {{"1", ""}, {"2", ""}, {"3", null}, {"4", "d"}}};
        connections.tables[SelectAllSql("t")] = {fields, c.target};
        const Verification verification =
            *verifierAfterReading(connections, oracleDialect())->tableCopied("s", "t");
        EXPECT_EQ(verification.matches, c.matches);
        EXPECT_EQ(verification.knownChanges,
                  c.matches ? QStringList{"2 empty texts as NULL"} : QStringList());
        QStringList shown;
        for (const RowDifference& difference : verification.differences) {
            if (!difference.onlyInSource) shown << difference.values.join(" | ");
        }
        EXPECT_EQ(shown, c.differences);
        cli::TableResult result{"s", cli::TableResult::Status::Copied, {}};
        result.outcome.verification = verification;
        EXPECT_EQ(cli::summaryTable({result}, true).contains(" yes (2 empty texts as NULL)\n"), c.matches);
    }
}

// A differing value of megabytes is shown by its beginning, its length and a digest, never whole.
TEST(CopyVerification, LongDifferingValuesAreShownShortened) {
    test::FakeConnectionFactory connections;
    const QList<Field> fields{{"t", AdoType::LongVarChar, {}}, {"b", AdoType::LongVarBinary, {}}};
    const QString text = QString(100000, QLatin1Char('a'));
    connections.tables[SelectAllSql("s")] = {fields, {{text, Variant::binary(kLongBytes)}}};
    const auto verifier = verifierAfterReading(connections, sqlAnywhereDialect());
    connections.tables[SelectAllSql("t")] = {fields, {{text + "b", Variant::binary(kLongBytes)}}};
    const Verification changed = *verifier->tableCopied("s", "t");
    ASSERT_EQ(changed.differences.size(), 2);
    const QStringList& shown = changed.differences[0].values;
    EXPECT_EQ(shown[0],
              QString(32, QLatin1Char('a')) + " … (100,000 characters, SHA-256 " +
                  QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(16) +
                  "…)");
    EXPECT_TRUE(shown[1].startsWith("0x5a5a")) << shown[1].toStdString();
    EXPECT_TRUE(shown[1].contains("(200,000 bytes, SHA-256 ")) << shown[1].toStdString();
    EXPECT_LT(shown[1].size(), 120);
    EXPECT_NE(changed.differences[1].values[0], shown[0]);  // the digests tell them apart
}

TEST(CommandLineList, KeepsTheWindowsOrderAndItsCurrentItem) {
    SortedTableList list;
    for (const char* name : {"b", "C", "a", "B"}) list.addItem(name);
    EXPECT_EQ(list.items(), QStringList({"a", "B", "b", "C"}));
    list.setCurrentIndex(2);
    list.setSelected(2, true);
    list.addItem("A");  // before the current item: it moves along
    EXPECT_EQ(list.text(list.currentIndex()), "b");
    list.removeItem(0);
    EXPECT_EQ(list.text(list.currentIndex()), "b");
    EXPECT_TRUE(list.isSelected(list.currentIndex()));
}

// Names are written one to a line: their control characters become escapes, all else stays.
TEST(CommandLineReports, ControlCharactersInNamesBecomeEscapes) {
    const QList<std::pair<QString, QString>> cases{
        {"EMP", "EMP"},
        {"two\nlines", "two\\nlines"},
        {"tab\there\r", "tab\\there\\r"},
        {QString("nul") + QChar(0) + "\x01\x7f", "nul\\x00\\x01\\x7f"},
        {QString("sep") + QChar(0x2028), "sep\\u2028"},
        {"Bücher 😀 \\n", "Bücher 😀 \\n"},  // a backslash is a character like any other
    };
    for (const auto& [name, shown] : cases) EXPECT_EQ(visibleText(name), shown);

    cli::TableResult result;
    result.table = result.outcome.table = "a\nb";
    result.status = cli::TableResult::Status::Copied;
    const QString summary = cli::summaryTable({result}, false);
    EXPECT_EQ(summary.count('\n'), 3) << summary.toStdString();  // heading, table, totals
    EXPECT_TRUE(summary.contains("\na\\nb   copied")) << summary.toStdString();
    EXPECT_TRUE(outcomeLine(result.outcome).startsWith("a\\nb: "));
}

TEST(CommandLineProgress, SaysRateAndTimeLeftOnceThereIsARate) {
    EXPECT_EQ(cli::progressLine("EMP", 1, 5000, 0.1), "EMP  1 of 5,000 rows");
    EXPECT_EQ(cli::progressLine("EMP", 1234, 5000, 2.0), "EMP  1,234 of 5,000 rows  617 rows/s  0:07 left");
    EXPECT_EQ(cli::progressLine("EMP", 6000, 5000, 2.0), "EMP  6,000 of 5,000 rows  3,000 rows/s");
}

// Several tables' lines are redrawn in place: back up to the block's first line, cleared to the
// end of the screen, the cursor left at the end of the last line.
TEST(CommandLineProgress, LinesOfTablesCopiedAtOnceAreRedrawnInPlace) {
    struct Case {
        int drawn;
        QStringList lines;
        QString sent;
    };
    const QList<Case> cases{
        {0, {"A  1 rows"}, "\r\x1b[JA  1 rows"},
        {1, {"A  2 rows", "B  1 rows"}, "\r\x1b[JA  2 rows\nB  1 rows"},
        {3, {"B  9 rows"}, "\r\x1b[2A\x1b[JB  9 rows"},
        {2, {}, "\r\x1b[1A\x1b[J"},
    };
    for (const Case& c : cases) EXPECT_EQ(cli::redrawnBlock(c.drawn, c.lines), c.sent) << c.drawn;
}

// One verdict a table: the words the windows' summary and --json give it, the terminal's status,
// and whether the heading and the totals count it as copied, all from the same outcome. A table
// with refused rows is never "copied" in one place and not counted in another.
TEST(TableVerdict, EveryFrontEndSaysTheSameOfATable) {
    const auto outcome = [](auto change) {
        TableOutcome made;
        made.table = "T";
        made.created = true;
        made.rowsRead = 4;
        made.rowsWritten = 4;
        change(made);
        return made;
    };
    const struct {
        const char* what;
        TableOutcome outcome;
        QString said;
        const char* status;
        bool copied;
        const char* shown;  // the terminal summary's status
    } cases[] = {
        {"whole", outcome([](TableOutcome&) {}), "copied", "copied", true, "copied"},
        {"every row refused", outcome([](TableOutcome& o) { o.rowsWritten = 0, o.rowsFailed = 4; }),
         "copied in part: 4 rows refused", "failed", false, "failed"},
        {"rows refused", outcome([](TableOutcome& o) { o.rowsWritten = 1, o.rowsFailed = 3; }),
         "copied in part: 3 rows refused", "failed", false, "in part"},
        {"a row unread", outcome([](TableOutcome& o) { o.incomplete = true; }), "copied in part", "failed",
         false, "in part"},
        {"stopped", outcome([](TableOutcome& o) { o.stopped = o.incomplete = true; }),
         "copied in part: the transfer was stopped", "stopped", false, "stopped"},
        {"a row the table did not take",
         outcome([](TableOutcome& o) { o.rowsWritten = 3, o.rowsFailed = 1, o.rowsNotLoaded = 1; }),
         "copied in part: the table took 3 of the 4 rows loaded into it", "failed", false, "in part"},
        {"the old table kept",
         outcome([](TableOutcome& o) { o.created = false, o.oldTableKept = true, o.rowsWritten = 0; }),
         "not replaced: not every row was copied", "failed", false, "failed"},
        {"not made", outcome([](TableOutcome& o) { o.created = false, o.rowsWritten = 0; }), "not copied",
         "failed", false, "failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(verdictText(c.outcome), c.said);
        EXPECT_EQ(isCopied(verdictOf(c.outcome)), c.copied);
        cli::Terminal terminal;
        cli::TerminalFrontEnd front(terminal, cli::Overwrite::Yes, "SQLite");
        front.tableFinished(c.outcome);
        ASSERT_EQ(front.results().size(), 1);
        EXPECT_EQ(cli::statusName(front.results()[0].status), c.status);
        EXPECT_EQ(front.anythingFailed(), !c.copied);
        const QString summary = cli::summaryTable(front.results(), false);
        EXPECT_TRUE(summary.contains(QStringLiteral("%1 of 1 copied").arg(c.copied ? 1 : 0)));
        EXPECT_TRUE(summary.contains(
            QRegularExpression(QStringLiteral("^T +%1  ").arg(c.shown), QRegularExpression::MultilineOption)))
            << summary.toStdString();
        EXPECT_TRUE(
            cli::summaryJson("copy", front.results(), {}, 1).contains("\"verdict\": \"" + c.said + "\""));
    }
}

// A replace stopped before its last row keeps the old table: the windows say it was not
// replaced, the terminal that it was stopped, and neither counts it as copied.
TEST(TableVerdict, AStoppedReplaceIsStoppedAndKeepsTheOldTablesWords) {
    TableOutcome outcome;
    outcome.table = "T";
    outcome.stopped = outcome.incomplete = outcome.oldTableKept = true;
    outcome.rowsRead = outcome.rowsWritten = 2;
    EXPECT_EQ(verdictOf(outcome), TableVerdict::Stopped);
    EXPECT_EQ(verdictText(outcome), "not replaced: the transfer was stopped before its last row");
    cli::Terminal terminal;
    cli::TerminalFrontEnd front(terminal, cli::Overwrite::Yes, "SQLite");
    front.tableFinished(outcome);
    EXPECT_EQ(front.results()[0].status, cli::TableResult::Status::Stopped);
    EXPECT_TRUE(cli::summaryTable(front.results(), false).contains("0 of 1 copied"));
}

// Another copy into the same table at the same time: a replace's words for a replace, an
// append's (or a truncate's) for rows put into the table, which replace nothing.
TEST(TableVerdict, AnotherCopyAtTheSameTimeIsSaidInTheWordsOfTheWrite) {
    for (const bool intoExisting : {false, true}) {
        TableOutcome outcome;
        outcome.table = "T";
        outcome.created = true;
        outcome.intoExisting = intoExisting;
        outcome.metOtherCopy = "T~other";
        const QString line = otherCopyLine(outcome);
        EXPECT_EQ(line.contains("replaced"), !intoExisting) << line.toStdString();
        EXPECT_EQ(line.contains("putting rows into table T"), intoExisting) << line.toStdString();
    }
}
