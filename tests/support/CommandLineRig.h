#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <ostream>

#include "db/SqlText.h"
#include "shell/SettingsStore.h"
#include "support/ProgramRun.h"
#include "support/StandDatabases.h"
#include "transfer/CopyStatements.h"

namespace tw::test {

// A copy's direction: the command line's --to and the indexes of its two stand databases.
struct Direction {
    const char* to;
    int source;
    int target;
};
inline void PrintTo(const Direction& direction, std::ostream* out) { *out << "to " << direction.to; }

// The built program against the stand, run as a user runs it: its own home for settings and
// the transfer log, the stand's values remembered (all but the password, which each run gives
// through the environment), and a table of its own on both sides, dropped at the end.
class CommandLineRig : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore settings(m_home.path());
        settings.save(kSettingsApplication, kSettingsSection, SettingKey::OracleServer, standOracleServer());
        settings.save(kSettingsApplication, kSettingsSection, SettingKey::OracleUser, kStandOracleUser);
        settings.save(kSettingsApplication, kSettingsSection, SettingKey::OraclePassword, "remembered");
        settings.save(kSettingsApplication, kSettingsSection, SettingKey::DataSourceName, m_dataSource);
        m_settingsFile = settings.filePath(kSettingsApplication);
        m_environment.insert("XDG_CONFIG_HOME", m_home.path());
        m_environment.insert("XDG_STATE_HOME", m_home.filePath("state"));
        m_environment.insert("TW_TEST_PASSWORD", kStandOraclePassword);
    }
    void TearDown() override {
        dropQuietly(*m_oracle, m_table);
        dropQuietly(*m_sqlany, m_table);
    }

    ProgramRun run(const QStringList& arguments) { return endOf(*start(arguments)); }
    // The program left running, for a test that ends it or waits for it (endOf).
    std::unique_ptr<QProcess> start(QStringList arguments, const QStringList& wrapper = {}) {
        arguments << "--password-env"
                  << "TW_TEST_PASSWORD";
        return startProgram(arguments, m_environment, wrapper);
    }

    // For a test that kills the program part way through a long copy: under AddressSanitizer,
    // the fast unwinder and no leak check for every run of the test. A killed program never
    // reaches its leak check, and the slow unwinder, which the drivers' leak suppressions need,
    // makes a copy of 100,000 rows take minutes; the runs that end are checked by other tests.
    void killableUnderSanitizers() {
        const QString options = qEnvironmentVariable("ASAN_OPTIONS");
        if (!options.isEmpty()) {
            m_environment.insert("ASAN_OPTIONS", options + ":fast_unwind_on_malloc=1:detect_leaks=0");
        }
    }

    // The SQL Anywhere side in a SQLite file of the tests' own, called from the fixture's
    // constructor: the pages their large tables leave free would let other tests' databases grow
    // where those tests want them full.
    void useOwnDataSource(const QString& name) {
        m_dataSource = name;
        m_sqlany = openStand({"own", standDataSource(name), false});
    }

    // 0: the Oracle side, 1: the SQL Anywhere side.
    Connection& database(int index) { return index == 0 ? *m_oracle : *m_sqlany; }
    static bool isPostgres(int side) { return standDatabases()[side].isPostgres; }
    // The side's tables whose names are like the SQL pattern, as its own catalogue has them.
    QStringList tablesLike(int side, const QString& pattern) {
        const auto found = database(side).openRecordset(
            (isPostgres(side)
                 ? QStringLiteral("SELECT tablename FROM pg_tables WHERE tablename LIKE '%1'")
                 : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE '%1'"))
                .arg(QString(pattern).replace('\'', "''")));
        QStringList names;
        for (; !found->eof(); found->moveNext()) names << found->field(0).value.toString();
        return names;
    }
    // The tables of a --json run's summary, by name, and the first of them.
    static QMap<QString, QJsonObject> tablesOf(const ProgramRun& run) {
        QMap<QString, QJsonObject> tables;
        for (const QJsonValue table :
             QJsonDocument::fromJson(run.out.toUtf8()).object()["tables"].toArray()) {
            tables[table["table"].toString()] = table.toObject();
        }
        return tables;
    }
    static QJsonObject firstTableOf(const ProgramRun& run) {
        return QJsonDocument::fromJson(run.out.toUtf8()).object()["tables"].toArray().first().toObject();
    }
    // Creates the table on one side; TearDown drops it.
    void create(int index, const QString& columns, const QStringList& rows = {}, const QString& table = {}) {
        const QString name = table.isEmpty() ? m_table : table;
        database(index).execute(QStringLiteral("CREATE TABLE %1(%2)").arg(quotedName(name), columns));
        for (const QString& row : rows) {
            database(index).execute(QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(quotedName(name), row));
        }
    }
    qint64 rowCount(int index) { return database(index).openRecordset(SelectAllSql(m_table))->recordCount(); }
    QString logText() const {
        QFile log(m_home.filePath("state/tablewright/transfers.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    QTemporaryDir m_home;
    QString m_settingsFile;
    QProcessEnvironment m_environment;
    QString m_dataSource = kStandDataSource;
    const QString m_table = uniqueTableName("cli");
    std::unique_ptr<Connection> m_oracle = openStand(standDatabases()[0]);
    std::unique_ptr<Connection> m_sqlany = openStand(standDatabases()[1]);
};

}  // namespace tw::test
