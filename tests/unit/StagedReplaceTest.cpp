// Replacing a table through the recording fake: the new rows fill a staging table, which takes
// the old table's place only once every row is there; anything less leaves the old table as it
// was. The same against the real drivers, killed part way, is in the integration tests.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>

#include "cli/RunSummary.h"
#include "db/AdoType.h"
#include "db/DbError.h"
#include "db/RenderedRead.h"
#include "db/SqlComposer.h"
#include "db/StagingName.h"
#include "db/StagingRecords.h"
#include "db/Sybase.h"
#include "shell/ProcessRuns.h"
#include "shell/TableVerdict.h"
#include "support/FakeConnection.h"
#include "support/MemoryTableList.h"
#include "support/RecordingFrontEnd.h"
#include "transfer/CopyEngine.h"
#include "transfer/CopyPreview.h"
#include "transfer/TablePlan.h"
#include "transfer/WriteMode.h"

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
        connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}}, {{"T"}}};  // the target has T
        source.setCurrentIndex(0);
        source.setSelected(0, true);
        front.replace = true;
    }
    void run(bool inPlace = false, WriteMode mode = WriteMode::Replace) {
        TransferRequest job{front, connections, {}, source, target};
        job.replaceInPlace = inPlace;
        job.mode = mode;
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
    const QString aside = StagingName::forTable("T", 0).asideText();
};

// Staging records of the test's own while it lives: the other tests of table T, which may run at
// the same time, keep theirs in the build's state folder.
struct PrivateStateFolder {
    PrivateStateFolder() { qputenv("XDG_STATE_HOME", folder.path().toUtf8()); }
    ~PrivateStateFolder() { qputenv("XDG_STATE_HOME", before); }
    QTemporaryDir folder;
    QByteArray before = qgetenv("XDG_STATE_HOME");
};

// The target's table of one integer column that must hold a value and has no default.
TableShape oneColumnTable(const QString& column) {
    ColumnShape shape;
    shape.name = column;
    shape.sqlType = 4;  // SQL_INTEGER
    shape.typeName = "INTEGER";
    shape.nullable = false;
    return {{shape}, {}};
}

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
        EXPECT_EQ(executed.contains("DROP TABLE \"" + rig.aside + "\""), c.swapped) << c.what;
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

// Where the swap cannot be one transaction it goes in steps, the old table aside first. Each step
// refused in turn: before the new table has the name, the old one stands under it (put back where
// it went aside) and every row is said to be written; once the new one has it, an old table that
// cannot be dropped stays aside; where even the way back is refused, neither table is dropped.
TEST(StagedReplace, ASwapInStepsNeverLosesTheOldTableBeforeTheNewOneHasItsName) {
    ReplaceRig names;
    const QString asideOld = "ALTER TABLE \"T\" RENAME \"" + names.aside + "\";";
    const QString newIn = "ALTER TABLE \"" + names.staging + "\" RENAME \"T\";";
    const QString dropOld = "DROP TABLE \"" + names.aside + "\"";
    const QString oldBack = "ALTER TABLE \"" + names.aside + "\" RENAME \"T\";";
    const QString dropNew = "DROP TABLE \"" + names.staging + "\"";
    const struct {
        QStringList refused;
        QStringList after;  // the statements from the first of the swap on
        bool swapped;
        bool oldKept;
    } cases[] = {
        {{}, {asideOld, newIn, dropOld}, true, false},
        {{asideOld}, {asideOld, dropNew}, false, true},
        {{newIn}, {asideOld, newIn, oldBack, dropNew}, false, true},
        {{dropOld}, {asideOld, newIn, dropOld}, true, false},
        {{newIn, oldBack}, {asideOld, newIn, oldBack}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused.join(" and ").toStdString());
        ReplaceRig rig;
        rig.connections.onExecute = [&](const QString& statement) {
            if (c.refused.contains(statement)) throw DbError("refused", "42000");
        };
        rig.run();
        const QStringList executed = rig.executed();
        EXPECT_EQ(executed.mid(executed.indexOf(asideOld)), c.after);
        ASSERT_EQ(rig.front.failures.size(), c.refused.size());
        for (int i = 0; i < c.refused.size(); ++i) {
            EXPECT_EQ(rig.front.failures[i].line, 146);
            // A step that leaves no table under another name is the user's table's drop to them;
            // one that leaves the old table aside names it. The statement as sent goes with it.
            const bool asDrop = c.refused[i] == asideOld || c.refused[i] == newIn;
            EXPECT_EQ(rig.front.failures[i].composing, asDrop ? "DROP TABLE \"T\"" : c.refused[i]);
            EXPECT_EQ(rig.front.failures[i].sent, asDrop ? c.refused[i] : QString());
        }
        ASSERT_EQ(rig.front.outcomes.size(), 1);
        EXPECT_EQ(rig.front.outcomes[0].created, c.swapped);
        EXPECT_EQ(rig.front.outcomes[0].oldTableKept, c.oldKept);
        EXPECT_EQ(rig.front.outcomes[0].swapRefused, c.oldKept);
        EXPECT_EQ(rig.front.outcomes[0].rowsWritten, 3);
    }
}

// A rename would take other tables' foreign keys along with the old table, and its DROP would
// then be refused: a table they reference is not replaced, and nothing of it is renamed.
TEST(StagedReplace, ATableOtherTablesReferenceIsNotSwappedInSteps) {
    ReplaceRig rig;
    rig.connections.tables[sqlAnywhereDialect().referencingKeysQuery({}, "T")] = {
        {{"TABLE_NAME", AdoType::VarChar, {}}, {"RULE", AdoType::VarChar, {}}}, {{"C", "RESTRICT"}}};
    rig.run();
    EXPECT_EQ(rig.executed().filter("RENAME"), QStringList());
    EXPECT_TRUE(rig.executed().contains("DROP TABLE \"" + rig.staging + "\""));
    ASSERT_EQ(rig.front.failures.size(), 1);
    EXPECT_EQ(rig.front.failures[0].line, 146);
    EXPECT_EQ(rig.front.failures[0].composing, "DROP TABLE \"T\"");
    EXPECT_TRUE(rig.front.failures[0].description.contains("reference it: C."))
        << rig.front.failures[0].description.toStdString();
    ASSERT_EQ(rig.front.outcomes.size(), 1);
    EXPECT_FALSE(rig.front.outcomes[0].created);
    EXPECT_TRUE(rig.front.outcomes[0].oldTableKept);
}

// Where DROP TABLE and a rename can be one transaction, they are; a refused rename undoes the
// drop, and is reported at the drop's line with its own statement.
TEST(StagedReplace, ATransactionalSwapIsUndoneWhole) {
    ReplaceRig rig;
    rig.connections.dialect = &postgresDialect();
    const QString rename = "ALTER TABLE \"" + rig.staging + "\" RENAME TO \"T\"";
    rig.run();
    const QStringList executed = rig.executed();
    EXPECT_EQ(executed.mid(executed.indexOf("begin")),
              QStringList({"begin", "DROP TABLE \"T\"", rename, "commit",
                           postgresDialect().keysNamedAfterTableSql({}, "T")}));

    ReplaceRig refused;
    refused.connections.dialect = &postgresDialect();
    refused.connections.onExecute = [&](const QString& s) {
        if (s == rename) throw DbError("permission denied", "42501");
    };
    refused.run();
    const QStringList undone = refused.executed();
    EXPECT_EQ(undone.mid(undone.indexOf("begin")),
              QStringList({"begin", "DROP TABLE \"T\"", rename, "rollback",
                           "DROP TABLE \"" + refused.staging + "\""}));
    ASSERT_EQ(refused.front.failures.size(), 1);
    EXPECT_EQ(refused.front.failures[0].line, 146);
    EXPECT_EQ(refused.front.failures[0].composing, "DROP TABLE \"T\"");
    EXPECT_EQ(refused.front.failures[0].sent, rename);
    EXPECT_EQ(refused.target.items(), QStringList{"T"});
    EXPECT_TRUE(refused.front.outcomes[0].oldTableKept);

    // A DROP the database refuses (a view depends on the table) is quoted itself, not the last
    // INSERT, and every row is said to be written.
    ReplaceRig viewed;
    viewed.connections.dialect = &postgresDialect();
    viewed.connections.onExecute = [&](const QString& s) {
        if (s == "DROP TABLE \"T\"") throw DbError("other objects depend on it", "2BP01");
    };
    viewed.run();
    ASSERT_EQ(viewed.front.failures.size(), 1);
    EXPECT_EQ(viewed.front.failures[0].composing, "DROP TABLE \"T\"");
    EXPECT_TRUE(viewed.front.outcomes[0].swapRefused);
    EXPECT_EQ(viewed.front.outcomes[0].rowsWritten, 3);
}

// A staging table of the same table goes first when this machine's records show a copy made it
// and its process is gone, or is this very process, done with it; one of a copy that runs, or of
// another machine, is left alone and named. A table merely named like one is a user's: never
// dropped, and listed.
TEST(StagedReplace, OnlyRecordedLeftoversGoAndOnlyRecordedStagingTablesAreHidden) {
    ReplaceRig rig;
    const QString host = StagingName::thisHost();
    const QString otherHost = host == "0000000000" ? "0000000001" : "0000000000";
    const QString database = StagingRecords::databaseOf(SybaseConnectionTarget({}));
    StagingRecords records;
    const auto recorded = [&](const QString& name, qint64 pid, qint64 start) {
        StagingRecords::Record record = StagingRecords::ofThisProcess(database, name);
        record.pid = pid;
        record.processStart = start;
        record.created = true;
        records.add(record);
        return name;
    };
    const QString dead = recorded(StagingName{"T", host, 999999999}.text(), 999999999, 1);
    const QString ownGivenUp =
        recorded(StagingName{"T", host, getpid()}.text(), getpid(), processStartTime(getpid()));
    const QString running =
        recorded(StagingName{"T", host, 999999998}.text(), getppid(), processStartTime(getppid()));
    const QString pidReused = recorded(StagingName{"T", host, 999999997}.text(), getppid(), 1);
    const QString lookalike = StagingName{"T", host, 99999}.text();
    const QString elsewhere = StagingName{"T", otherHost, 999999999}.text();
    const QString otherTable = recorded(StagingName{"U", host, 999999999}.text(), 999999999, 1);
    for (const QString& name :
         {dead, ownGivenUp, running, pidReused, lookalike, elsewhere, otherTable, QStringLiteral("T")}) {
        rig.connections.schemaTables.rows << QList<Variant>{name};
    }
    rig.run();
    const QStringList executed = rig.executed();
    for (const QString& gone : {dead, ownGivenUp, pidReused}) {
        EXPECT_TRUE(executed.contains("DROP TABLE \"" + gone + "\"")) << gone.toStdString();
        EXPECT_FALSE(records.find(database, gone)) << gone.toStdString();
    }
    for (const QString& kept : {running, lookalike, elsewhere, otherTable})
        EXPECT_FALSE(executed.contains("DROP TABLE \"" + kept + "\"")) << kept.toStdString();
    ASSERT_EQ(rig.front.outcomes.size(), 1);
    EXPECT_EQ(rig.front.leftoversRemoved.size(), 3);
    EXPECT_FALSE(rig.front.outcomes[0].metOtherCopy.isEmpty());
    // This copy's own staging table took the table's place, and its record is gone with it.
    EXPECT_FALSE(records.find(database, rig.staging));

    test::FakeConnectionFactory connections;
    connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}, {"TABLE_TYPE", AdoType::VarChar, {}}},
                                {{running, "TABLE"}, {lookalike, "TABLE"}, {"T", "TABLE"}}};
    test::MemoryTableList list;
    LoadSybaseTables(list, connections, {}, [] {});
    EXPECT_EQ(list.items(), QStringList({lookalike, "T"}));
    records.remove(database, running);
    records.remove(database, otherTable);
}

// A copy killed after sending its staging table's CREATE TABLE, before marking it created,
// leaves a table that the next copy of the table takes away: the record says the CREATE was sent
// for a name the target had no table of. Where the target has a table of the very name, the
// CREATE may fail on it, and the record never says so; a record of a table that is not there
// goes.
TEST(StagedReplace, AStagingTableKilledBeforeItsCreateWasMarkedGoesWithTheNextCopy) {
    // Records of its own: the other tests of table T, which may run at the same time, keep theirs
    // in the build's state folder and would take these for leftovers of their own.
    const PrivateStateFolder state;
    for (const bool nameTaken : {false, true}) {
        SCOPED_TRACE(nameTaken ? "the name taken" : "the name free");
        ReplaceRig rig;
        const QString host = StagingName::thisHost();
        const QString database = StagingRecords::databaseOf(SybaseConnectionTarget({}));
        StagingRecords records;
        const auto sent = [&](const QString& name) {
            StagingRecords::Record record = StagingRecords::ofThisProcess(database, name);
            record.pid = 999999999;
            record.processStart = 1;
            record.createSent = true;
            records.add(record);
            return name;
        };
        const QString killed = sent(StagingName{"T", host, 999999999}.text());
        const QString neverMade = sent(StagingName{"T", host, 999999998}.text());
        rig.connections.schemaTables.rows << QList<Variant>{killed};
        if (nameTaken) rig.connections.schemaTables.rows << QList<Variant>{rig.staging};
        std::optional<bool> markedAtCreate;
        rig.connections.onExecute = [&](const QString& statement) {
            if (statement.startsWith("CREATE TABLE \"" + rig.staging + "\""))
                markedAtCreate =
                    records.find(database, rig.staging).value_or(StagingRecords::Record{}).createSent;
        };
        rig.run();
        EXPECT_TRUE(rig.executed().contains("DROP TABLE \"" + killed + "\""));
        EXPECT_FALSE(records.find(database, killed));
        EXPECT_FALSE(records.find(database, neverMade));
        EXPECT_EQ(markedAtCreate, std::optional<bool>(!nameTaken));
        records.remove(database, rig.staging);
    }
}

// A CREATE TABLE that met a lost connection or a time-out may have made its table: the record
// stays for a later copy to take the table away. One the database refused goes.
TEST(StagedReplace, AStagingTableWhoseCreateMayHaveGoneThroughKeepsItsRecord) {
    const PrivateStateFolder state;
    for (const bool lost : {true, false}) {
        SCOPED_TRACE(lost ? "lost" : "refused");
        ReplaceRig rig;
        rig.connections.onExecute = [&](const QString& statement) {
            if (!statement.startsWith("CREATE TABLE")) return;
            DbError failure("The server did not answer within 30 seconds.", "HYT00");
            if (lost) failure.markConnectionLost();
            throw failure;
        };
        rig.run();
        const QString database = StagingRecords::databaseOf(SybaseConnectionTarget({}));
        StagingRecords records;
        EXPECT_EQ(records.find(database, rig.staging).has_value(), lost);
        records.remove(database, rig.staging);
    }
}

// A replace none of whose rows went in keeps the old table: an empty table in its place would
// lose every row of it for none of the source's.
TEST(StagedReplace, AReplaceWhoseEveryRowWasRefusedKeepsTheOldTable) {
    ReplaceRig rig;
    rig.connections.onExecute = [](const QString& statement) {
        if (statement.startsWith("INSERT")) throw DbError("invalid input syntax", "22P02");
    };
    rig.run();
    ASSERT_EQ(rig.front.outcomes.size(), 1);
    EXPECT_TRUE(rig.front.outcomes[0].oldTableKept);
    EXPECT_EQ(verdictText(rig.front.outcomes[0]), "not replaced: every row was refused");
    EXPECT_FALSE(rig.executed().contains("DROP TABLE \"T\""));
}

// A copy that lost its connection says when its own table of the rows that arrived stays
// behind, and only then.
TEST(StagedReplace, AStagingTableThatCouldNotBeDroppedIsSaid) {
    for (const bool dropFails : {true, false}) {
        SCOPED_TRACE(dropFails ? "the drop fails" : "the drop goes");
        ReplaceRig rig;
        rig.connections.onExecute = [&](const QString& statement) {
            const bool lostRow = statement.contains("'2'");
            const bool drop = statement == "DROP TABLE \"" + rig.staging + "\"";
            if (!lostRow && !(drop && dropFails)) return;
            DbError lost("Connection lost", "08S01");
            lost.markConnectionLost();
            throw lost;
        };
        rig.run();
        ASSERT_EQ(rig.front.outcomes.size(), 1);
        EXPECT_EQ(rig.front.outcomes[0].leftoverKept, dropFails);
        EXPECT_TRUE(rig.front.outcomes[0].oldTableKept);
    }
}

// A staging name fits the target's limit whatever the table's name, cut at a whole character;
// two names cut to the same start still get staging names of their own.
TEST(StagedReplace, StagingNamesFitTheTargetsLimitAndNeverMeet) {
    const QString longName = QString(60, QChar(0x00e9));  // 120 bytes of UTF-8
    const StagingName staging = StagingName::forTable(longName, 63);
    EXPECT_LE(staging.text().toUtf8().size(), 63);
    EXPECT_TRUE(longName.startsWith(staging.tablePart.section('~', 0, 0)));
    EXPECT_TRUE(StagingName::isFor(staging.text(), longName, 63));
    EXPECT_FALSE(StagingName::isFor(staging.text(), longName + "x", 0));
    const QString shared(45, 'a');
    const QString first = StagingName::forTable(shared + "_first_one", 63).text();
    const QString second = StagingName::forTable(shared + "_second_1", 63).text();
    EXPECT_NE(first, second);
    EXPECT_LE(second.toUtf8().size(), 63);
    EXPECT_FALSE(StagingName::isFor(first, shared + "_second_1", 63));
    // Names the program never makes are no staging names.
    EXPECT_FALSE(StagingName::parse("T~tw-stage-zz-1"));
    EXPECT_FALSE(StagingName::parse("T~tw-stage-" + StagingName::thisHost() + "-0"));
    EXPECT_FALSE(StagingName::parse("T~tw-stage-" + StagingName::thisHost() + "-99999999999999999999"));
}

// --in-place and ReplaceInPlace=1 keep the drop-first order.
TEST(StagedReplace, InPlaceDropsFirst) {
    ReplaceRig rig;
    rig.run(true);
    EXPECT_EQ(rig.executed().first(), "DROP TABLE \"T\"");
    EXPECT_EQ(rig.executed().at(1), "CREATE TABLE \"T\"(\"id\" NUMERIC);");
}

// Rows for a table the target has fill a staging table of its columns' types, which go into the
// table in one transaction: after a DELETE for a truncate, with no question for an append. A
// refused step undoes the transaction, and the table stays as it was.
TEST(StagedReplace, AppendAndTruncateLoadTheTableInOneTransaction) {
    const struct {
        WriteMode mode;
        const char* refused;  // a statement the database refuses, if any
        QStringList after;    // from the last row's INSERT on
        bool asked;
    } cases[] = {
        {WriteMode::Truncate,
         nullptr,
         {"begin", "DELETE FROM \"T\"", "INSERT SELECT", "commit", "DROP STAGING"},
         true},
        {WriteMode::Append, nullptr, {"begin", "INSERT SELECT", "commit", "DROP STAGING"}, false},
        {WriteMode::Truncate,
         "INSERT SELECT",
         {"begin", "DELETE FROM \"T\"", "INSERT SELECT", "rollback", "DROP STAGING"},
         true},
        {WriteMode::Append, "INSERT SELECT", {"begin", "INSERT SELECT", "rollback", "DROP STAGING"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << writeModeName(c.mode).toStdString() << " refusing "
                                        << (c.refused ? c.refused : "nothing"));
        ReplaceRig rig;
        rig.connections.shapes["T"] = oneColumnTable("id");
        rig.connections.tables[sqlAnywhereDialect().referencingKeysQuery({}, "T")] = {};
        const QString insertSelect = "INSERT INTO \"T\" (\"id\") SELECT \"id\" FROM \"" + rig.staging + "\"";
        const auto spelled = [&](QString statement) {
            return statement.replace("INSERT SELECT", insertSelect)
                .replace("DROP STAGING", "DROP TABLE \"" + rig.staging + "\"");
        };
        rig.connections.onExecute = [&](const QString& statement) {
            if (c.refused && statement == spelled(c.refused)) throw DbError("duplicate key", "23505");
        };
        rig.run(false, c.mode);
        QStringList expected;
        for (const QString& statement : c.after) expected << spelled(statement);
        const QStringList executed = rig.executed();
        EXPECT_EQ(executed.mid(executed.indexOf("begin")), expected);
        EXPECT_EQ(rig.front.asked.size(), c.asked ? 1 : 0);
        EXPECT_EQ(rig.target.items(), QStringList{"T"});
        ASSERT_EQ(rig.front.outcomes.size(), 1);
        EXPECT_TRUE(rig.front.outcomes[0].intoExisting);
        EXPECT_EQ(rig.front.outcomes[0].created, !c.refused);
        EXPECT_EQ(rig.front.outcomes[0].oldTableKept, c.refused != nullptr);
        ASSERT_EQ(rig.front.failures.size(), c.refused ? 1 : 0);
        if (c.refused) {
            // Shown as the INSERT into the user's table, never as one from a table of that name.
            EXPECT_EQ(rig.front.failures[0].composing.toStdString(),
                      "INSERT INTO \"T\" (\"id\") SELECT \"id\" FROM \u2026");
            EXPECT_EQ(rig.front.failures[0].sent, insertSelect);
        }
    }
}

// What an append or a truncate wrote is what the load added, as the database counts the
// INSERT … SELECT: fewer than staged (a trigger that dropped a row) is copied in part, said in
// the summary and --json, and fails the run; a load that failed wrote nothing.
TEST(StagedReplace, RowsWrittenByALoadAreTheRowsItAdded) {
    const struct {
        const char* what;
        WriteMode mode;
        qint64 added;  // as the database counts it; -1: it does not say
        bool refused;
        qint64 written;
        TableVerdict verdict;
        QString said;
    } cases[] = {
        {"an append, counted", WriteMode::Append, 3, false, 3, TableVerdict::Copied, "copied"},
        {"an append, not counted", WriteMode::Append, -1, false, 3, TableVerdict::Copied, "copied"},
        {"an append that lost a row", WriteMode::Append, 2, false, 2, TableVerdict::RowsNotAdded,
         "copied in part: the table took 2 of the 3 rows loaded into it"},
        {"a truncate that lost a row", WriteMode::Truncate, 2, false, 2, TableVerdict::RowsNotAdded,
         "copied in part: the table took 2 of the 3 rows loaded into it"},
        {"an append refused", WriteMode::Append, 3, true, 0, TableVerdict::NotReplaced,
         "not copied: no rows went in"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReplaceRig rig;
        rig.connections.shapes["T"] = oneColumnTable("id");
        rig.connections.tables[sqlAnywhereDialect().referencingKeysQuery({}, "T")] = {};
        rig.connections.rowsChanged = [&](const QString& statement) -> qint64 {
            return statement.startsWith("INSERT INTO \"T\" (") ? c.added : -1;
        };
        rig.connections.onExecute = [&](const QString& statement) {
            if (c.refused && statement.startsWith("INSERT INTO \"T\" (")) throw DbError("refused", "23505");
        };
        rig.run(false, c.mode);
        ASSERT_EQ(rig.front.outcomes.size(), 1);
        const TableOutcome& outcome = rig.front.outcomes[0];
        EXPECT_EQ(outcome.rowsWritten, c.written);
        EXPECT_EQ(outcome.rowsRead, outcome.rowsWritten + outcome.rowsFailed);
        EXPECT_EQ(verdictOf(outcome), c.verdict);
        EXPECT_EQ(verdictText(outcome), c.said);
        cli::TableResult result{"T", cli::TableResult::Status::Copied, outcome};
        EXPECT_TRUE(cli::summaryJson("copy", {result}, {}, 1)
                        .contains(QStringLiteral("\"rowsWritten\": %1,").arg(c.written)));
    }
}

// A source column the target's table has no place for, or a NOT NULL column without a default
// that the source cannot fill, refuses the table before anything is sent.
TEST(StagedReplace, RowsWithoutAPlaceInTheTableRefuseItBeforeAnythingChanges) {
    ReplaceRig rig;
    rig.connections.shapes["T"] = oneColumnTable("n");
    rig.connections.tables[SelectAllSql("T")].fields[0].name = "id";
    rig.run(false, WriteMode::Append);
    EXPECT_EQ(rig.executed(), QStringList());
    ASSERT_EQ(rig.front.failures.size(), 1);
    EXPECT_EQ(rig.front.failures[0].description.toStdString(),
              "No rows went into table T, which is left as it was: it has no column for the source's id; "
              "its n must hold a value and the source has no column for it.");
    EXPECT_FALSE(rig.front.outcomes[0].created);
}

namespace {

// What a copy of table T (id INTEGER, v) sends the target, through the recording fake of the
// product: the staging table and the old table set aside under the dry run's names, and the
// rows' statements as one line, as the dry run prints them.
struct ProductCopy {
    const Dialect& product;
    bool exists;
    WriteMode mode;
    bool inPlace;
    QString table = "T";
    int nameLimit = 0;  // the target's longest table name in bytes

    void setUp(test::FakeConnectionFactory& connections) const {
        connections.dialect = &product;
        connections.nameLimits.table = nameLimit;
        const QList<Field> fields{{"id", AdoType::Integer, {}}, {"v", AdoType::VarWChar, {}}};
        const SqlComposer sql(product);
        connections.tables[sql.selectAll({{}, table})] = {fields, {{"1", "a"}, {"2", "b"}}};
        connections.tables[sql.selectAll({{}, table}) + " WHERE 1 = 0"] = {fields, {}};
        connections.tables[sql.count({{}, table})] = {{{"count", AdoType::Integer, {}}}, {{"2"}}};
        if (exists) connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}}, {{table}}};
        TableShape shape = oneColumnTable("id");
        shape.columns << shape.columns[0];
        shape.columns[1].name = "v";
        shape.columns[1].sqlType = -9;  // SQL_WVARCHAR
        shape.columns[1].typeName = "VARCHAR";
        shape.columns[1].size = 10;
        connections.shapes[table] = shape;
        // The source's rows as a product that reads some columns rendered reads them, and the
        // catalogue's answers about the target's table: nothing reaches it, and a load is undone.
        for (const QList<ColumnKind>& kinds : {QList<ColumnKind>(), faithfulReadKinds(product, shape)})
            connections.tables[renderedRead(product, table, shape, kinds).statement] = {
                fields, {{"1", "a"}, {"2", "b"}}};
        const test::FakeTable none{{{"name", AdoType::VarChar, {}}}, {}};
        for (const QString& query :
             {product.referencingKeysQuery({}, table), product.tableEngineQuery({}, table)})
            if (!query.isEmpty()) connections.tables[query] = none;
    }

    QStringList copySends() const {
        test::FakeConnectionFactory connections;
        setUp(connections);
        test::RecordingFrontEnd front;
        front.replace = true;
        test::MemoryTableList source{{table}};
        test::MemoryTableList target{exists ? QStringList{table} : QStringList()};
        source.setCurrentIndex(0);
        source.setSelected(0, true);
        TransferRequest job{front, connections, {}, source, target};
        job.replaceInPlace = inPlace;
        job.mode = mode;
        TransferTables(kToSqlAnywhere, job);
        QStringList sent;
        const StagingName staging = StagingName::forTable(table, nameLimit);
        const QString filled = inPlace ? table : staging.text();
        const QString rows = "INSERT INTO " + SqlComposer(product).name({{}, filled}) + " VALUES(";
        bool inRows = false;
        for (QString statement : connections.statementsSent()) {
            const bool aRow = statement.startsWith(rows);
            if (aRow && inRows) continue;
            inRows = aRow;
            if (aRow) statement = rows + "…) × 2";
            statement.replace(staging.text(), staging.tablePart + "~tw-stage-…");
            sent << statement.replace(staging.asideText(), staging.tablePart + "~tw-kept-…");
        }
        return sent;
    }

    QStringList dryRunPrints(int batchRows = 1) const {
        test::FakeConnectionFactory connections;
        setUp(connections);
        const auto reader = connections.create();
        reader->open(ConnectionTarget::dataSource("a"));
        PreviewChoices choices;
        choices.targetHasTable = exists;
        choices.overwrite = PreviewChoices::Overwrite::Yes;
        choices.inPlace = inPlace;
        choices.mode = mode;
        if (exists && mode != WriteMode::Replace) choices.existing = connections.shapes[table];
        choices.tableNameLimit = nameLimit;
        choices.batchRows = batchRows;
        const Dialect& created = kToSqlAnywhere.destination->ownDialect(reader.get());
        const TablePreview preview = previewCopy(*reader, created, product, table, choices);
        EXPECT_TRUE(preview.error.isEmpty()) << preview.error.toStdString();
        return preview.statements;
    }
};

}  // namespace

// The dry run prints the very statements the copy sends the target, in their order, for every
// action and every product's way of putting a new table in the old one's place.
TEST(DryRun, PrintsWhatTheCopySendsForEveryActionAndProduct) {
    PrivateStateFolder state;
    const struct {
        const char* action;
        bool exists;
        WriteMode mode;
        bool inPlace;
    } actions[] = {
        {"create", false, WriteMode::Replace, false},         {"replace", true, WriteMode::Replace, false},
        {"replace in place", true, WriteMode::Replace, true}, {"append", true, WriteMode::Append, false},
        {"truncate", true, WriteMode::Truncate, false},
    };
    for (const Dialect* product :
         {&oracleDialect(), &sqlAnywhereDialect(), &postgresDialect(), &sqliteDialect(), &mariaDbDialect()}) {
        for (const auto& action : actions) {
            const ProductCopy copy{*product, action.exists, action.mode, action.inPlace};
            EXPECT_EQ(copy.copySends().join('\n').toStdString(), copy.dryRunPrints().join('\n').toStdString())
                << action.action << " into " << product->title().toStdString();
        }
    }
}

// A long name's staging table is shortened in the dry run as in the copy, and batches into
// PostgreSQL are shown going by COPY, as they do.
TEST(DryRun, ShortensALongNameAsTheCopyDoesAndShowsTheBulkPath) {
    PrivateStateFolder state;
    const QString longName(60, QLatin1Char('L'));
    for (const Dialect* product : {&postgresDialect(), &mariaDbDialect()}) {
        const ProductCopy copy{*product, true, WriteMode::Replace, false, longName, 63};
        EXPECT_EQ(copy.copySends().join('\n').toStdString(), copy.dryRunPrints().join('\n').toStdString())
            << product->title().toStdString();
    }
    const ProductCopy batched{postgresDialect(), false, WriteMode::Replace, false};
    EXPECT_TRUE(batched.dryRunPrints(100).contains("COPY \"T~tw-stage-…\" FROM STDIN × 2"))
        << batched.dryRunPrints(100).join('\n').toStdString();
}
