// The copy engine through the recording fake: how it cuts batches, what ends a table, which
// names it refuses, and what it hands the front end and the log. The same paths against the
// real drivers are in the integration tests.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <new>

#include "cli/RunSummary.h"
#include "db/AdoType.h"
#include "db/DbError.h"
#include "db/SqlText.h"
#include "db/StagingName.h"
#include "shell/LoggingFrontEnd.h"
#include "shell/ReportLines.h"
#include "shell/TransferLog.h"
#include "support/FakeConnection.h"
#include "support/MemoryTableList.h"
#include "support/RecordingFrontEnd.h"
#include "transfer/CopyEngine.h"
#include "transfer/CopyPreview.h"
#include "transfer/CopyVerifier.h"
#include "transfer/DifferingColumns.h"
#include "transfer/JobFrontEnd.h"

using namespace tw;

namespace {

const QList<Field> kIdAndText{{"id", AdoType::Integer, {}}, {"v", AdoType::VarChar, {}}};

// The name a table's rows fill until it takes its own.
QString staged(const QString& table) { return StagingName::forTable(table, 0).text(); }

// Tables A and B (or those named) on the source side, all selected; the engine copies the
// last first.
struct EngineRig {
    explicit EngineRig(const QStringList& tables = {"A", "B"}) : source(tables) {
        for (const QString& table : tables) {
            connections.tables[SelectAllSql(table)] = {kIdAndText, {{"1", "a"}, {"2", "b"}, {"3", "c"}}};
        }
        source.setCurrentIndex(0);
        for (int i = 0; i < source.count(); ++i) source.setSelected(i, true);
    }

    void run(FrontEnd& frontEnd, int batchRows = 1, CopyObserver* observer = nullptr) {
        TransferRequest job{frontEnd, connections, {}, source, target, observer, batchRows};
        job.batchBytes = batchBytes;
        job.faithful = faithful;
        job.jobs = jobs;
        TransferTables(kToOracle, job);
    }
    void run(int batchRows = 1, CopyObserver* observer = nullptr) { run(front, batchRows, observer); }

    QStringList logged(const QString& prefix) const {
        return connections.log.filter(QRegularExpression("^" + prefix));
    }

    test::FakeConnectionFactory connections;
    test::RecordingFrontEnd front;
    test::MemoryTableList source;
    test::MemoryTableList target;
    qint64 batchBytes = kBatchBytes;
    int jobs = 1;
    bool faithful = false;
};

// Throws what no database says, once it has seen the named table created.
struct FailingObserver : CopyObserver {
    QString table;
    bool armed = false;
    void tableCreated(const QString& created, const QList<ColumnKind>&) override { armed = created == table; }
    void rowRead(const Recordset&) override {
        if (armed) throw std::bad_alloc();
    }
    std::unique_ptr<CopyObserver> forAnotherJob() const override {
        return std::make_unique<FailingObserver>(*this);
    }
};

}  // namespace

TEST(CopyEngine, ALongValueGoesInABatchOfItsOwn) {
    EngineRig rig;
    rig.source.setSelected(0, false);
    const QString longText(1000, QLatin1Char('x'));
    rig.connections.tables[SelectAllSql("B")].rows = {{"1", "a"}, {"2", "b"}, {"3", longText}, {"4", "c"}};
    rig.connections.offersBatches = true;
    rig.batchBytes = 500;  // a few short rows, never the long one beside them
    rig.run(1000);

    EXPECT_EQ(rig.logged("batch"),
              QStringList({"batch " + staged("B") + ": 1|a; 2|b", "batch " + staged("B") + ": 3|" + longText,
                           "batch " + staged("B") + ": 4|c"}));
    ASSERT_EQ(rig.front.outcomes.size(), 1);
    EXPECT_EQ(rig.front.outcomes[0].rowsWritten, 4);
    EXPECT_TRUE(rig.front.failures.isEmpty());
}

// Bytes in a column of text, or text with a NUL character, as SQLite keeps them: a target that
// cannot hold the value refuses its row with a report naming the column and the value, before
// any statement of it, in batches too; SQLite, which keeps bytes in any column, gets the bytes.
TEST(CopyEngine, AValueTheTargetCannotHoldAsItIsRefusesItsRow) {
    for (const int batchRows : {1, 1000}) {
        for (const bool intoSqlite : {false, true}) {
            SCOPED_TRACE(QStringLiteral("batch %1, into %2")
                             .arg(batchRows)
                             .arg(intoSqlite ? "SQLite" : "Oracle")
                             .toStdString());
            EngineRig rig;
            rig.source.setSelected(0, false);
            rig.connections.offersBatches = true;
            if (intoSqlite) rig.connections.dialect = &sqliteDialect();
            Variant withNul;
            withNul.setUtf8Text(QByteArray("x\0y", 3));
            rig.connections.tables[SelectAllSql("B")].rows = {
                {"1", "a"}, {"2", Variant::binary("\xC3\xA9")}, {"3", "c"}, {"4", withNul}};
            rig.run(batchRows);

            QList<qint64> refusedRows;
            for (const Failure& failure : rig.front.failures) refusedRows << failure.row;
            EXPECT_EQ(refusedRows, intoSqlite ? QList<qint64>{4} : QList<qint64>({2, 4}));
            const QString first = rig.front.failures.value(0).description;
            if (!intoSqlite) {
                EXPECT_TRUE(first.contains("column v, value 0xC3A9: 2 bytes stored in a column of text"))
                    << first.toStdString();
            }
            EXPECT_TRUE(
                rig.front.failures.last().description.contains("column v, value 'x\\0y': text with a NUL"))
                << rig.front.failures.last().description.toStdString();
            EXPECT_EQ(rig.front.failures.last().line, 260);
            ASSERT_EQ(rig.front.outcomes.size(), 1);
            EXPECT_EQ(rig.front.outcomes[0].rowsWritten, intoSqlite ? 3 : 2);
            if (intoSqlite && batchRows == 1) {
                EXPECT_EQ(rig.logged("execute INSERT").value(1),
                          "execute INSERT INTO \"" + staged("B") + "\" VALUES('2', X'C3A9')");
            }
        }
    }
}

// A batch that went by COPY and lost its connection quotes the COPY, with the user's table: no
// INSERT was sent.
TEST(CopyEngine, ALostCopyQuotesTheCopy) {
    EngineRig rig;
    rig.connections.offersBatches = true;
    rig.connections.batchStatement = "COPY \"" + staged("B").toUtf8() + "\" FROM STDIN";
    rig.connections.onExecute = [&](const QString& statement) {
        if (!statement.startsWith("batch " + staged("B"))) return;
        DbError lost("The server did not answer within 30 seconds.", "HYT00");
        lost.markConnectionLost();
        throw lost;
    };
    rig.run(2);
    ASSERT_FALSE(rig.front.failures.isEmpty());
    EXPECT_EQ(rig.front.failures[0].composing, "COPY \"B\" FROM STDIN");
}

// Memory running out, or any other failure no step foresaw, costs the table it came in, said
// once with the table's name, and the next table is copied.
TEST(CopyEngine, AnUnforeseenFailureEndsOnlyItsTable) {
    for (const bool inTheBatch : {true, false}) {
        SCOPED_TRACE(inTheBatch ? "sending a batch" : "between the steps");
        EngineRig rig;
        rig.connections.offersBatches = true;
        rig.connections.onExecute = [&](const QString& statement) {
            if (inTheBatch && statement.startsWith("batch " + staged("B"))) throw std::bad_alloc();
        };
        FailingObserver observer;
        observer.table = inTheBatch ? QString() : QStringLiteral("B");
        ASSERT_NO_THROW(rig.run(2, &observer));

        ASSERT_EQ(rig.front.failures.size(), 1);
        const Failure& failure = rig.front.failures[0];
        EXPECT_EQ(failure.table, "B");
        EXPECT_TRUE(failure.description.startsWith("Not enough memory")) << failure.description.toStdString();
        EXPECT_TRUE(failure.description.contains("table B")) << failure.description.toStdString();
        if (inTheBatch) {
            EXPECT_EQ(failure.line, 260);
        }
        ASSERT_EQ(rig.front.outcomes.size(), 2);
        const TableOutcome& b = rig.front.outcomes[0];
        EXPECT_EQ(b.table, "B");
        EXPECT_EQ(b.rowsWritten + b.rowsFailed, b.rowsRead);
        EXPECT_GT(b.rowsFailed, 0);
        EXPECT_EQ(rig.front.outcomes[1].rowsWritten, 3);  // A, after it
        // B, ended part way, never takes its name; A, after it, does.
        EXPECT_EQ(rig.target.items(), QStringList({"A"}));
    }
}

// Two source tables that the target takes for one (SQLite tells no ASCII case apart): the first
// in the copy's order is copied and the other refused, naming both, alone or with two jobs.
TEST(CopyEngine, TablesTheTargetTakesForOneAreCopiedOnce) {
    for (const int jobs : {1, 2}) {
        SCOPED_TRACE(jobs);
        EngineRig rig({"CASET", "CaseT", "other"});
        rig.connections.dialect = &sqliteDialect();
        rig.jobs = jobs;
        rig.run();
        EXPECT_EQ(rig.logged("execute CREATE").size(), 2);
        ASSERT_EQ(rig.front.failures.size(), 1);
        EXPECT_EQ(rig.front.failures[0].table, "CASET");
        EXPECT_TRUE(rig.front.failures[0].description.contains("table CaseT"))
            << rig.front.failures[0].description.toStdString();
        QStringList created;
        for (const TableOutcome& outcome : rig.front.outcomes) {
            if (outcome.created) created << outcome.table;
        }
        created.sort();
        EXPECT_EQ(created, QStringList({"CaseT", "other"}));
    }
}

// The source is read in a session that only reads, where its product has one; the target's
// session writes as before. The source opens second here.
TEST(CopyEngine, TheSourceIsReadInASessionThatOnlyReads) {
    const struct {
        const Dialect* dialect;
        const char* readOnly;
    } cases[] = {
        {&postgresDialect(), "execute SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"},
        {&mariaDbDialect(), "execute SET SESSION TRANSACTION READ ONLY"},
        {&sqliteDialect(), "execute PRAGMA query_only = 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.readOnly);
        EngineRig rig;
        rig.connections.dialect = c.dialect;
        rig.run();
        const QStringList& log = rig.connections.log;
        const QStringList opened = rig.logged("open ");
        ASSERT_EQ(opened.size(), 2);
        EXPECT_EQ(log.count(c.readOnly), 1) << log.join('\n').toStdString();
        // Right after the source's opening and its session's own set-up.
        qsizetype next = log.lastIndexOf(opened[1]) + 1;
        for (const QString& statement : c.dialect->sessionSetUp()) {
            if (log.value(next) == "execute " + statement) ++next;
        }
        EXPECT_EQ(log.value(next), c.readOnly) << log.join('\n').toStdString();
    }
    // Oracle has read-only transactions only, which auto-commit would end at every statement:
    // the source's reads go in one, left open.
    EngineRig rig;
    rig.connections.dialect = &oracleDialect();
    rig.run();
    const QStringList& log = rig.connections.log;
    const qsizetype readOnly = log.indexOf("execute SET TRANSACTION READ ONLY");
    ASSERT_GT(readOnly, 0) << log.join('\n').toStdString();
    EXPECT_EQ(log.count("execute SET TRANSACTION READ ONLY"), 1);
    EXPECT_EQ(log[readOnly - 1], "begin");
}

// A source table that cannot be read is reported with its own SELECT, not with the statement of
// the table copied before it.
TEST(CopyEngine, ASourceTableThatCannotBeReadQuotesItsOwnSelect) {
    EngineRig rig;
    rig.connections.tables.remove(SelectAllSql("A"));
    rig.run();
    ASSERT_EQ(rig.front.failures.size(), 1);
    EXPECT_EQ(rig.front.failures[0].line, 152);
    EXPECT_EQ(rig.front.failures[0].composing, SelectAllSql("A"));
}

// A name the target would cut short is refused before anything changes there: no DROP of the
// table it would replace, no CREATE, and the failure names the limit.
TEST(CopyEngine, ANameLongerThanTheTargetTakesIsRefusedBeforeAnythingChanges) {
    struct Case {
        QString table;
        QString column;
        QString said;
    };
    const QList<Case> cases{
        {"ABCDEFGHIJK", "id", "The table name ABCDEFGHIJK takes 11 bytes"},
        {"B", "abcdef", "The column name abcdef takes 6 bytes"},
        {QString(6, QChar(0xc4)), "id", "takes 12 bytes"},  // Ä is two bytes of UTF-8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.toStdString());
        EngineRig rig;
        rig.connections.nameLimits = {10, 5};
        rig.connections.tables[SelectAllSql(c.table)] = {{{c.column, AdoType::Integer, {}}}, {{"1"}}};
        rig.source = test::MemoryTableList({c.table});
        rig.source.setCurrentIndex(0);
        rig.source.setSelected(0, true);
        rig.target = test::MemoryTableList({c.table});
        rig.front.replace = true;
        rig.run();

        EXPECT_TRUE(rig.logged("execute").isEmpty()) << rig.connections.log.join('\n').toStdString();
        ASSERT_EQ(rig.front.failures.size(), 1);
        EXPECT_EQ(rig.front.failures[0].line, 218);
        EXPECT_TRUE(rig.front.failures[0].description.contains(c.said));
        EXPECT_TRUE(rig.front.failures[0].description.contains("at most"));
        EXPECT_EQ(rig.target.items(), QStringList({c.table}));  // still listed, still there
        ASSERT_EQ(rig.front.outcomes.size(), 1);
        EXPECT_FALSE(rig.front.outcomes[0].created);
    }
}

// Row by row into Oracle, and when a refused batch's rows go again one by one, a value longer
// than its literals take is bound to the row's INSERT.
TEST(CopyEngine, IntoOracleAValueTooLongForALiteralTravelsAsAParameter) {
    for (const int batchRows : {1, 2}) {
        SCOPED_TRACE(batchRows);
        EngineRig rig;
        rig.source.setSelected(0, false);
        const QString longText(4001, QLatin1Char('x'));
        rig.connections.tables[SelectAllSql("B")].rows = {{"1", longText}, {"2", "b"}};
        rig.connections.dialect = &oracleDialect();
        rig.connections.offersBatches = true;
        rig.connections.onExecute = [](const QString& statement) {
            if (statement.startsWith("batch"))
                throw DbError("ORA-00001: unique constraint violated", "HY000", 1);
        };
        rig.run(batchRows);

        EXPECT_EQ(
            rig.logged("execute INSERT"),
            QStringList({"execute INSERT INTO \"" + staged("B") + "\" VALUES('1', ?) [" + longText + "]",
                         "execute INSERT INTO \"" + staged("B") + "\" VALUES('2', 'b')"}));
        EXPECT_TRUE(rig.front.failures.isEmpty());
    }
}

// The source's empty texts go as NULL, row by row and in batches; those of the rows written are
// counted, and the summary and the log's table line say so with the reason: Oracle's own, else
// the copy's rule. A NULL of the source is no empty text.
TEST(CopyEngine, EmptyTextsWrittenAsNullAreCountedAndSaid) {
    const QString oracles = "(Oracle keeps no empty text)";
    const QString copys = "(the copy writes an empty text as NULL)";
    const struct {
        const char* what;
        int batchRows;
        bool intoSqlite;
        bool refuseRowTwo;  // a batch goes again row by row, and row 2 is refused
        qint64 counted;
        QString said;
    } cases[] = {
        {"row by row into Oracle", 1, false, false, 2, "2 empty texts became NULL " + oracles},
        {"batched into SQLite", 1000, true, false, 2, "2 empty texts became NULL " + copys},
        {"row by row, row 2 refused", 1, true, true, 1, "1 empty text became NULL " + copys},
        {"a refused batch, row 2 refused", 1000, false, true, 1, "1 empty text became NULL " + oracles},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EngineRig rig;
        rig.source.setSelected(0, false);
        rig.connections.tables[SelectAllSql("B")].rows = {{"1", ""}, {"2", ""}, {"3", Variant()}, {"4", "d"}};
        rig.connections.offersBatches = true;
        if (c.intoSqlite) rig.connections.dialect = &sqliteDialect();
        if (c.refuseRowTwo) {
            rig.connections.onExecute = [](const QString& statement) {
                if (statement.startsWith("batch")) throw DbError("deadlock", "40001");
                if (statement.contains("VALUES('2'")) throw DbError("check violated", "23000");
            };
        }
        QTemporaryDir folder;
        TransferLog log(folder.path());
        LoggingFrontEnd logged(rig.front, &log, "copy");
        rig.run(logged, c.batchRows);

        ASSERT_EQ(rig.front.outcomes.size(), 1);
        const TableOutcome& outcome = rig.front.outcomes[0];
        EXPECT_EQ(outcome.emptyTextsAsNull, c.counted);
        cli::TableResult result{"B", cli::TableResult::Status::Copied, outcome};
        EXPECT_TRUE(cli::summaryTable({result}, false).contains("\ntable B: " + c.said + "\n"))
            << cli::summaryTable({result}, false).toStdString();
        EXPECT_TRUE(cli::summaryJson("copy", {result}, {}, 0)
                        .contains(QStringLiteral("\"emptyTextsAsNull\": %1,").arg(c.counted)));
        QFile file(log.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(" s; " + c.said + "\n"));
    }
}

// The typed copy writes an empty text and empty bytes as themselves where the target keeps them,
// row by row, in batches and in a refused batch's rows; into Oracle, and in the plain copy, both
// go as NULL and are counted, each in its own words. A NULL stays NULL, and a column of numbers
// never gets ''.
TEST(CopyEngine, EmptyValuesGoAsThemselvesInATypedCopyAndAsNullInThePlainOne) {
    const QString copys = "(the copy writes an empty value as NULL)";
    const struct {
        const char* what;
        bool typed;
        bool intoOracle;
        int batchRows;
        bool refuseBatch;
        QStringList written;  // the rows' statements or batch
        qint64 texts, bytes;  // counted as NULL
        QString said;
    } cases[] = {
        {"typed, row by row",
         true,
         false,
         1,
         false,
         {"INSERT INTO \"B\" VALUES('1', '', X'', NULL)", "INSERT INTO \"B\" VALUES('2', NULL, NULL, NULL)"},
         0,
         0,
         ""},
        {"typed, batched", true, false, 1000, false, {"batch B: 1|||NULL; 2|NULL|NULL|NULL"}, 0, 0, ""},
        {"typed, a refused batch's rows",
         true,
         false,
         1000,
         true,
         {"INSERT INTO \"B\" VALUES('1', '', X'', NULL)", "INSERT INTO \"B\" VALUES('2', NULL, NULL, NULL)"},
         0,
         0,
         ""},
        {"typed into Oracle",
         true,
         true,
         1,
         false,
         {"INSERT INTO \"B\" VALUES('1', NULL, NULL, NULL)",
          "INSERT INTO \"B\" VALUES('2', NULL, NULL, NULL)"},
         1,
         1,
         "1 empty text and 1 empty binary value became NULL (Oracle keeps no empty value)"},
        {"plain, row by row",
         false,
         false,
         1,
         false,
         {"INSERT INTO \"B\" VALUES('1', NULL, NULL, NULL)",
          "INSERT INTO \"B\" VALUES('2', NULL, NULL, NULL)"},
         1,
         1,
         "1 empty text and 1 empty binary value became NULL " + copys},
        {"plain, batched",
         false,
         false,
         1000,
         false,
         {"batch B: 1|NULL|NULL|NULL; 2|NULL|NULL|NULL"},
         1,
         1,
         "1 empty text and 1 empty binary value became NULL " + copys},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EngineRig rig;
        rig.source.setSelected(0, false);
        rig.connections.tables[SelectAllSql("B")] = {
            {{"id", AdoType::Integer, {}},
             {"v", AdoType::VarChar, {}},
             {"b", AdoType::LongVarBinary, {}},
             {"n", AdoType::Numeric, {}}},
            {{"1", "", Variant::binary({}), ""}, {"2", Variant(), Variant(), Variant()}}};
        rig.connections.dialect = c.intoOracle ? &oracleDialect() : &sqliteDialect();
        rig.connections.offersBatches = true;
        if (c.refuseBatch) {
            rig.connections.onExecute = [](const QString& statement) {
                if (statement.startsWith("batch")) throw DbError("deadlock", "40001");
            };
        }
        rig.faithful = c.typed;
        rig.run(c.batchRows);

        QStringList written = rig.logged("(execute INSERT|batch)");
        written.replaceInStrings(QRegularExpression("^execute "), "").replaceInStrings(staged("B"), "B");
        if (c.refuseBatch) written.removeFirst();  // the refused batch
        EXPECT_EQ(written, c.written);
        ASSERT_EQ(rig.front.outcomes.size(), 1);
        const TableOutcome& outcome = rig.front.outcomes[0];
        EXPECT_EQ(outcome.rowsWritten, 2);
        // The number column's empty text is NULL in every copy, and counted as an empty text.
        EXPECT_EQ(outcome.emptyTextsAsNull, c.texts + 1);
        EXPECT_EQ(outcome.emptyBytesAsNull, c.bytes);
        const QString note = emptyTextsNote(outcome);
        if (c.said.isEmpty()) {
            EXPECT_EQ(note, "1 empty text became NULL (the copy writes an empty text as NULL)");
        } else {
            EXPECT_EQ(note, QString(c.said).replace("1 empty text and", "2 empty texts and"));
        }
    }
}

// The engine asks the verifier once a table is copied; the verdict goes to the front end with
// the table's outcome, and to the log below the table's line.
TEST(CopyEngine, AVerificationGoesWithTheTableToTheFrontEndAndTheLog) {
    EngineRig rig;
    rig.source.setSelected(0, false);
    CopyVerifier verifier(rig.connections, ConnectionTarget::dataSource("s"),
                          ConnectionTarget::dataSource("t"));
    QTemporaryDir folder;
    TransferLog log(folder.path());
    LoggingFrontEnd logged(rig.front, &log, "copy");
    rig.run(logged, 1, &verifier);

    ASSERT_EQ(rig.front.outcomes.size(), 1);
    ASSERT_TRUE(rig.front.outcomes[0].verification.has_value());
    EXPECT_TRUE(rig.front.outcomes[0].verification->matches);  // the fake reads back what it was given
    QFile file(log.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("  B: 3 rows read, 3 written, 0 failed"));
    EXPECT_EQ(lines[2], "  table B matches its source: 3 rows");
}

// The statements the copy sent for one table, in their order.
QStringList statementsFor(const QStringList& log, const QString& table) {
    return log.filter(QRegularExpression(QStringLiteral("^(execute|batch|recordset).*\\b%1\\b").arg(table)));
}

// Several jobs: every question before the first table is made, each table's statements those of
// a copy of one, a refused table costing only itself and its job's connections, which the job
// makes anew for the next table.
TEST(ParallelCopy, EachTableIsCopiedAsAloneWithItsQuestionFirstAndItsFailureItsOwn) {
    const QStringList tables{"A", "B", "C", "D", "E"};
    const auto refuseC = [](const QString& statement) {
        if (statement.startsWith("CREATE TABLE \"" + staged("C") + "\"")) throw DbError("refused", "42000");
    };
    EngineRig alone(tables);
    alone.connections.onExecute = refuseC;
    alone.run(2);

    EngineRig rig(tables);
    rig.jobs = 3;
    rig.connections.onExecute = refuseC;
    rig.target.addItem("B");
    struct NotingFrontEnd : test::RecordingFrontEnd {
        test::FakeConnectionFactory* log = nullptr;
        bool mayReplace(const QString& table) override {
            log->note("asked " + table);
            return test::RecordingFrontEnd::mayReplace(table);
        }
    } front;
    front.replace = true;
    front.log = &rig.connections;
    rig.run(front, 2);

    const QStringList& log = rig.connections.log;
    EXPECT_LT(log.indexOf("asked B"), log.indexOf(QRegularExpression("execute CREATE.*")));
    for (const QString& table : tables) {
        SCOPED_TRACE(table.toStdString());
        if (table != "B") {
            EXPECT_EQ(statementsFor(log, table), statementsFor(alone.connections.log, table));
        }
    }
    ASSERT_EQ(front.failures.size(), 1);
    EXPECT_EQ(front.failures[0].table, "C");
    ASSERT_EQ(front.outcomes.size(), 5);
    for (const TableOutcome& outcome : front.outcomes) {
        EXPECT_EQ(outcome.rowsWritten, outcome.table == "C" ? 0 : 3) << outcome.table.toStdString();
    }
    QStringList listed = rig.target.items();
    listed.sort();
    EXPECT_EQ(listed, QStringList({"A", "B", "D", "E"}));
    // Three jobs of two connections, and two more for the job whose table failed.
    EXPECT_EQ(log.count("create"), 8);
    EXPECT_EQ(log.count("close"), 8);
}

// A job tells the shared front end a table's first row, every 64th and its last.
TEST(ParallelCopy, AJobPassesOnProgressAtItsFirstEvery64thAndLastRow) {
    test::RecordingFrontEnd shared;
    std::mutex lock;
    JobFrontEnd job(shared, lock);
    for (qint64 row = 1; row <= 130; ++row) job.progress("T", row, 130);
    EXPECT_EQ(shared.rowsDone, QList<qint64>({1, 64, 128, 130}));
}

// Asked to stop, each table being copied ends once the rows read are written, and every selected
// table not begun is named: alone and with several jobs.
TEST(ParallelCopy, AStopEndsEachTableAfterItsRowsAndNamesTheTablesNotBegun) {
    struct StoppingFrontEnd : test::RecordingFrontEnd {
        QStringList notBegun;
        void tableNotBegun(const QString& table) override { notBegun << table; }
        bool stopRequested() override { return rowsDone.size() >= 2; }
    };
    for (const int jobs : {1, 2}) {
        SCOPED_TRACE(jobs);
        EngineRig rig({"A", "B", "C", "D"});
        rig.jobs = jobs;
        rig.connections.offersBatches = true;
        StoppingFrontEnd front;
        rig.run(front, 1000);

        QStringList seen = front.notBegun;
        for (const TableOutcome& outcome : front.outcomes) {
            seen << outcome.table;
            // Another job's rows may have come first: a table may end whole before the stop.
            EXPECT_EQ(outcome.stopped, outcome.rowsRead < 3) << outcome.table.toStdString();
            EXPECT_EQ(outcome.rowsWritten, outcome.rowsRead);
        }
        EXPECT_LE(front.outcomes.size(), jobs);
        EXPECT_FALSE(front.notBegun.isEmpty());
        seen.sort();
        EXPECT_EQ(seen, QStringList({"A", "B", "C", "D"}));
    }
}

// A job that cannot even be set up says so and ends alone, never the program.
TEST(ParallelCopy, AJobThatCannotBeSetUpEndsOnlyItself) {
    struct Unready : FailingObserver {
        std::unique_ptr<CopyObserver> forAnotherJob() const override { throw std::bad_alloc(); }
    } observer;
    EngineRig rig;
    rig.jobs = 2;
    rig.run(1, &observer);
    EXPECT_EQ(rig.front.failures.size(), 2);
    EXPECT_TRUE(rig.front.outcomes.isEmpty());
    EXPECT_TRUE(rig.target.items().isEmpty());
}

// A verification that finds rows apart names the columns in which each source row differs from
// the target row most like it.
TEST(CopyVerification, NamesTheColumnsThatDiffer) {
    const QStringList columns{"id", "name", "ratio"};
    const auto source = [](QStringList values) { return RowDifference{true, std::move(values), {}}; };
    const auto target = [](QStringList values) { return RowDifference{false, std::move(values), {}}; };
    const struct {
        const char* what;
        QList<RowDifference> differences;
        QStringList named;
    } cases[] = {
        {"one value changed", {source({"1", "a", "0.1"}), target({"1", "a", "0.10000000149"})}, {"ratio"}},
        {"each row its own column",
         {source({"1", "a", "1"}), source({"2", "b", "2"}), target({"2", "B", "2"}), target({"1", "a", "9"})},
         {"name", "ratio"}},
        {"a row missing from the target", {source({"1", "a", "1"})}, {}},
        {"a row only in the target", {target({"1", "a", "1"})}, {}},
        {"a row missing beside a row changed",
         {source({"3", "c", "3"}), source({"1", "a", "1"}), target({"1", "a", "9"})},
         {"ratio"}},
        {"a row missing and another only in the target, sharing nothing",
         {source({"3", "c", "3"}), target({"4", "d", "4"})},
         {}},
    };
    for (const auto& c : cases) EXPECT_EQ(differingColumns(columns, c.differences), c.named) << c.what;
}

// A dry run's plan of one table: the action its options and the target's table give, and the
// statements the copy would send for it, none for a table it keeps.
TEST(CopyPreview, EachActionComesWithItsStatements) {
    test::FakeConnectionFactory connections;
    connections.tables[SelectAllSql("T") + " WHERE 1 = 0"] = {kIdAndText, {}};
    connections.tables["SELECT COUNT(*) FROM (SELECT * FROM \"T\" WHERE id > 1) tw_counted"] = {
        {{"count", AdoType::Integer, {}}}, {{"2"}}};
    const auto source = connections.create();
    source->open(ConnectionTarget::dataSource("a"));
    using Overwrite = PreviewChoices::Overwrite;
    const QString staged = quotedName("T~tw-stage-…");
    const QString create = "CREATE TABLE " + staged + "(\"id\" NUMERIC,\"v\" TEXT)";
    const QString rows = "INSERT INTO " + staged + " VALUES(…) × 2";
    const QString rename = "ALTER TABLE " + staged + " RENAME TO \"T\"";
    const QString keys = postgresDialect().keysNamedAfterTableSql({}, "T");
    const struct {
        bool exists;
        Overwrite overwrite;
        bool inPlace;
        const char* action;
        QStringList statements;
    } cases[] = {
        {false, Overwrite::No, false, "create", {create, rows, rename, keys}},
        {true, Overwrite::No, false, "keep", {}},
        {true, Overwrite::Ask, false, "ask", {create, rows, "DROP TABLE \"T\"", rename, keys}},
        {true, Overwrite::Yes, false, "replace", {create, rows, "DROP TABLE \"T\"", rename, keys}},
        {true,
         Overwrite::Yes,
         true,
         "replace in place",
         {"DROP TABLE \"T\"", "CREATE TABLE \"T\"(\"id\" NUMERIC,\"v\" TEXT)",
          "INSERT INTO \"T\" VALUES(…) × 2"}},
    };
    for (const auto& c : cases) {
        PreviewChoices choices;
        choices.targetHasTable = c.exists;
        choices.overwrite = c.overwrite;
        choices.inPlace = c.inPlace;
        choices.rowCondition = "id > 1";
        const TablePreview preview = previewCopy(*source, postgresDialect(), postgresDialect(), "T", choices);
        EXPECT_EQ(preview.action, c.action);
        EXPECT_EQ(preview.rows, 2) << preview.error.toStdString();
        EXPECT_EQ(preview.statements, c.statements) << c.action;
    }
}

// A refused batch goes again by halves, each half written whole or refused whole, until the
// refused row is among a few: only those few go as literal statements, the refused one is
// reported under its own number, and every other row is written.
TEST(CopyEngine, ARefusedBatchIsSearchedByHalvesAndOnlyAFewRowsGoAlone) {
    EngineRig rig;
    rig.source.setSelected(0, false);
    QList<QList<Variant>> rows;
    for (int id = 1; id <= 40; ++id) rows << QList<Variant>{QString::number(id), "v"};
    rig.connections.tables[SelectAllSql("B")].rows = rows;
    rig.connections.offersBatches = true;
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.contains(QRegularExpression("(: |; |VALUES\\(')29[|']")))
            throw DbError("duplicate key", "23505");
    };
    rig.run(1000);

    ASSERT_EQ(rig.front.failures.size(), 1);
    EXPECT_EQ(rig.front.failures[0].row, 29);
    ASSERT_EQ(rig.front.outcomes.size(), 1);
    EXPECT_EQ(rig.front.outcomes[0].rowsWritten, 39);
    EXPECT_EQ(rig.front.outcomes[0].rowsFailed, 1);
    const QStringList alone = rig.logged("execute INSERT");
    EXPECT_LE(alone.size(), 4) << alone.join('\n').toStdString();
    EXPECT_TRUE(alone.filter("VALUES('29', 'v')").size() == 1) << alone.join('\n').toStdString();
}
