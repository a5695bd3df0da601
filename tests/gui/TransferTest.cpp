// Both transfers on the tables window with recorded connections: exact statements and their
// order, the questions, the progress bar, the error boxes and what the lists hold afterwards.
#include <QGroupBox>
#include <QSignalSpy>

#include "TransferRig.h"
#include "db/AdoType.h"
#include "db/StagingName.h"
#include "support/Observed.h"
#include "ui/Form2.h"
#include "ui/ProgressBar.h"
#include "ui/TableListBox.h"

using tw::test::errorLines;
using tw::test::executed;
using tw::test::items;

namespace {

const QString kOracleOpen = "open Driver={Microsoft ODBC for Oracle};Server=db;Uid=scott;Pwd=tiger;";
const QString kSqlAnyOpen = "open Data Source=dsn";

FakeTable table(const QList<QList<Variant>>& rows) { return twoColumnTable(rows); }

}  // namespace

class TransferTest : public QObject {
    Q_OBJECT
private slots:
    void toOracleSendsExactStatementsInOrder();
    void toSqlAnywhereSendsExactStatementsInOrder();
    void progressMovesBeforeEachRowAndRestsAfterEachTable();
    void nothingCurrentOrNothingSelected();
    void overwriteAnsweredYesOrNo();
    void toOracleAsksAboutTheExactNameOnly();
    void toSqlAnywhereReplacesTheTableAsItsListWritesIt();
    void aTableThatCannotBeCreatedGetsNoRows();
    void theRowLoopEndsWithTheData();
    void aSourceThatCannotBeReadCostsOneBox();
    void aRejectedRowCostsOnlyThatRow();
    void commandsAreDisabledWhileACopyRuns();
    void aConnectionThatNeverOpenedFailsAgainAtTheClose();
    void theBoxQuotesTheStatementAsFarAsItIsComposed();
    void theSettingsKeySendsRowsInBatches();
    void aRefusedBatchGoesAgainRowByRow();
    void theLogRecordsCopiesDeletesAndRenames();
    void aLogThatCannotBeWrittenIsSaidOnceARun();
    void theBarSaysTheTableAndItsRowsWhileItCopies();
    void tablesNotReplacedAreSaidOnceAtTheEnd();
    void aListedTableTheTargetNoLongerHasGivesItsNameToTheNewOne();
    void boxesNameTheUsersTableAndTheLogKeepsTheStatementAsSent();
};

namespace {

// The table a new table's rows fill until it takes its own name, between quotes.
QString staged(const QString& table) { return "\"" + StagingName::forTable(table, 0).text() + "\""; }

}  // namespace

void TransferTest::toOracleSendsExactStatementsInOrder() {
    TransferRig rig({"Customers", "Orders"}, {});
    rig.source("Orders", table({{"7", Variant()}, {"8", "O'Brien"}}));
    rig.source("Customers", table({{"1", "Ann"}}));
    TransferRig::select(rig.sqlany, {"Customers", "Orders"});
    QList<MousePointer> pointerAtClose;
    rig.connections.onClose = [&] { pointerAtClose << rig.tables->pointer().get(); };
    QTest::mouseClick(rig.tables->PushButton3, Qt::LeftButton);

    QCOMPARE(rig.connections.log,
             QStringList(
                 {"create",
                  "create",
                  "cursor 2",
                  kOracleOpen,
                  "cursor 3",
                  kSqlAnyOpen,
                  "recordset SELECT * FROM \"Orders\"",
                  "schema 20",
                  "execute CREATE TABLE " + staged("Orders") + "(\"ID\" NUMERIC,\"NAME\" VARCHAR(2000))",
                  "execute INSERT INTO " + staged("Orders") + " VALUES('7', NULL)",
                  "execute INSERT INTO " + staged("Orders") + " VALUES('8', 'O''Brien')",
                  "execute RENAME " + staged("Orders") + " TO \"Orders\"",
                  "recordset SELECT * FROM \"Customers\"",
                  "schema 20",
                  "execute CREATE TABLE " + staged("Customers") + "(\"ID\" NUMERIC,\"NAME\" VARCHAR(2000))",
                  "execute INSERT INTO " + staged("Customers") + " VALUES('1', 'Ann')",
                  "execute RENAME " + staged("Customers") + " TO \"Customers\"",
                  "close",
                  "close",
                  "release",
                  "release"}));
    // Connections close before the pointer goes back in this direction.
    QCOMPARE(pointerAtClose, QList<MousePointer>({MousePointer::Default, MousePointer::Default}));
    QCOMPARE(items(*rig.oracle), QStringList({"Customers", "Orders"}));
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(rig.tables->pointer().get(), MousePointer::Default);
}

void TransferTest::toSqlAnywhereSendsExactStatementsInOrder() {
    TransferRig rig({}, {"EMP"});
    rig.source("EMP", table({{"1", ""}}));
    TransferRig::select(rig.oracle, {"EMP"});
    int busyAtClose = 0;
    rig.connections.onClose = [&] { busyAtClose += rig.tables->pointer().isBusy(); };
    rig.tables->PushButton4_Click();

    QCOMPARE(rig.connections.log,
             QStringList({"create", "create", "cursor 3", kOracleOpen, "cursor 2", kSqlAnyOpen,
                          "recordset SELECT * FROM \"EMP\"", "schema 20",
                          "execute CREATE TABLE " + staged("EMP") + "(\"ID\" NUMERIC,\"NAME\" TEXT);",
                          "execute INSERT INTO " + staged("EMP") + " VALUES('1', NULL)",
                          "execute ALTER TABLE " + staged("EMP") + " RENAME \"EMP\";", "close", "close",
                          "release", "release"}));
    QCOMPARE(busyAtClose, 0);
    QCOMPARE(items(*rig.sqlany), QStringList({"EMP"}));
}

void TransferTest::progressMovesBeforeEachRowAndRestsAfterEachTable() {
    TransferRig rig({"Three", "Empty"}, {});
    rig.source("Three", table({{"1", "a"}, {"2", "b"}, {"3", "c"}}));
    rig.source("Empty", table({}));
    TransferRig::select(rig.sqlany, {"Three", "Empty"});
    QList<double> positionsAtInsert;
    rig.connections.onExecute = [&](const QString& statement) {
        if (statement.startsWith("INSERT")) positionsAtInsert << rig.tables->ProgressBar1->position();
    };
    QSignalSpy moves(rig.tables->ProgressBar1, &ProgressBar::positionChanged);
    rig.tables->PushButton3_Click();

    const QList<double> shares = {1.0 / 3.0 * 100.0, 2.0 / 3.0 * 100.0, 100.0};
    QCOMPARE(positionsAtInsert, shares);
    QList<double> seen;
    for (const auto& move : moves) seen << move[0].toDouble();
    // "Three" is copied first (bottom up); "Empty" never moves the bar but is still reset.
    QCOMPARE(seen, shares + QList<double>({0.0, 0.0}));
    QCOMPARE(rig.tables->ProgressBar1->text(), QStringLiteral("Progress Bar"));
    QCOMPARE(items(*rig.oracle), QStringList({"Empty", "Three"}));
    QVERIFY(executed(rig.connections.log)
                .contains("CREATE TABLE " + staged("Empty") + "(\"ID\" NUMERIC,\"NAME\" VARCHAR(2000))"));
}

void TransferTest::nothingCurrentOrNothingSelected() {
    TransferRig rig({"A"}, {"B"});
    rig.tables->PushButton3_Click();
    rig.tables->PushButton4_Click();  // List2 was filled by hand, so it has no current item either
    QCOMPARE(rig.dialogs.shown.size(), 2);
    QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Please select a table"));
    QCOMPARE(rig.dialogs.shown[1].text, QStringLiteral("Please select a table to send."));
    QCOMPARE(rig.dialogs.shown[1].style, 0);
    QCOMPARE(rig.connections.log, QStringList({"create", "create", "release", "release", "create", "create",
                                               "release", "release"}));

    rig.dialogs.shown.clear();
    rig.connections.log.clear();
    TransferRig::select(rig.oracle, {});
    rig.tables->PushButton4_Click();
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(rig.connections.log, QStringList({"create", "create", "cursor 3", kOracleOpen, "cursor 2",
                                               kSqlAnyOpen, "close", "close", "release", "release"}));
}

void TransferTest::overwriteAnsweredYesOrNo() {
    // Yes fills a staging table and swaps it in once its rows are there (the old table aside,
    // the new one in, the old one dropped); with ReplaceInPlace=1 the old table is dropped
    // first, as it always was.
    const QString staging = StagingName::forTable("EMP", 0).text();
    const QString aside = StagingName::forTable("EMP", 0).asideText();
    for (const bool inPlace : {false, true}) {
        TransferRig rig({"EMP", "DEPT"}, {"DEPT", "EMP"});
        if (inPlace)
            rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::ReplaceInPlace, "1");
        rig.source("EMP", table({{"1", "x"}}));
        rig.source("DEPT", table({{"2", "y"}}));
        TransferRig::select(rig.sqlany, {"EMP", "DEPT"});
        rig.dialogs.buttons << MsgBoxResult::Yes << MsgBoxResult::No;  // EMP first (bottom up)
        rig.tables->PushButton3_Click();

        QCOMPARE(rig.dialogs.shown.size(), 2);
        QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Would you like to overwrite EMP?"));
        QCOMPARE(rig.dialogs.shown[0].caption, QStringLiteral("Overwrite?"));
        QCOMPARE(rig.dialogs.shown[0].style, MsgBoxStyle::YesNo);
        QCOMPARE(rig.dialogs.shown[1].text, QStringLiteral("Would you like to overwrite DEPT?"));
        const QString columns = "(\"ID\" NUMERIC,\"NAME\" VARCHAR(2000))";
        QCOMPARE(
            executed(rig.connections.log),
            inPlace ? QStringList({"DROP TABLE \"EMP\"", "CREATE TABLE \"EMP\"" + columns,
                                   "INSERT INTO \"EMP\" VALUES('1', 'x')"})
                    : QStringList({"CREATE TABLE \"" + staging + "\"" + columns,
                                   "INSERT INTO \"" + staging + "\" VALUES('1', 'x')",
                                   "RENAME \"EMP\" TO \"" + aside + "\"",
                                   "RENAME \"" + staging + "\" TO \"EMP\"", "DROP TABLE \"" + aside + "\""}));
        QCOMPARE(items(*rig.oracle), QStringList({"DEPT", "EMP"}));
    }
}

void TransferTest::toOracleAsksAboutTheExactNameOnly() {
    // Another case is another table on this side: no question, and both are listed after.
    TransferRig rig({"emp"}, {"EMP"});
    rig.source("emp", table({}));
    TransferRig::select(rig.sqlany, {"emp"});
    rig.tables->PushButton3_Click();
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(items(*rig.oracle), QStringList({"EMP", "emp"}));

    // With the exact name and a case variant listed, the question and the swap are about the
    // exact one, which is then created anew.
    TransferRig both({"EMP"}, {"EMP", "emp", "Emp"});
    both.source("EMP", table({}));
    TransferRig::select(both.sqlany, {"EMP"});
    both.dialogs.buttons << MsgBoxResult::Yes;
    both.tables->PushButton3_Click();
    QCOMPARE(both.dialogs.shown[0].text, QStringLiteral("Would you like to overwrite EMP?"));
    QVERIFY(executed(both.connections.log)
                .contains("RENAME \"EMP\" TO \"" + StagingName::forTable("EMP", 0).asideText() + "\""));
    QCOMPARE(items(*both.oracle), QStringList({"EMP", "Emp", "emp"}));
}

void TransferTest::toSqlAnywhereReplacesTheTableAsItsListWritesIt() {
    TransferRig rig({"emp"}, {"EMP"});
    rig.source("EMP", table({{"1", "x"}}));
    TransferRig::select(rig.oracle, {"EMP"});
    rig.dialogs.buttons << MsgBoxResult::Yes;
    rig.tables->PushButton4_Click();
    QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Would you like to overwrite emp?"));
    const QString staging = StagingName::forTable("EMP", 0).text();
    const QString aside = StagingName::forTable("EMP", 0).asideText();
    QCOMPARE(
        executed(rig.connections.log),
        QStringList({"CREATE TABLE \"" + staging + "\"(\"ID\" NUMERIC,\"NAME\" TEXT);",
                     "INSERT INTO \"" + staging + "\" VALUES('1', 'x')",
                     "ALTER TABLE \"emp\" RENAME \"" + aside + "\";",
                     "ALTER TABLE \"" + staging + "\" RENAME \"EMP\";", "DROP TABLE \"" + aside + "\""}));
    // The dropped table leaves the list; the new one joins it.
    QCOMPARE(items(*rig.sqlany), QStringList({"EMP"}));
}

void TransferTest::aTableThatCannotBeCreatedGetsNoRows() {
    // A table of that name stands on the target, but the list does not show it.
    TransferRig rig({}, {"EMP"});
    rig.source("EMP", table({{"1", "x"}, {"2", "y"}}));
    TransferRig::select(rig.oracle, {"EMP"});
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.startsWith("CREATE")) throw DbError("[HY000] table \"EMP\" already exists");
    };
    rig.tables->PushButton4_Click();
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({226}));
    QVERIFY(
        rig.dialogs.shown[0].text.endsWith("\r\rsql: CREATE TABLE \"EMP\"(\"ID\" NUMERIC,\"NAME\" TEXT);"));
    QCOMPARE(executed(rig.connections.log).size(), 1);  // no INSERT
    QCOMPARE(rig.sqlany->count(), 0);
    QCOMPARE(rig.tables->pointer().get(), MousePointer::Default);
}

void TransferTest::theRowLoopEndsWithTheData() {
    TransferRig rig({"T"}, {});
    FakeTable shrunk = table({{"1", "a"}, {"2", "b"}});
    shrunk.reportedCount = 5;  // rows went away between the count and the read
    rig.source("T", shrunk);
    TransferRig::select(rig.sqlany, {"T"});
    rig.tables->PushButton3_Click();
    QVERIFY(rig.dialogs.shown.isEmpty());
    QCOMPARE(executed(rig.connections.log).size(), 4);  // CREATE, two rows and the table's name
    QCOMPARE(items(*rig.oracle), QStringList({"T"}));
}

void TransferTest::aSourceThatCannotBeReadCostsOneBox() {
    TransferRig rig({"Missing", "Present"}, {});
    rig.source("Present", table({{"1", "a"}}));
    TransferRig::select(rig.sqlany, {"Missing", "Present"});
    rig.tables->PushButton3_Click();
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton3_Click"), QList<int>({152}));
    QVERIFY(!rig.dialogs.shown[0].text.contains("sql: "));  // this direction shows no statement
    QCOMPARE(items(*rig.oracle), QStringList({"Present"}));
}

void TransferTest::aRejectedRowCostsOnlyThatRow() {
    TransferRig rig({}, {"T"});
    rig.source("T", table({{"1", "a"}, {"2", "too long"}, {"3", "c"}}));
    TransferRig::select(rig.oracle, {"T"});
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.contains("too long")) throw DbError("[22001] string data, right truncated", "22001");
    };
    rig.tables->PushButton4_Click();
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({268}));
    QVERIFY(rig.dialogs.shown[0].text.endsWith("sql: INSERT INTO \"T\" VALUES('2', 'too long')"));
    QCOMPARE(executed(rig.connections.log).size(), 5);  // CREATE, three rows and the table's name
    QCOMPARE(items(*rig.sqlany), QStringList({"T"}));
}

void TransferTest::commandsAreDisabledWhileACopyRuns() {
    TransferRig rig({"T"}, {});
    rig.source("T", table({{"1", "a"}}));
    TransferRig::select(rig.sqlany, {"T"});
    QList<bool> enabledDuringCopy;
    rig.connections.onExecute = [&](const QString&) {
        enabledDuringCopy << rig.tables->PushButton1->isEnabled() << rig.tables->List2->isEnabled()
                          << rig.tables->PushButton2->isEnabled() << rig.tables->PushButton12->isEnabled();
        throw DbError("refused");
    };
    rig.tables->PushButton3_Click();
    QVERIFY(!enabledDuringCopy.isEmpty());
    QVERIFY(!enabledDuringCopy.contains(true));
    for (QWidget* command : std::initializer_list<QWidget*>{
             rig.tables->PushButton1, rig.tables->PushButton3, rig.tables->List1, rig.tables->List2,
             rig.tables->PushButton2, rig.tables->PushButton12}) {
        QVERIFY(command->isEnabled());
    }
}

void TransferTest::aConnectionThatNeverOpenedFailsAgainAtTheClose() {
    TransferRig rig({}, {"EMP"});
    rig.source("EMP", table({{"1", "x"}}));
    TransferRig::select(rig.oracle, {"EMP"});
    rig.connections.onOpen = [](const QString& text) {
        if (text.startsWith("Driver=")) throw DbError("[28P01] password authentication failed");
    };
    rig.tables->PushButton4_Click();
    // The open, the read of the table, and the final close of the source.
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({114, 152, 292}));
    QVERIFY(rig.dialogs.shown[2].text.startsWith("Operation is not allowed when the object is closed."));
}

void TransferTest::theBoxQuotesTheStatementAsFarAsItIsComposed() {
    TransferRig rig({}, {"EMP"});
    rig.source("EMP", table({{"1", "x"}}));
    TransferRig::select(rig.oracle, {"EMP"});
    // Events are let through before each column and before each row and value; the second
    // column's and the second value's fail.
    int events = 0;
    rig.onEvents = [&] {
        ++events;
        if (events == 2 || events == 5) throw std::runtime_error("no window");
    };
    rig.tables->PushButton4_Click();
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({158, 246}));
    QVERIFY(rig.dialogs.shown[0].text.endsWith("sql: CREATE TABLE \"EMP\"(\"ID\" NUMERIC,"));
    QVERIFY(rig.dialogs.shown[1].text.endsWith("sql: INSERT INTO \"EMP\" VALUES('1', '"));
    QVERIFY(executed(rig.connections.log).contains("INSERT INTO " + staged("EMP") + " VALUES('1', 'x')"));
}

void TransferTest::theSettingsKeySendsRowsInBatches() {
    // With 0 or 1, the rows go one by one even where batches are offered.
    for (const QString rows : {"0", "1", "2"}) {
        TransferRig rig({}, {});
        rig.connections.offersBatches = true;
        rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows, rows);
        rig.source("EMP", table({{"1", "Ann"}, {"2", ""}, {"3", "O'Brien"}}));
        rig.oracle->addItem("EMP");
        TransferRig::select(rig.oracle, {"EMP"});
        rig.tables->PushButton4_Click();
        const QStringList batches = rig.connections.log.filter("batch ");
        if (rows == "2") {
            const QString emp = StagingName::forTable("EMP", 0).text();
            QCOMPARE(batches,
                     QStringList({"batch " + emp + ": 1|Ann; 2|NULL", "batch " + emp + ": 3|O'Brien"}));
            QVERIFY(executed(rig.connections.log).filter("INSERT").isEmpty());
        } else {
            QVERIFY(batches.isEmpty());
            QCOMPARE(executed(rig.connections.log).filter("INSERT").size(), 3);
        }
    }
}

void TransferTest::aRefusedBatchGoesAgainRowByRow() {
    TransferRig rig({}, {});
    rig.connections.offersBatches = true;
    rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows, "10");
    rig.source("EMP", table({{"1", "Ann"}, {"x", "Bob"}, {"3", "Cy"}}));
    rig.oracle->addItem("EMP");
    TransferRig::select(rig.oracle, {"EMP"});
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.startsWith("batch") || statement.contains("'x'")) throw DbError("refused", "22018");
    };
    rig.tables->PushButton4_Click();
    // One box, for the refused row, with that row's statement; the others are written alone.
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({268}));
    QVERIFY(rig.dialogs.shown[0].text.contains("INSERT INTO \"EMP\" VALUES('x', 'Bob')"));
    QCOMPARE(executed(rig.connections.log).filter("INSERT").size(), 3);

    // A lost connection is said once; the batch's rows are not tried again one by one.
    rig.dialogs.shown.clear();
    rig.connections.log.clear();
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.startsWith("batch")) throw DbError("server closed the connection", "08S01");
    };
    rig.dialogs.buttons << MsgBoxResult::Yes;  // replace the table the first copy listed
    rig.tables->PushButton4_Click();
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({268}));
    QVERIFY(executed(rig.connections.log).filter("INSERT").isEmpty());
}

void TransferTest::theLogRecordsCopiesDeletesAndRenames() {
    TransferRig rig({"Customers"}, {"EMP"});
    rig.source("EMP", table({{"1", "Ann"}, {"x", "Bob"}, {"3", "Cy"}}));
    TransferRig::select(rig.oracle, {"EMP"});
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.contains("'x'")) throw DbError("refused", "22018");
    };
    rig.tables->PushButton4_Click();
    TransferRig::select(rig.sqlany, {"Customers"});
    rig.tables->PushButton1_Click();  // delete
    TransferRig::select(rig.sqlany, {"EMP"});
    rig.dialogs.answers << "STAFF";
    rig.tables->PushButton6_Click();  // rename

    const QStringList lines = rig.logLines();
    const QString values = R"(Oracle "db" as "scott", SQL Anywhere data source "dsn")";
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], "Send Table/s To Sybase iAny: " + values);
    QVERIFY2(lines[1].startsWith(
                 "  failed: table EMP, row 2, Form2.PushButton4_Click line 268, SQLSTATE 22018: refused "
                 "[INSERT INTO \"EMP\" VALUES('x', 'Bob')] (sent as [INSERT INTO " +
                 staged("EMP") + " VALUES('x', 'Bob')])"),
             qPrintable(lines[1]));
    QVERIFY2(lines[2].startsWith("  EMP: 3 rows read, 2 written, 1 failed, "), qPrintable(lines[2]));
    QCOMPARE(lines[3], "Delete Table/s, SQL Anywhere: " + values);
    QCOMPARE(lines[4], "  Customers: deleted");
    QCOMPARE(lines[5], "Rename Table, SQL Anywhere: " + values);
    QCOMPARE(lines[6], "  EMP: renamed to STAFF");
    QVERIFY(!lines.join('\n').contains("tiger"));
    QCOMPARE(QFile::permissions(rig.log.filePath()) & 0x0077, QFileDevice::Permissions());
}

void TransferTest::aLogThatCannotBeWrittenIsSaidOnceARun() {
    TransferRig rig({"Customers", "Orders"}, {"EMP"});
    QFile inTheWay(rig.configHome.filePath("state"));  // where the log's folder would be
    QVERIFY(inTheWay.open(QIODevice::WriteOnly));
    rig.source("EMP", table({{"1", "Ann"}}));
    TransferRig::select(rig.oracle, {"EMP"});
    rig.tables->PushButton4_Click();
    TransferRig::select(rig.sqlany, {"Customers", "Orders"});
    rig.tables->PushButton1_Click();

    QCOMPARE(rig.dialogs.shown.size(), 1);
    const ShownBox& box = rig.dialogs.shown[0];
    QVERIFY2(box.text.startsWith("The transfer log " + rig.log.filePath() + " cannot be written: "),
             qPrintable(box.text));
    QCOMPARE(box.style, MsgBoxStyle::Exclamation);
    QCOMPARE(box.caption, QString());  // the application title
    // The work went on.
    QCOMPARE(executed(rig.connections.log).filter("INSERT").size(), 1);
    QCOMPARE(items(*rig.sqlany), QStringList({"EMP"}));
}

void TransferTest::theBarSaysTheTableAndItsRowsWhileItCopies() {
    TransferRig rig({}, {"EMP"});
    rig.source("EMP", table({{"1", "Ann"}, {"2", "Bob"}}));
    TransferRig::select(rig.oracle, {"EMP"});
    QStringList during;
    rig.connections.onExecute = [&](const QString& statement) {
        if (statement.startsWith("INSERT")) during << rig.tables->ProgressBar1->text();
    };
    rig.tables->PushButton4_Click();
    QCOMPARE(during.value(0), "EMP  1 / 2");
    QCOMPARE(rig.tables->ProgressBar1->text(), ProgressBar::kDesignText);
}

QTEST_MAIN(TransferTest)
#include "TransferTest.moc"

void TransferTest::tablesNotReplacedAreSaidOnceAtTheEnd() {
    TransferRig rig({"A"}, {"A"});
    rig.source("A", table({{"1", "a"}}));
    TransferRig::select(rig.sqlany, {"A"});
    rig.dialogs.buttons << MsgBoxResult::Yes;
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.startsWith("INSERT")) throw DbError("server closed the connection", "08S01");
    };
    rig.tables->PushButton3_Click();
    QCOMPARE(rig.dialogs.shown.size(), 3);  // the question, the failure and the notice
    QCOMPARE(rig.dialogs.shown[2].style, MsgBoxStyle::Exclamation);
    QCOMPARE(
        rig.dialogs.shown[2].text,
        QStringLiteral(
            "These tables were not replaced; each old table is as it was:\n\nA: not every row was copied"));
    QCOMPARE(items(*rig.oracle), QStringList({"A"}));
    // A transfer in which the table was replaced says nothing more than its question.
    rig.connections.onExecute = nullptr;
    rig.dialogs.buttons << MsgBoxResult::Yes;
    rig.tables->PushButton3_Click();
    QCOMPARE(rig.dialogs.shown.size(), 4);
}

// Answered Yes for a table the list shows and the target no longer has: the failed first step of
// the swap is boxed as ever, and the new table takes the name, listed once, with no notice that
// an old table was kept. In steps (Oracle) and in one transaction (PostgreSQL).
void TransferTest::aListedTableTheTargetNoLongerHasGivesItsNameToTheNewOne() {
    for (const bool inOneTransaction : {false, true}) {
        TransferRig rig({"GHOST"}, {"GHOST", "OTHER"});
        if (inOneTransaction) rig.connections.dialect = &postgresDialect();
        rig.connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}}, {{"OTHER"}}};
        rig.source("GHOST", table({{"1", "a"}}));
        TransferRig::select(rig.sqlany, {"GHOST"});
        rig.dialogs.buttons << MsgBoxResult::Yes;
        rig.connections.onExecute = [](const QString& statement) {
            if (statement.startsWith("DROP TABLE \"GHOST\"") || statement.startsWith("RENAME \"GHOST\" TO"))
                throw DbError("table or view does not exist", "42S02");
        };
        rig.tables->PushButton3_Click();
        QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton3_Click"), QList<int>({146}));
        QCOMPARE(rig.dialogs.shown.size(), 2);  // the question and the failed step's box
        QStringList statements = executed(rig.connections.log);
        statements.removeIf(
            [](const QString& statement) { return statement.startsWith("DO "); });  // the key's name
        const QString last = statements.last();
        QVERIFY2(last.contains(StagingName::forTable("GHOST", 0).text()) && last.endsWith("\"GHOST\""),
                 qPrintable(last));
        QCOMPARE(items(*rig.oracle), QStringList({"GHOST", "OTHER"}));
    }
}

// No box and no summary names a staging table: a CREATE TABLE, a row's INSERT and the swap are
// shown as composed for the user's table, and the database's words about the staging table name
// the user's. The transfer log keeps the statement as sent beside it.
void TransferTest::boxesNameTheUsersTableAndTheLogKeepsTheStatementAsSent() {
    TransferRig rig({}, {"Customers", "DUPCOL", "GHOST2"});
    rig.source("DUPCOL", table({{"1", "a"}}));
    rig.source("Customers", table({{"1", "bad"}}));
    rig.source("GHOST2", table({{"1", "a"}}));
    rig.sqlany->addItem("GHOST2");
    TransferRig::select(rig.oracle, {"Customers", "DUPCOL", "GHOST2"});
    rig.dialogs.buttons << MsgBoxResult::Yes;  // replace GHOST2, which the target has
    rig.connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}}, {{"GHOST2"}}};
    rig.connections.onExecute = [](const QString& statement) {
        const QString staging = statement.section('"', 1, 1);  // the table the statement names first
        if (statement.startsWith("CREATE TABLE \"DUPCOL") || statement.contains("'bad'") ||
            statement.startsWith("ALTER TABLE " + staged("GHOST2")))
            throw DbError("relation \"" + staging + "\" refused it", "42000");
    };
    rig.tables->PushButton4_Click();
    QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({146, 226, 268}));
    const QString boxes = [&] {
        QStringList texts;
        for (const ShownBox& box : rig.dialogs.shown) texts << box.text;
        return texts.join('\n');
    }();
    QVERIFY2(!boxes.contains("~tw-"), qPrintable(boxes));
    QVERIFY2(boxes.contains("relation \"GHOST2\" refused it") && boxes.contains("sql: DROP TABLE \"GHOST2\""),
             qPrintable(boxes));
    QVERIFY2(boxes.contains("sql: CREATE TABLE \"DUPCOL\"("), qPrintable(boxes));
    QVERIFY2(boxes.contains("sql: INSERT INTO \"Customers\" VALUES('1', 'bad')"), qPrintable(boxes));
    QCOMPARE(rig.dialogs.summaries.size(), 1);
    QVERIFY2(!rig.dialogs.summaries[0].text().contains("~tw-"), qPrintable(rig.dialogs.summaries[0].text()));
    const QStringList failed = rig.logLines().filter("failed: table Customers");
    QCOMPARE(failed.size(), 1);
    QVERIFY2(failed[0].contains("[INSERT INTO \"Customers\" VALUES('1', 'bad')] (sent as [INSERT INTO " +
                                staged("Customers") + " VALUES('1', 'bad')]) (the database said: relation " +
                                staged("Customers") + " refused it)"),
             qPrintable(failed[0]));
}
