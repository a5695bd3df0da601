// Replacing a table through the built program while the program is killed, loses its connection
// or fills the target: the target's table is then the old one or the whole new one, never a part
// of either, and what the broken runs leave behind is never listed and goes with the next copy.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cstdio>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

using test::Direction;

const QString kStaging = QStringLiteral("~tw-stage-");
const std::string kOld = "the old table";
const std::string kNew = "the whole new table";
constexpr int kOldRows = 5000;
constexpr qint64 kNewRows = 100000;
// The rows a run's staging table holds when the run is killed; at all of them the kill meets
// the swap or comes after it.
constexpr qint64 kKilledWhenStaged[] = {0, kNewRows / 4, kNewRows * 3 / 4, kNewRows};

class StagedReplaceStand : public test::CommandLineRig {
protected:
    StagedReplaceStand() { useOwnDataSource("tw_sqlany_replace"); }
    void TearDown() override {
        for (int side : {0, 1}) {
            for (const QString& staging : stagingTables(side)) test::dropQuietly(database(side), staging);
        }
        test::CommandLineRig::TearDown();
    }

    // The new rows in the source table, and on the target an old table of the same name whose
    // rows tell it apart.
    void makeTables(const Direction& direction) {
        fill(database(direction.target), isPostgres(direction.target), kOldRows, "old row ");
        m_oldRows = contentsOf(database(direction.target));
        fill(database(direction.source), isPostgres(direction.source), kNewRows, "new row ");
        m_newRows = contentsOf(database(direction.source));
    }
    void fill(Connection& database, bool postgres, qint64 rows, const QString& text, int padding = 0) {
        const QString value =
            QStringLiteral("'%1' || %2 || '%3'").arg(text, postgres ? "g" : "n", QString(padding, 'x'));
        database.execute(
            QStringLiteral("CREATE TABLE %1(id integer, t varchar(600))").arg(quotedName(m_table)));
        database.execute(
            (postgres ? QStringLiteral("INSERT INTO %1 SELECT g, %2 FROM generate_series(1, %3) g")
                      : QStringLiteral("WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g "
                                       "WHERE n < %3) INSERT INTO %1 SELECT n, %2 FROM g"))
                .arg(quotedName(m_table), value)
                .arg(rows));
    }

    // Count and sums of the table: enough to tell the old rows, all new rows and any part of
    // them apart. Empty when there is no such table.
    QStringList contentsOf(Connection& database) {
        try {
            const auto sums = database.openRecordset(
                QStringLiteral(
                    "SELECT count(*), CAST(sum(id) AS bigint), CAST(sum(length(t)) AS bigint) FROM %1")
                    .arg(quotedName(m_table)));
            return {sums->field(0).value.toString(), sums->field(1).value.toString(),
                    sums->field(2).value.toString()};
        } catch (const std::exception&) {
            return {};
        }
    }
    // What the target's table is: the old one, the whole new one, or what it holds instead.
    std::string holding(Connection& target) {
        const QStringList held = contentsOf(target);
        if (held.isEmpty()) return "no table";
        if (held == m_oldRows) return kOld;
        if (held == m_newRows) return kNew;
        return "rows, id sum, text length: " + held.join(", ").toStdString();
    }

    // The staging tables of the table in the side's catalogue, as the database itself has it.
    QStringList stagingTables(int side) {
        const auto tables = database(side).openRecordset(
            isPostgres(side) ? QStringLiteral("SELECT tablename FROM pg_tables")
                             : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        QStringList staging;
        for (; !tables->eof(); tables->moveNext()) {
            const QString name = tables->field(0).value.toString();
            if (name.startsWith(m_table + kStaging)) staging << name;
        }
        return staging;
    }

    // Waits until the program's staging table holds the rows, or has taken the table's name, or
    // the program has ended, and gives the staging table's name (empty when none was seen).
    // pollMs: how long between looks; each look holds a read lock on a SQLite target for a moment.
    QString waitForStagedRows(QProcess& program, int side, qint64 rows, int pollMs = 5) {
        const QString ofProgram = QStringLiteral("-%1").arg(program.processId());
        QString staging;
        QElapsedTimer clock;
        clock.start();
        for (; program.state() != QProcess::NotRunning && clock.elapsed() < 60000;
             program.waitForFinished(pollMs)) {
            for (const QString& name : stagingTables(side)) {
                if (name.endsWith(ofProgram)) staging = name;
            }
            if (staging.isEmpty()) continue;
            try {
                const auto count = database(side).openRecordset(
                    QStringLiteral("SELECT count(*) FROM %1").arg(quotedName(staging)));
                if (count->field(0).value.toString().toLongLong() >= rows) break;
            } catch (const std::exception&) {
                // Swapped in, or only locked by the program's writing (SQLite): asked again.
                if (stagingTables(side).contains(staging)) continue;
                break;
            }
        }
        return staging;
    }

    QStringList m_oldRows;
    QStringList m_newRows;
    int m_leftovers = 0;
};

// A replace, or a truncate, which loads the rows into the old table itself in one transaction.
struct KilledCopy {
    Direction direction;
    const char* mode;
};
void PrintTo(const KilledCopy& copy, std::ostream* out) { *out << copy.mode << " to " << copy.direction.to; }

// Truncates fill a database of their own: a replace into the same one at the same time would
// lock them out.
class Killed : public StagedReplaceStand, public ::testing::WithParamInterface<KilledCopy> {
protected:
    Killed() {
        if (GetParam().mode == std::string("truncate")) useOwnDataSource("tw_sqlany_truncate");
    }
};

}  // namespace

TEST_P(Killed, LeavesTheOldTableOrTheWholeNewOne) {
    const Direction direction = GetParam().direction;
    const bool truncating = GetParam().mode == std::string("truncate");
    killableUnderSanitizers();
    makeTables(direction);
    Connection& target = database(direction.target);
    // A truncated table keeps what was made on it.
    const QString index = m_table + QStringLiteral("_kept");
    if (truncating)
        target.execute(
            QStringLiteral("CREATE INDEX %1 ON %2(t)").arg(quotedName(index), quotedName(m_table)));
    const QStringList copy{"copy",    "--to", direction.to, "--overwrite",   "yes",
                           "--batch", "1000", "--mode",     GetParam().mode, m_table};

    for (const qint64 staged : kKilledWhenStaged) {
        SCOPED_TRACE(testing::Message() << "killed at " << staged << " rows staged");
        const auto program = start(copy);
        const QString staging = waitForStagedRows(*program, direction.target, staged);
        program->kill();
        test::endOf(*program);
        const std::string held = holding(target);
        std::printf("killed at %lld rows staged: %s\n", static_cast<long long>(staged), held.c_str());
        if (staged < kNewRows) {
            EXPECT_EQ(held, kOld);
        } else {
            EXPECT_TRUE(held == kOld || held == kNew) << held;
        }
        // What a killed run staged stays until the next copy of the table; earlier runs' went.
        EXPECT_EQ(stagingTables(direction.target).join(' ').toStdString(),
                  held == kOld ? staging.toStdString() : std::string());
        if (held == kOld && !staging.isEmpty()) ++m_leftovers;
        const QStringList listed = run({"list", "--side", direction.to}).out.split('\n');
        EXPECT_TRUE(listed.contains(m_table));
        EXPECT_EQ(listed.filter(m_table + kStaging).join(' ').toStdString(), "");
    }

    const test::ProgramRun whole = run(copy);
    EXPECT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    EXPECT_EQ(holding(target), kNew);
    EXPECT_EQ(stagingTables(direction.target).join(' ').toStdString(), "");
    if (truncating) {
        const auto indexes = target.openRecordset(
            isPostgres(direction.target)
                ? QStringLiteral("SELECT count(*) FROM pg_indexes WHERE indexname = '%1'").arg(index)
                : QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = '%1'")
                      .arg(index));
        EXPECT_EQ(indexes->field(0).value.toString(), "1");
    }
    // Every leftover a copy took away is in the log: one of each run killed before its swap.
    EXPECT_EQ(logText().count(QRegularExpression(
                  "removed \\S+~tw-stage-\\S+ \\(made by process \\d+ at [^)]+\\), left by a copy")),
              m_leftovers)
        << logText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(StagedReplaceStand, Killed,
                         ::testing::Values(KilledCopy{{"sqlanywhere", 0, 1}, "replace"},
                                           KilledCopy{{"oracle", 1, 0}, "replace"},
                                           KilledCopy{{"sqlanywhere", 0, 1}, "truncate"},
                                           KilledCopy{{"oracle", 1, 0}, "truncate"}));

// Two copies replace the same table at once: each fills a staging table of its own, the table
// ends as one whole copy, and a copy that met the other says so.
TEST_F(StagedReplaceStand, TwoCopiesAtOnceLeaveOneWholeCopy) {
    makeTables({"oracle", 1, 0});
    const QStringList copy{"copy", "--to", "oracle", "--overwrite", "yes", "--json", m_table};
    const auto first = start(copy);
    const auto second = start(copy);
    const test::ProgramRun runs[] = {test::endOf(*first), test::endOf(*second)};
    int met = 0;
    for (const test::ProgramRun& run : runs) {
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        if (firstTableOf(run).contains("metOtherCopy")) ++met;
    }
    // Whichever swapped first still saw the other's staging table.
    EXPECT_GE(met, 1);
    EXPECT_EQ(holding(*m_oracle), kNew);
    EXPECT_EQ(stagingTables(0).join(' ').toStdString(), "");
}

// The Oracle side's server ends the session that fills the staging table.
TEST_F(StagedReplaceStand, ALostConnectionLeavesTheOldTable) {
    makeTables({"oracle", 1, 0});
    const auto program =
        start({"copy", "--to", "oracle", "--overwrite", "yes", "--batch", "1000", "--json", m_table});
    const QString staging = waitForStagedRows(*program, 0, kNewRows / 10);
    ASSERT_FALSE(staging.isEmpty());
    // Only the session that last wrote this run's staging table: other tests copy meanwhile.
    qint64 ended = 0;
    for (; ended == 0 && program->state() != QProcess::NotRunning; program->waitForFinished(5)) {
        ended =
            m_oracle
                ->openRecordset(QStringLiteral("SELECT count(*) FROM (SELECT pg_terminate_backend(pid) AS "
                                               "ended FROM pg_stat_activity WHERE pid <> pg_backend_pid() "
                                               "AND position('%1' in query) > 0) s WHERE ended")
                                    .arg(staging))
                ->field(0)
                .value.toString()
                .toLongLong();
    }
    const test::ProgramRun lost = test::endOf(*program);
    ASSERT_EQ(ended, 1);
    EXPECT_EQ(lost.exitCode, 1) << lost.err.toStdString();
    EXPECT_TRUE(firstTableOf(lost)["oldTableKept"].toBool()) << lost.out.toStdString();
    EXPECT_EQ(holding(*m_oracle), kOld);
}

// The SQL Anywhere side's disk fills part way: the database file lies on a file system of its
// own, a little larger than the database, made in a mount namespace of the run's own.
TEST_F(StagedReplaceStand, AFullTargetLeavesTheOldTable) {
    const QString mount = m_home.filePath("mount");
    const QString out = m_home.filePath("out");
    ASSERT_TRUE(QDir().mkpath(mount) && QDir().mkpath(out));
    if (QProcess::execute("unshare", {"-rm", "mount", "-t", "tmpfs", "tmpfs", mount}) != 0) {
        GTEST_SKIP() << "no mount namespace here to make a small file system in";
    }
    const auto sqliteFile = [](const QString& path) {
        return test::openStand(
            {"file", ConnectionTarget::driverString("Driver={SQLite3};Database=" + path + ";"), false});
    };
    const QString seed = m_home.filePath("seed.db");
    {
        const auto seeded = sqliteFile(seed);
        fill(*seeded, false, kOldRows, "old row ");
        m_oldRows = contentsOf(*seeded);
    }
    // 2,000 rows of about 500 bytes: the new table needs about 1 MB where a quarter of that is free.
    fill(*m_oracle, true, 2000, "new row ", 500);
    m_newRows = contentsOf(*m_oracle);
    QFile sources(qEnvironmentVariable("ODBCINI"));
    ASSERT_TRUE(sources.open(QIODevice::ReadOnly));
    QFile ownSources(m_home.filePath("odbc.ini"));
    ASSERT_TRUE(ownSources.open(QIODevice::WriteOnly));
    ownSources.write(sources.readAll() + "\n[tw_full]\nDriver=SQLite3\nDatabase=" + mount.toUtf8() +
                     "/full.db\nTimeout=10000\n");
    ownSources.close();
    m_environment.insert("ODBCINI", ownSources.fileName());

    const QString size = QString::number(QFileInfo(seed).size() + 256 * 1024);
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=\"$1\" tmpfs \"$2\" && cp \"$3\" \"$2/full.db\" || exit 97\n"
        "mount=$2 out=$4; shift 4\n"
        "\"$@\"; ended=$?\n"
        "cp \"$mount\"/full.db* \"$out\" || exit 98\n"
        "exit $ended\n");
    const auto program =
        start({"copy", "--to", "sqlanywhere", "--dsn", "tw_full", "--overwrite", "yes", "--json", m_table},
              {"unshare", "-rm", "sh", "-c", script, "sh", size, mount, seed, out});
    const test::ProgramRun full = test::endOf(*program);
    EXPECT_EQ(full.exitCode, 1) << full.err.left(2000).toStdString();
    EXPECT_TRUE(full.err.contains("database or disk is full")) << full.err.left(2000).toStdString();
    EXPECT_TRUE(firstTableOf(full)["oldTableKept"].toBool());
    EXPECT_EQ(holding(*sqliteFile(out + "/full.db")), kOld);
}

// Another connection takes the SQL Anywhere side's write lock while the program writes the new
// rows, and keeps it longer than the data source waits: no row is to blame, so the table ends
// with one report and the old one stays.
class BusyTarget : public StagedReplaceStand {
protected:
    // The program's data source waits a tenth of a second for the lock; the test's own
    // connection to the same file waits as long as the other stand databases do, so that its
    // reads never fail while the program commits.
    BusyTarget() {
        useOwnDataSource("tw_sqlany_busy");
        m_sqlany = test::openStand(
            {"busy",
             ConnectionTarget::driverString("Driver={SQLite3};Database=" + qEnvironmentVariable("TW_STAND") +
                                            "/busy.db;Timeout=10000;"),
             false});
    }
};

TEST_F(BusyTarget, EndsTheTableAndKeepsTheOldOne) {
    fill(*m_sqlany, false, 3, "old row ");
    m_oldRows = contentsOf(*m_sqlany);
    fill(*m_oracle, true, 50000, "new row ");
    const auto program =
        start({"copy", "--to", "sqlanywhere", "--overwrite", "yes", "--batch", "1", "--json", m_table});
    // The program waits only a tenth of a second for a lock: the test looks seldom, so that its
    // own reads, slowed by a busy machine, never make the program's CREATE TABLE give up.
    const QString staging = waitForStagedRows(*program, 1, 100, 50);
    ASSERT_FALSE(staging.isEmpty()) << test::endOf(*program).err.toStdString();
    QElapsedTimer clock;
    clock.start();
    bool locked = false;
    while (!locked && clock.elapsed() < 10000) {
        try {
            m_sqlany->execute("BEGIN EXCLUSIVE");
            locked = true;
        } catch (const std::exception&) {
            // the program is between BEGIN and COMMIT of a row
        }
    }
    ASSERT_TRUE(locked);
    program->waitForFinished(2000);
    m_sqlany->execute("ROLLBACK");
    const test::ProgramRun busy = test::endOf(*program);
    EXPECT_EQ(busy.exitCode, 1) << busy.err.toStdString();
    EXPECT_EQ(busy.err.count("database is locked"), 1) << busy.err.toStdString();
    EXPECT_TRUE(firstTableOf(busy)["oldTableKept"].toBool()) << busy.out.toStdString();
    EXPECT_EQ(holding(*m_sqlany), kOld);
}

// A view on the old table makes the database refuse to drop it. In one transaction the swap is
// undone and the old table stays; in steps, as Oracle's is (the stand's PostgreSQL told to), the
// new table takes the name and the old one, which the view follows, stays aside. Either way the
// report quotes the refused statement and says every row was written.
TEST_F(StagedReplaceStand, ARefusedSwapSaysSoAndLeavesAWholeTable) {
    fill(*m_oracle, true, 3, "old row ");
    m_oldRows = contentsOf(*m_oracle);
    fill(*m_sqlany, false, 5, "new row ");
    m_newRows = contentsOf(*m_sqlany);
    const QString view = quotedName(m_table + "_v");
    m_oracle->execute(QStringLiteral("CREATE VIEW %1 AS SELECT * FROM %2").arg(view, quotedName(m_table)));
    const QStringList copy{"copy", "--to", "oracle", "--overwrite", "yes", "--json", m_table};

    const test::ProgramRun together = run(copy);
    EXPECT_EQ(together.exitCode, 1);
    EXPECT_TRUE(together.err.contains("DROP TABLE") && together.err.contains("every row was written"))
        << together.err.toStdString();
    EXPECT_FALSE(together.err.contains("did not get every row")) << together.err.toStdString();
    EXPECT_TRUE(firstTableOf(together)["swapRefused"].toBool()) << together.out.toStdString();
    EXPECT_EQ(holding(*m_oracle), kOld);

    m_environment.insert("TW_SWAP_IN_STEPS", "1");
    const test::ProgramRun inSteps = run(copy);
    EXPECT_EQ(inSteps.exitCode, 1);
    EXPECT_EQ(holding(*m_oracle), kNew);
    EXPECT_TRUE(inSteps.err.contains("~tw-kept-")) << inSteps.err.toStdString();
    m_oracle->execute("DROP VIEW " + view);

    // The old table stays aside until someone looks at it; a swap in steps with nothing in the
    // way leaves nothing aside.
    const QString asidePattern = m_table + "~tw-kept-%";
    const QStringList aside = tablesLike(0, asidePattern);
    ASSERT_EQ(aside.size(), 1);
    test::dropQuietly(*m_oracle, aside[0]);
    const test::ProgramRun free = run(copy);
    EXPECT_EQ(free.exitCode, 0) << free.err.toStdString();
    EXPECT_EQ(holding(*m_oracle), kNew);
    EXPECT_EQ(tablesLike(0, asidePattern), QStringList());
}

// A copy into a table that is not there, killed part way, leaves no part of a table under its
// name: the next run, told to keep tables that exist, copies it whole.
TEST_F(StagedReplaceStand, AKilledNewTableLeavesNoTableUnderItsName) {
    constexpr qint64 rows = 100000;  // long enough that the kill comes part way
    killableUnderSanitizers();
    fill(*m_oracle, true, rows, "new row ");
    m_newRows = contentsOf(*m_oracle);
    const QStringList copy{"copy", "--to", "sqlanywhere", "--overwrite", "no", "--batch", "500", m_table};
    const auto program = start(copy);
    ASSERT_FALSE(waitForStagedRows(*program, 1, rows / 4).isEmpty());
    program->kill();
    test::endOf(*program);
    EXPECT_EQ(holding(*m_sqlany), "no table");

    const test::ProgramRun again = run(copy);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(holding(*m_sqlany), kNew);
    EXPECT_EQ(stagingTables(1).join(' ').toStdString(), "");
}
