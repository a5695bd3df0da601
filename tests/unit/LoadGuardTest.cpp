// Rows for a table the target has, through the recording fake: a truncate that would reach other
// tables through their foreign keys, and a load into a table whose engine cannot undo it, are
// refused before anything changes; a replace into MariaDB swaps in one statement.
#include <gtest/gtest.h>

#include "db/AdoType.h"
#include "db/DbError.h"
#include "db/StagingName.h"
#include "db/Sybase.h"
#include "support/FakeConnection.h"
#include "support/MemoryTableList.h"
#include "support/RecordingFrontEnd.h"
#include "transfer/CopyEngine.h"
#include "transfer/WriteMode.h"

using namespace tw;

namespace {

// Table T of two rows on the source and on the target, in the given product.
struct LoadRig {
    explicit LoadRig(const Dialect& product) : dialect(product) {
        connections.dialect = &dialect;
        connections.tables[SelectAllSql("T")] = {{{"id", AdoType::Integer, {}}}, {{"1"}, {"2"}}};
        connections.tables[dialect.quotedName("T").prepend("SELECT * FROM ")] =
            connections.tables[SelectAllSql("T")];
        connections.schemaTables = {{{"TABLE_NAME", AdoType::VarChar, {}}}, {}};
        ColumnShape id;
        id.name = "id";
        id.sqlType = 4;  // SQL_INTEGER
        id.typeName = "INTEGER";
        connections.shapes["T"] = {{id}, {}};
        answer(dialect.referencingKeysQuery({}, "T"), {});
        answer(dialect.tableEngineQuery({}, "T"), {{"InnoDB", "YES"}});
        source.setCurrentIndex(0);
        source.setSelected(0, true);
        front.replace = true;
    }
    // What the catalogue answers the question, one row of two texts a key or engine.
    void answer(const QString& query, const QList<QStringList>& rows) {
        if (query.isEmpty()) return;
        test::FakeTable& table = connections.tables[query];
        table = {{{"name", AdoType::VarChar, {}}, {"what", AdoType::VarChar, {}}}, {}};
        for (const QStringList& row : rows) table.rows << QList<Variant>{Variant(row[0]), Variant(row[1])};
    }
    void run(WriteMode mode, bool allowPartialLoad = false) {
        TransferRequest job{front, connections, {}, source, target};
        job.mode = mode;
        job.allowPartialLoad = allowPartialLoad;
        TransferTables(kToSqlAnywhere, job);
    }
    QStringList executed() const { return connections.statementsSent(); }

    const Dialect& dialect;
    test::FakeConnectionFactory connections;
    test::RecordingFrontEnd front;
    test::MemoryTableList source{{"T"}};
    test::MemoryTableList target{{"T"}};
};

// A key that deletes or changes the rows of another table refuses a truncate, naming the table,
// in every product's catalogue (SQLite's, whose source reads differ, on the stand); one that restricts lets
// the DELETE fail by itself, undone.
TEST(LoadGuard, ATruncateThatReachesOtherTablesIsRefusedNamingThem) {
    const struct {
        const Dialect& dialect;
        const char* action;
        bool refused;
    } cases[] = {
        {postgresDialect(), "CASCADE", true},    {mariaDbDialect(), "SET NULL", true},
        {mariaDbDialect(), "SET DEFAULT", true}, {oracleDialect(), "CASCADE", true},
        {sqlAnywhereDialect(), "CASCADE", true}, {postgresDialect(), "NO ACTION", false},
        {mariaDbDialect(), "RESTRICT", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialect.title().toStdString() + " " + c.action);
        LoadRig rig(c.dialect);
        rig.answer(c.dialect.referencingKeysQuery({}, "T"), {{"C2", c.action}});
        rig.run(WriteMode::Truncate);
        if (!c.refused) {
            EXPECT_TRUE(rig.front.outcomes.value(0).created);
            continue;
        }
        EXPECT_EQ(rig.executed(), QStringList());
        ASSERT_EQ(rig.front.failures.size(), 1);
        EXPECT_EQ(rig.front.failures[0].description,
                  QString("Table T was not emptied: emptying it would delete or change rows of other tables, "
                          "whose foreign keys reference it: C2 (ON DELETE %1). Nothing was changed.")
                      .arg(c.action));
        EXPECT_FALSE(rig.front.outcomes.value(0).created);
        EXPECT_FALSE(rig.front.outcomes.value(0).oldTableKept);
    }
    // An append deletes nothing: the keys are not asked about.
    LoadRig append(postgresDialect());
    append.answer(postgresDialect().referencingKeysQuery({}, "T"), {{"C2", "CASCADE"}});
    append.run(WriteMode::Append);
    EXPECT_TRUE(append.front.outcomes.value(0).created);
}

// A MariaDB table whose engine takes no part in transactions is refused an append or a truncate,
// naming the engine, unless a partial load is allowed; then a failed load says what it may have
// left, never that the table is as it was.
TEST(LoadGuard, ATableThatCannotUndoALoadIsRefusedUnlessAllowed) {
    for (const WriteMode mode : {WriteMode::Append, WriteMode::Truncate}) {
        SCOPED_TRACE(writeModeName(mode).toStdString());
        const bool truncating = mode == WriteMode::Truncate;
        LoadRig refused(mariaDbDialect());
        refused.answer(mariaDbDialect().tableEngineQuery({}, "T"), {{"MyISAM", "NO"}});
        refused.run(mode);
        EXPECT_EQ(refused.executed(), QStringList());
        ASSERT_EQ(refused.front.failures.size(), 1);
        EXPECT_EQ(refused.front.failures[0].description,
                  QString("No rows went into table T: its storage engine, MyISAM, cannot undo a load that "
                          "fails part way, which would leave part of the rows in it%1. Nothing was changed; "
                          "--allow-partial-load loads it all the same.")
                      .arg(truncating ? " and none of its own" : ""));

        LoadRig allowed(mariaDbDialect());
        allowed.answer(mariaDbDialect().tableEngineQuery({}, "T"), {{"MyISAM", "NO"}});
        allowed.connections.onExecute = [](const QString& statement) {
            if (statement.startsWith("INSERT INTO `T`")) throw DbError("Duplicate entry", "23000", 1062);
        };
        allowed.run(mode, true);
        ASSERT_EQ(allowed.front.outcomes.size(), 1);
        EXPECT_FALSE(allowed.front.outcomes[0].created);
        EXPECT_FALSE(allowed.front.outcomes[0].oldTableKept);
        EXPECT_EQ(allowed.front.outcomes[0].partLeft,
                  QString("its storage engine, MyISAM, cannot undo the failed load: the table may hold part "
                          "of the new rows%1")
                      .arg(truncating ? " and none of its own" : ""));
    }
    // A table whose catalogue cannot be read is not loaded either.
    LoadRig unknown(mariaDbDialect());
    unknown.connections.tables.remove(mariaDbDialect().tableEngineQuery({}, "T"));
    unknown.run(WriteMode::Append);
    EXPECT_EQ(unknown.executed(), QStringList());
    EXPECT_FALSE(unknown.front.outcomes.value(0).created);
}

// MariaDB renames the old table aside and the staging table in with one statement, so the name
// always has a table; the old one goes after.
TEST(LoadGuard, MariaDbSwapsInOneRename) {
    LoadRig rig(mariaDbDialect());
    rig.run(WriteMode::Replace);
    const QString staging = StagingName::forTable("T", 0).text();
    const QString aside = StagingName::forTable("T", 0).asideText();
    const QStringList executed = rig.executed();
    ASSERT_GE(executed.size(), 2);
    EXPECT_EQ(executed.mid(executed.size() - 2),
              QStringList({"RENAME TABLE `T` TO `" + aside + "`, `" + staging + "` TO `T`",
                           "DROP TABLE `" + aside + "`"}));
    EXPECT_TRUE(rig.front.outcomes.value(0).created);
}

}  // namespace
