// Several tables copied at once by the built program (--jobs): among them one the target refuses
// and one whose connection the Oracle side's server ends part way. Every other table arrives
// whole and verified, and the summary and the log say what became of each table, once.
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <csignal>
#include <tuple>

#include "shell/GroupedCount.h"
#include "support/CommandLineRig.h"

using namespace tw;

namespace {

using test::Direction;

constexpr int kRows = 20000;
constexpr int kLostRows = 300000;
const QStringList kWhole{"w1", "w2", "w3", "w4"};

// The Oracle side read through a server cursor, a block at a time: a reading session ended by
// its server is then met part way through the table.
const QStringList kReadInBlocks{
    "--oracle-connection",
    "Driver={Microsoft ODBC for "
    "Oracle};Server={SID};Uid={User};Pwd={Password};UseDeclareFetch=1;Fetch=2000;"};

class ParallelCopyStand : public test::CommandLineRig {
protected:
    ParallelCopyStand() { useOwnDataSource("tw_sqlany_parallel"); }
    void TearDown() override {
        for (const QString& table : m_made) {
            test::dropQuietly(database(0), table);
            test::dropQuietly(database(1), table);
        }
        // What a table ended part way left in its staging table.
        for (int side : {0, 1}) {
            for (const QString& suffix : kWhole + QStringList{"lost"}) {
                for (QString staging; !(staging = stagingOf(side, suffix)).isEmpty();)
                    test::dropQuietly(database(side), staging);
            }
        }
        test::CommandLineRig::TearDown();
    }

    QString name(const QString& suffix) const { return m_table + "_" + suffix; }

    // A table of id and text on the side, of the rows given.
    void fill(int side, const QString& suffix, int rows,
              const QString& columns = "id integer, t varchar(40)") {
        const QString table = quotedName(name(suffix));
        m_made << name(suffix);
        database(side).execute(QStringLiteral("CREATE TABLE %1(%2)").arg(table, columns));
        if (rows == 0) return;
        database(side).execute(
            (isPostgres(side)
                 ? QStringLiteral("INSERT INTO %1 SELECT g, 'Zeile ü ' || g FROM generate_series(1, %2) g")
                 : QStringLiteral("WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE "
                                  "n < %2) INSERT INTO %1 SELECT n, 'Zeile ü ' || n FROM g"))
                .arg(table)
                .arg(rows));
    }
    // The rows of the table, or of the staging table its rows fill until it takes its name.
    qint64 countOf(int side, const QString& suffix, bool staged = false) {
        try {
            return database(side)
                .openRecordset(QStringLiteral("SELECT count(*) FROM %1")
                                   .arg(quotedName(staged ? stagingOf(side, suffix) : name(suffix))))
                ->field(0)
                .value.toString()
                .toLongLong();
        } catch (const std::exception&) {
            return 0;  // not made yet
        }
    }

    QString stagingOf(int side, const QString& suffix) {
        return tablesLike(side, name(suffix) + "~tw-stage-%").value(0);
    }

    // Ends the Oracle-side session that works on the table once the target has some of its
    // rows, and true when one was ended: the session that wrote to it last (its statement is
    // still on record between batches), or the one whose open cursor reads it.
    bool endSessionOf(QProcess& program, const QString& suffix, int target) {
        for (; program.state() != QProcess::NotRunning; program.waitForFinished(5)) {
            const qint64 arrived = countOf(target, suffix, true);
            if (arrived < 1000 || arrived >= kLostRows) continue;
            const qint64 ended =
                database(0)
                    .openRecordset(
                        QStringLiteral("SELECT count(*) FROM (SELECT pg_terminate_backend(pid) AS ended FROM "
                                       "pg_stat_activity WHERE pid <> pg_backend_pid() AND (position('INSERT "
                                       "INTO %1' in query) > 0 OR position('COPY %1' in query) > 0 OR pid IN "
                                       "(SELECT pid FROM pg_locks WHERE "
                                       "relation = to_regclass('%2') AND granted))) s WHERE ended")
                            .arg(quotedName(stagingOf(target, suffix)),
                                 quotedName(name(suffix)).replace("'", "''")))
                    ->field(0)
                    .value.toString()
                    .toLongLong();
            if (ended > 0) return true;
        }
        return false;
    }

    QStringList m_made;
};

class ParallelCopyEachWay : public ParallelCopyStand,
                            public ::testing::WithParamInterface<std::tuple<Direction, int>> {};

}  // namespace

TEST_P(ParallelCopyEachWay, EveryTableEndsAsItsOwnCopyWouldHaveEnded) {
    const auto [direction, jobs] = GetParam();
    for (const QString& table : kWhole) fill(direction.source, table, kRows);
    fill(direction.source, "lost", kLostRows);
    // Refused by the target: SQLite takes no two columns whose names differ in case only, and
    // PostgreSQL no column name of more than 63 bytes.
    fill(direction.source, "refused", 0,
         isPostgres(direction.source) ? QStringLiteral("a integer, \"A\" integer")
                                      : QStringLiteral("id integer, ") + QString(70, 'c') + " integer");
    QStringList tables;
    for (const QString& suffix : kWhole + QStringList{"lost", "refused"}) tables << name(suffix);

    const auto program = start(
        QStringList{"copy", "--to", direction.to, "--jobs", QString::number(jobs), "--verify", "--json"} +
        kReadInBlocks + tables);
    const bool ended = endSessionOf(*program, "lost", direction.target);
    const test::ProgramRun run = test::endOf(*program);
    ASSERT_TRUE(ended) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();

    const QMap<QString, QJsonObject> summary = tablesOf(run);
    ASSERT_EQ(summary.keys().size(), tables.size()) << run.out.toStdString();
    const QString log = logText();
    for (const QString& suffix : kWhole) {
        SCOPED_TRACE(suffix.toStdString());
        const QJsonObject table = summary[name(suffix)];
        EXPECT_EQ(table["status"].toString(), "copied");
        EXPECT_EQ(table["rowsWritten"].toInt(), kRows);
        EXPECT_TRUE(table["verification"]["matches"].toBool());
        EXPECT_EQ(countOf(direction.target, suffix), kRows);
        EXPECT_EQ(log.count(QStringLiteral("  %1: %2 rows read, %2 written, 0 failed")
                                .arg(name(suffix), groupedCount(kRows))),
                  1);
    }
    const QJsonObject refused = summary[name("refused")];
    EXPECT_EQ(refused["status"].toString(), "failed");
    EXPECT_EQ(countOf(direction.target, "refused"), 0);
    const QJsonObject lost = summary[name("lost")];
    EXPECT_EQ(lost["status"].toString(), "failed");
    EXPECT_EQ(lost["rowsRead"].toInt(), lost["rowsWritten"].toInt() + lost["rowsFailed"].toInt());
    EXPECT_LT(lost["rowsWritten"].toInt(), kLostRows);
    // What arrived stays in its staging table, never under the table's name.
    EXPECT_EQ(countOf(direction.target, "lost"), 0);

    // One failure for each of the two tables, on standard error, in the summary and in the log.
    QStringList failed;
    for (const QJsonValue failure :
         QJsonDocument::fromJson(run.out.toUtf8()).object()["failures"].toArray()) {
        failed << failure["table"].toString();
    }
    failed.sort();
    EXPECT_EQ(failed, QStringList({name("lost"), name("refused")})) << run.err.toStdString();
    for (const QString suffix : {"lost", "refused"}) {
        const QString said = QStringLiteral("table %1, ").arg(name(suffix));
        EXPECT_EQ(run.err.count("tablewright: " + said), 1) << run.err.toStdString();
        EXPECT_EQ(log.count("  failed: " + said), 1) << log.toStdString();
        EXPECT_EQ(log.count(QRegularExpression(QStringLiteral("\n  %1: .* rows read").arg(name(suffix)))), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Stand, ParallelCopyEachWay,
                         ::testing::Combine(::testing::Values(Direction{"sqlanywhere", 0, 1},
                                                              Direction{"oracle", 1, 0}),
                                            ::testing::Values(2, 3)),
                         [](const auto& param) {
                             return std::string(std::get<0>(param.param).to == std::string("oracle")
                                                    ? "ToOracle"
                                                    : "ToSqlAnywhere") +
                                    "Jobs" + std::to_string(std::get<1>(param.param));
                         });

// Ctrl+C: each job ends its table once the rows it read are written, a table being replaced
// keeps its old rows, and the tables not begun are not copied; every table says "stopped".
TEST_F(ParallelCopyStand, CtrlCStopsEveryJobAndLeavesEachOldTableWhole) {
    QStringList tables;
    for (const QString& suffix : kWhole) {
        fill(1, suffix, kLostRows);
        fill(0, suffix, 10);  // the old table, to be replaced
        tables << name(suffix);
    }
    const auto program =
        start(QStringList{"copy", "--to", "oracle", "--jobs", "2", "--overwrite", "yes", "--json"} + tables);
    QElapsedTimer clock;
    clock.start();
    // Once rows are on their way: the staging tables take them.
    while (program->state() != QProcess::NotRunning && clock.elapsed() < 60000 &&
           database(0)
                   .openRecordset(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE query LIKE "
                                                 "'INSERT INTO \"%1_w%~tw-stage-%' OR query LIKE "
                                                 "'COPY \"%1_w%~tw-stage-%'")
                                      .arg(m_table))
                   ->field(0)
                   .value.toString()
                   .toInt() == 0) {
        program->waitForFinished(5);
    }
    // A program already ended has no process: kill(0) would interrupt the test's whole group.
    ASSERT_GT(program->processId(), 0) << test::endOf(*program).err.toStdString();
    ::kill(static_cast<pid_t>(program->processId()), SIGINT);
    const test::ProgramRun run = test::endOf(*program);
    EXPECT_EQ(run.exitCode, 130) << run.err.toStdString();
    const QMap<QString, QJsonObject> summary = tablesOf(run);
    ASSERT_EQ(summary.keys().size(), tables.size()) << run.out.toStdString();
    for (const QString& suffix : kWhole) {
        SCOPED_TRACE(suffix.toStdString());
        EXPECT_EQ(summary[name(suffix)]["status"].toString(), "stopped");
        EXPECT_EQ(countOf(0, suffix), 10);
    }
    EXPECT_TRUE(logText().contains("not copied, the run was stopped first")) << logText().toStdString();
}
