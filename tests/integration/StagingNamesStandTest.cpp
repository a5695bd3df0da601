// Names through the built program: a user's table named like a copy's leftover stays and is
// listed, two tables the target takes for one are copied once, and two long names that share
// their start are staged apart by two jobs at once.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>

#include "db/StagingName.h"
#include "support/CommandLineRig.h"

using namespace tw;

namespace {

class StagingNamesStand : public test::CommandLineRig {
protected:
    // A table of the side with one row, dropped at the end.
    void make(int side, const QString& table, int value) {
        create(side, "n integer", {QString::number(value)}, table);
        m_made.add(database(side), table);
    }
    QString valueIn(int side, const QString& table) {
        return database(side).openRecordset(SelectAllSql(table))->field(0).value.toString();
    }

    test::CreatedTables m_made;
};

}  // namespace

TEST_F(StagingNamesStand, AUserTableNamedLikeALeftoverStaysAndIsListed) {
    make(0, m_table, 1);
    make(1, m_table, 2);
    // As this program names its staging tables, and as it named them before it kept records.
    const QString earlierHost =
        QCryptographicHash::hash(QSysInfo::machineHostName().toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(4);
    const QStringList lookalikes{m_table + "~tw-stage-" + StagingName::thisHost() + "-99999",
                                 m_table + "~tw-stage-" + earlierHost + "-99999"};
    for (const QString& lookalike : lookalikes) make(1, lookalike, 3);
    const test::ProgramRun copied = run({"copy", "--to", "sqlanywhere", "--overwrite", "yes", m_table});
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_EQ(valueIn(1, m_table), "1");
    const QStringList listed = run({"list", "--side", "sqlanywhere"}).out.split('\n');
    for (const QString& lookalike : lookalikes) {
        EXPECT_EQ(valueIn(1, lookalike), "3");
        EXPECT_TRUE(listed.contains(lookalike)) << lookalike.toStdString();
    }
}

TEST_F(StagingNamesStand, TablesTheTargetTakesForOneAreCopiedOnce) {
    const QString lower = m_table + "_caset";
    const QString upper = m_table + "_CASET";
    make(0, lower, 1);
    make(0, upper, 2);
    m_made.add(database(1), lower);
    for (const QString jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs.toStdString());
        const test::ProgramRun copied = run(
            {"copy", "--to", "sqlanywhere", "--overwrite", "yes", "--jobs", jobs, "--json", lower, upper});
        EXPECT_EQ(copied.exitCode, 1) << copied.err.toStdString();
        QMap<QString, QString> status;
        for (const auto& [table, summary] : tablesOf(copied).asKeyValueRange()) {
            status[table] = summary["status"].toString();
        }
        EXPECT_EQ(status.values().count("copied"), 1) << copied.out.toStdString();
        EXPECT_TRUE(copied.err.contains(lower) && copied.err.contains(upper)) << copied.err.toStdString();
        const QString copiedTable = status.key("copied");
        EXPECT_EQ(valueIn(1, lower), copiedTable == lower ? "1" : "2");
    }
}

TEST_F(StagingNamesStand, LongNamesThatShareTheirStartAreStagedApart) {
    const QString shared = m_table + QString(45 - m_table.size(), 'x');
    const QStringList tables{shared + "_first_one", shared + "_second_1"};
    for (const QString& table : tables) {
        create(1, "n integer", {}, table);
        database(1).execute(
            QStringLiteral("WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE "
                           "n < 20000) INSERT INTO %1 SELECT n FROM g")
                .arg(quotedName(table)));
        m_made.add(database(1), table);
        make(0, table, 0);
    }
    const test::ProgramRun copied =
        run(QStringList{"copy", "--to", "oracle", "--overwrite", "yes", "--jobs", "2", "--batch", "500"} +
            tables);
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    for (const QString& table : tables) {
        EXPECT_EQ(database(0).openRecordset(SelectAllSql(table))->recordCount(), 20000)
            << table.toStdString();
    }
}
