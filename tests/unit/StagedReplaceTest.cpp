// Replacing a table through the recording fake: the new rows fill a staging table, which takes
// the old table's place only once every row is there; anything less leaves the old table as it
// was. The same against the real drivers, killed part way, is in the integration tests.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QRegularExpression>

#include "db/AdoType.h"
#include "db/DbError.h"
#include "db/StagingName.h"
#include "db/Sybase.h"
#include "support/FakeConnection.h"
#include "support/MemoryTableList.h"
#include "support/RecordingFrontEnd.h"
#include "transfer/CopyEngine.h"

using namespace tw;

namespace {

// A front end that asks to stop once it has seen the given row.
struct StoppingFrontEnd : test::RecordingFrontEnd {
    qint64 stopAfter = 0;
    bool stopRequested() override {
        return stopAfter > 0 && !rowsDone.isEmpty() && rowsDone.last() >= stopAfter;
    }
};

// Table T of three rows on the source; T listed on the target, and replaced.
struct ReplaceRig {
    ReplaceRig() {
        connections.tables[SelectAllSql("T")] = {{{"id", AdoType::Integer, {}}}, {{"1"}, {"2"}, {"3"}}};
        connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}}, {}};
        source.setCurrentIndex(0);
        source.setSelected(0, true);
        front.replace = true;
    }
    void run(bool inPlace = false) {
        TransferJob job{front, connections, {}, source, target};
        job.replaceInPlace = inPlace;
        TransferTables(kToSqlAnywhere, job);
    }
    QStringList executed() const {
        QStringList statements;
        for (const QString& entry : connections.log) {
            if (entry.startsWith("execute ") || entry == "begin" || entry == "commit" || entry == "rollback")
                statements << QString(entry).remove(QRegularExpression("^execute "));
        }
        return statements;
    }

    test::FakeConnectionFactory connections;
    StoppingFrontEnd front;
    test::MemoryTableList source{{"T"}};
    test::MemoryTableList target{{"T"}};
    const QString staging = StagingName::forTable("T", 0).text();
};

// Fails the INSERT of row 2 as the database would.
std::function<void(const QString&)> failsRowTwo(const char* message, const char* sqlState, int native = 0) {
    return [=](const QString& statement) {
        if (statement.contains("'2'")) throw DbError(message, sqlState, native);
    };
}

}  // namespace

// Whatever ends the rows early, the old table is neither dropped nor unlisted, and the staging
// table goes; a row refused for its own value does not stop the swap.
TEST(StagedReplace, OnlyACopyOfEveryRowTakesTheOldTablesPlace) {
    const struct {
        const char* what;
        std::function<void(const QString&)> onExecute;
        qint64 stopAfter;
        bool swapped;
        qint64 written;
    } cases[] = {
        {"every row", nullptr, 0, true, 3},
        {"a refused row", failsRowTwo("bad value", "22018"), 0, true, 2},
        {"a row refused by its native code", failsRowTwo("Column 'b' cannot be NULL", "HY000", -195), 0, true,
         2},
        {"a lost connection", failsRowTwo("gone", "08S01"), 0, false, 1},
        {"a full disk", failsRowTwo("[SQLite]database or disk is full (13)", "HY000"), 0, false, 1},
        {"a full server", failsRowTwo("could not extend file", "53100"), 0, false, 1},
        {"a busy database", failsRowTwo("database is locked (5)", "HY000", 5), 0, false, 1},
        {"a failure of no known kind", failsRowTwo("something went wrong", "HY000", -1), 0, false, 1},
        {"a stop after row 1", nullptr, 1, false, 1},
    };
    for (const auto& c : cases) {
        ReplaceRig rig;
        rig.connections.onExecute = c.onExecute;
        rig.front.stopAfter = c.stopAfter;
        rig.run();
        const QStringList executed = rig.executed();
        const bool dropped = executed.contains("DROP TABLE \"T\"");
        EXPECT_EQ(dropped, c.swapped) << c.what;
        EXPECT_EQ(executed.contains("ALTER TABLE \"" + rig.staging + "\" RENAME \"T\";"), c.swapped)
            << c.what;
        EXPECT_EQ(executed.contains("DROP TABLE \"" + rig.staging + "\""), !c.swapped) << c.what;
        EXPECT_EQ(rig.target.items(), QStringList{"T"}) << c.what;
        ASSERT_EQ(rig.front.outcomes.size(), 1) << c.what;
        EXPECT_EQ(rig.front.outcomes[0].created, c.swapped) << c.what;
        EXPECT_EQ(rig.front.outcomes[0].oldTableKept, !c.swapped) << c.what;
        EXPECT_EQ(rig.front.outcomes[0].rowsWritten, c.written) << c.what;
    }
}

// Where DROP TABLE and a rename can be one transaction, they are; a refused rename undoes the
// drop, and is reported at the drop's line with its own statement.
TEST(StagedReplace, ATransactionalSwapIsUndoneWhole) {
    ReplaceRig rig;
    rig.connections.dialect = &postgresDialect();
    const QString rename = "ALTER TABLE \"" + rig.staging + "\" RENAME TO \"T\"";
    rig.run();
    EXPECT_EQ(rig.executed().mid(4), QStringList({"begin", "DROP TABLE \"T\"", rename, "commit"}));

    ReplaceRig refused;
    refused.connections.dialect = &postgresDialect();
    refused.connections.onExecute = [&](const QString& s) {
        if (s == rename) throw DbError("permission denied", "42501");
    };
    refused.run();
    EXPECT_EQ(refused.executed().mid(4), QStringList({"begin", "DROP TABLE \"T\"", rename, "rollback",
                                                      "DROP TABLE \"" + refused.staging + "\""}));
    ASSERT_EQ(refused.front.failures.size(), 1);
    EXPECT_EQ(refused.front.failures[0].line, 146);
    EXPECT_EQ(refused.front.failures[0].composing, rename);
    EXPECT_EQ(refused.target.items(), QStringList{"T"});
    EXPECT_TRUE(refused.front.outcomes[0].oldTableKept);
}

// A staging table of the same table left by a process that is gone is removed first; one of a
// running process, or of another machine, is left alone. Lists never show staging tables.
TEST(StagedReplace, LeftoversOfKilledRunsGoAndStagingTablesAreNeverListed) {
    ReplaceRig rig;
    const QString host = StagingName::thisHost();
    const QString dead = StagingName{"T", host, 999999999}.text();
    const QString running = StagingName{"T", host, getppid()}.text();
    const QString elsewhere = StagingName{"T", host == "0000" ? "0001" : "0000", 999999999}.text();
    const QString otherTable = StagingName{"U", host, 999999999}.text();
    for (const QString& name : {dead, running, elsewhere, otherTable, QStringLiteral("T")}) {
        rig.connections.schemaTables.rows << QList<Variant>{name};
    }
    rig.run();
    const QStringList executed = rig.executed();
    EXPECT_EQ(executed.first(), "DROP TABLE \"" + dead + "\"");
    for (const QString& kept : {running, elsewhere, otherTable})
        EXPECT_FALSE(executed.contains("DROP TABLE \"" + kept + "\""));
    // The running one is another copy into the same table: the outcome says so.
    EXPECT_FALSE(rig.front.outcomes.value(0).metOtherCopy.isEmpty());

    test::FakeConnectionFactory connections;
    connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}, {"TABLE_TYPE", AdoType::VarChar, {}}},
                                {{dead, "TABLE"}, {"T", "TABLE"}}};
    test::MemoryTableList list;
    LoadSybaseTables(list, connections, {}, [] {});
    EXPECT_EQ(list.items(), QStringList{"T"});
}

// A staging name fits the target's limit whatever the table's name, cut at a whole character.
TEST(StagedReplace, StagingNamesFitTheTargetsLimit) {
    const QString longName = QString(60, QChar(0x00e9));  // 120 bytes of UTF-8
    const StagingName staging = StagingName::forTable(longName, 63);
    EXPECT_LE(staging.text().toUtf8().size(), 63);
    EXPECT_TRUE(longName.startsWith(staging.tablePart));
    EXPECT_TRUE(StagingName::isFor(staging.text(), longName, 63));
    EXPECT_FALSE(StagingName::isFor(staging.text(), longName + "x", 0));
    EXPECT_FALSE(isStagingTable("T~tw-stage-zz-1"));
}

// --in-place and ReplaceInPlace=1 keep the drop-first order.
TEST(StagedReplace, InPlaceDropsFirst) {
    ReplaceRig rig;
    rig.run(true);
    EXPECT_EQ(rig.executed().first(), "DROP TABLE \"T\"");
    EXPECT_EQ(rig.executed().at(1), "CREATE TABLE \"T\"(\"id\" NUMERIC);");
}
