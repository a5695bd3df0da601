// The engine and the maintenance routines without a window: a Qt Core program drives a transfer
// and a rename against the stand through the front-end interface alone.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "db/SqlText.h"
#include "db/odbc/OdbcConnection.h"
#include "maintenance/RenameTable.h"
#include "shell/Locale.h"
#include "support/MemoryTableList.h"
#include "support/RecordingFrontEnd.h"
#include "support/StandDatabases.h"
#include "transfer/CopyEngine.h"

using namespace tw;

namespace {

const ConnectionValues kStand{test::standOracleServer(), test::kStandOracleUser, test::kStandOraclePassword,
                              test::kStandDataSource};

class Headless : public ::testing::Test {
protected:
    void TearDown() override {
        test::dropQuietly(*m_oracle, m_table);
        test::dropQuietly(*test::openStand(test::standDatabases()[1]), m_table);
    }

    const QString m_table = test::uniqueTableName("headless");
    std::unique_ptr<Connection> m_oracle = test::openStand(test::standDatabases()[0]);
    odbc::OdbcConnectionFactory m_connections;
    test::RecordingFrontEnd m_front;
};

}  // namespace

TEST_F(Headless, ATransferAsksAndReportsEachRow) {
    // Into Oracle, over a table the Oracle list shows, with one row Oracle refuses.
    auto sqlanyDb = test::openStand(test::standDatabases()[1]);
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(m_table)));
    sqlanyDb->execute(QStringLiteral("INSERT INTO %1 VALUES(1), ('x'), (3)").arg(quotedName(m_table)));
    m_oracle->execute(QStringLiteral("CREATE TABLE %1(old integer)").arg(quotedName(m_table)));
    test::MemoryTableList sqlany({m_table});
    sqlany.setCurrentIndex(0);
    sqlany.setSelected(0, true);
    test::MemoryTableList oracle({m_table});
    m_front.replace = true;
    TransferTables(kToOracle, {m_front, m_connections, kStand, sqlany, oracle});

    EXPECT_EQ(m_front.asked, QStringList({m_table}));
    EXPECT_EQ(m_front.rowsDone, QList<qint64>({1, 2, 3}));
    ASSERT_EQ(m_front.failures.size(), 1);
    const Failure& failure = m_front.failures[0];
    EXPECT_EQ(failure.procedure, QStringLiteral("Form2.PushButton3_Click"));
    EXPECT_EQ(failure.line, 260);
    EXPECT_EQ(failure.sqlState, QStringLiteral("22P02"));  // the database's own code
    EXPECT_EQ(failure.table, m_table);
    EXPECT_FALSE(failure.statement.has_value());  // this direction quotes no statement
    ASSERT_EQ(m_front.outcomes.size(), 1);
    const TableOutcome& outcome = m_front.outcomes[0];
    EXPECT_EQ(outcome.table, m_table);
    EXPECT_TRUE(outcome.created);
    EXPECT_EQ(outcome.rowsRead, 3);
    EXPECT_EQ(outcome.rowsWritten, 2);
    EXPECT_EQ(outcome.rowsFailed, 1);
    EXPECT_EQ(oracle.items(), QStringList({m_table}));
}

TEST_F(Headless, ARenameTheDatabaseRefusesIsReportedWithItsCodes) {
    // The stand's databases do not know the SQL Anywhere rename statement.
    auto sqlanyDb = test::openStand(test::standDatabases()[1]);
    sqlanyDb->execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(m_table)));
    test::MemoryTableList sqlany({m_table});
    sqlany.setCurrentIndex(0);
    sqlany.setSelected(0, true);
    m_front.newNames << m_table + "_new";
    RenameTable(kSybaseSide, sqlany, {m_front, m_connections, kStand});

    EXPECT_EQ(m_front.asked, QStringList({m_table}));
    ASSERT_EQ(m_front.failures.size(), 1);
    const Failure& failure = m_front.failures[0];
    EXPECT_EQ(failure.procedure, QStringLiteral("Form2.PushButton6_Click"));
    EXPECT_EQ(failure.line, 122);
    EXPECT_EQ(failure.table, m_table);
    EXPECT_FALSE(failure.sqlState.isEmpty());
    EXPECT_FALSE(failure.description.isEmpty());
    EXPECT_EQ(sqlany.items(), QStringList({m_table}));  // refused: the list is as it was
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    useDatabaseLocale();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
