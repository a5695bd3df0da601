// A day's transfer on the tables window with recorded connections: batches by default, the
// overwrite question answered for all, the summary at the end, and the bar's rate.
#include "TransferRig.h"
#include "db/AdoType.h"
#include "support/Observed.h"
#include "ui/ErrorBox.h"
#include "ui/RowsProgressText.h"
#include "ui/WindowFrontEnd.h"

using tw::test::errorLines;
using tw::test::executed;
using tw::test::items;

namespace {

FakeTable table(const QList<QList<Variant>>& rows) { return twoColumnTable(rows); }

}  // namespace

class TransferEndTest : public QObject {
    Q_OBJECT
private slots:
    void withoutBatchRowsTheRowsGoInBatchesAndARefusedRowIsBoxedAsBefore();
    void yesToAllAndNoToAllAnswerForTheRestOfTheTransfer();
    void theSummaryTellsEachTableAndTheRowsNotBoxed();
    void aTableNotCopiedHasNoRowsWritten();
    void theBarShowsTheRateAndTheTimeLeft();
    void stopOnARefusedRowsBoxEndsTheBatchedCopyWhereTheRowByRowCopyEnds();
};

// BatchRows unset gives batches; 0 the row-by-row copy. Either way a refused row costs one box
// and one log line, alike.
void TransferEndTest::withoutBatchRowsTheRowsGoInBatchesAndARefusedRowIsBoxedAsBefore() {
    QStringList boxes, failedLines;
    for (const QString rows : {"", "0"}) {
        TransferRig rig({}, {"EMP"});
        rig.connections.offersBatches = true;
        if (!rows.isEmpty())
            rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows, rows);
        rig.source("EMP", table({{"1", "Ann"}, {"x", "Bob"}, {"3", "Cy"}}));
        TransferRig::select(rig.oracle, {"EMP"});
        rig.connections.onExecute = [](const QString& statement) {
            if (statement.startsWith("batch") || statement.contains("'x'")) throw DbError("refused", "22018");
        };
        rig.tables->PushButton4_Click();
        QCOMPARE(rig.connections.log.filter("batch ").size(), rows.isEmpty() ? 1 : 0);
        QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({268}));
        boxes << rig.dialogs.shown[0].text;
        failedLines << rig.logLines().filter("failed:").join(QLatin1Char('\n'));
    }
    QCOMPARE(boxes[0], boxes[1]);
    QCOMPARE(failedLines[0], failedLines[1]);
    QVERIFY(!failedLines[0].isEmpty());
}

void TransferEndTest::yesToAllAndNoToAllAnswerForTheRestOfTheTransfer() {
    for (const bool yes : {true, false}) {
        TransferRig rig({"A", "B", "C"}, {"A", "B", "C"});
        for (const QString name : {"A", "B", "C"}) rig.source(name, table({{"1", name}}));
        TransferRig::select(rig.sqlany, {"A", "B", "C"});
        rig.dialogs.buttons << MsgBoxResult::No << MsgBoxResult::Extra + (yes ? 0 : 1);  // C, then B
        rig.tables->PushButton3_Click();
        QCOMPARE(rig.dialogs.shown.size(), 2);  // nothing asked about A
        QCOMPARE(rig.dialogs.shown[1].text, QStringLiteral("Would you like to overwrite B?"));
        QCOMPARE(rig.dialogs.shown[1].caption, QStringLiteral("Overwrite?"));
        QCOMPARE(rig.dialogs.shown[1].style, MsgBoxStyle::YesNo);
        QCOMPARE(rig.dialogs.shown[1].extraButtons, QStringList({"Yes to All", "No to All"}));
        QCOMPARE(executed(rig.connections.log).filter("INSERT").size(), yes ? 2 : 0);
        // The next transfer asks again.
        rig.tables->PushButton3_Click();
        QCOMPARE(rig.dialogs.shown.size(), 5);
    }
}

void TransferEndTest::theSummaryTellsEachTableAndTheRowsNotBoxed() {
    TransferRig rig({"BAD", "GOOD", "KEPT"}, {"KEPT"});
    rig.source("BAD", table({{"1", "x1"}, {"2", "x2"}, {"3", "x3"}, {"4", "ok"}}));
    rig.source("GOOD", table({{"1", "a"}, {"2", "b"}}));
    rig.source("KEPT", table({{"1", "k"}}));
    TransferRig::select(rig.sqlany, {"BAD", "GOOD", "KEPT"});
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.contains("'x")) throw DbError("value too large", "22001");
    };
    // No for KEPT; on BAD's first refused row, no more boxes for that table.
    rig.dialogs.buttons << MsgBoxResult::No << MsgBoxResult::Extra + 1;
    rig.tables->PushButton3_Click();

    QCOMPARE(rig.dialogs.shown.size(), 2);  // the question and BAD's first row
    QCOMPARE(rig.dialogs.shown[1].extraButtons,
             QStringList({ErrorBox::kStopButton, "Don't Show Again for This Table"}));
    QCOMPARE(rig.logLines().filter("failed: table BAD").size(), 3);  // logged as ever
    QCOMPARE(rig.dialogs.summaries.size(), 1);
    const TransferSummary& summary = rig.dialogs.summaries[0];
    const QString text = summary.text();
    const QStringList lines = text.split('\n');
    QCOMPARE(lines[0], QStringLiteral("1 of 3 tables copied"));
    QCOMPARE(lines[2], QStringLiteral("KEPT: not replaced: you answered No"));
    QVERIFY2(lines[3].startsWith("GOOD: copied (2 read, 2 written, 0 failed, "), qPrintable(text));
    // A table the heading does not count as copied never says it was: it was copied in part.
    QVERIFY2(lines[4].startsWith("BAD: copied in part: 3 rows refused (4 read, 1 written, 3 failed, "),
             qPrintable(text));
    QCOMPARE(lines.mid(5), QStringList({"", "Rows refused without a box:", "BAD, row 2: value too large",
                                        "BAD, row 3: value too large"}));
    // A transfer with nothing to take up sums nothing up.
    TransferRig::select(rig.sqlany, {});
    rig.tables->PushButton3_Click();
    QCOMPARE(rig.dialogs.summaries.size(), 1);
}

// A table whose copy a lost connection ended never takes its name: not copied, and none of its
// rows written; those that went into the staging table that went with it count as failed.
void TransferEndTest::aTableNotCopiedHasNoRowsWritten() {
    TransferRig rig({"LOST"}, {});
    rig.source("LOST", table({{"1", "a"}, {"2", "b"}, {"3", "gone"}}));
    TransferRig::select(rig.sqlany, {"LOST"});
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.contains("'gone'")) throw DbError("server closed the connection", "08S01");
    };
    rig.tables->PushButton3_Click();
    QCOMPARE(rig.dialogs.summaries.size(), 1);
    const QString text = rig.dialogs.summaries[0].text();
    const QStringList lines = text.split('\n');
    QCOMPARE(lines[0], QStringLiteral("0 of 1 table copied"));
    QVERIFY2(lines[2].startsWith("LOST: not copied (3 read, 0 written, 3 failed, "), qPrintable(text));
}

void TransferEndTest::theBarShowsTheRateAndTheTimeLeft() {
    const struct {
        qint64 done, total;
        double rate;
        QString text;
    } cases[] = {
        {41000, 100000, 5200, "EMP  41,000 / 100,000  \u00b7  5,200 rows/s  \u00b7  12 s left"},
        {1, 2, 0, "EMP  1 / 2"},  // no rate yet
        {500, 0, 250.4, "EMP  500  \u00b7  250 rows/s"},
        {1000, 1000000, 100, "EMP  1,000 / 1,000,000  \u00b7  100 rows/s  \u00b7  2 h 46 min left"},
        {10, 700, 10, "EMP  10 / 700  \u00b7  10 rows/s  \u00b7  1 min 09 s left"},
    };
    for (const auto& c : cases) QCOMPARE(rowsProgressText("EMP", c.done, c.total, c.rate), c.text);
}

// Rows 5, 7, 1500 and 2400 of 2,500 are refused; Stop on row 5's box. Batched or row by row, no
// box comes after it and the new table holds rows 1 to 4, kept as far as it got.
void TransferEndTest::stopOnARefusedRowsBoxEndsTheBatchedCopyWhereTheRowByRowCopyEnds() {
    QList<QStringList> summaryLines;
    for (const QString rows : {"", "0"}) {
        TransferRig rig({}, {"EMP"});
        rig.connections.offersBatches = true;
        if (!rows.isEmpty())
            rig.settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows, rows);
        QList<QList<Variant>> source;
        for (int id = 1; id <= 2500; ++id)
            source << QList<Variant>{QString::number(id),
                                     QList<int>{5, 7, 1500, 2400}.contains(id) ? "bad" : "ok"};
        rig.source("EMP", table(source));
        TransferRig::select(rig.oracle, {"EMP"});
        QStringList written;  // the IDs of the rows the target took
        rig.connections.onExecute = [&](const QString& statement) {
            if (statement.contains("bad")) throw DbError("refused", "22018");
            if (statement.startsWith("batch ")) {
                for (const QString& row : statement.section(": ", 1).split("; "))
                    written << row.section('|', 0, 0);
            } else if (statement.startsWith("INSERT")) {
                written << statement.section("VALUES('", 1).section('\'', 0, 0);
            }
        };
        rig.dialogs.buttons << MsgBoxResult::Extra;  // Stop Transfer
        rig.tables->PushButton4_Click();
        QCOMPARE(rig.connections.log.filter("batch ").isEmpty(), !rows.isEmpty());
        QCOMPARE(errorLines(rig.dialogs, "Form2.PushButton4_Click"), QList<int>({268}));
        QVERIFY(rig.dialogs.shown[0].text.contains("VALUES('5', 'bad')"));
        QCOMPARE(written, QStringList({"1", "2", "3", "4"}));
        QCOMPARE(items(*rig.sqlany), QStringList({"EMP"}));
        QCOMPARE(rig.dialogs.summaries.size(), 1);
        QStringList lines = rig.dialogs.summaries[0].text().split('\n');
        for (QString& line : lines) line.remove(QRegularExpression(", [0-9.]+ s\\)"));
        summaryLines << lines;
    }
    QCOMPARE(summaryLines[0], summaryLines[1]);
    QCOMPARE(summaryLines[0].value(2),
             QStringLiteral("EMP: copied in part: the transfer was stopped (5 read, 4 written, 1 failed"));
}

QTEST_MAIN(TransferEndTest)
#include "TransferEndTest.moc"
