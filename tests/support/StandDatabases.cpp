#include "support/StandDatabases.h"

#include <unistd.h>

#include <atomic>

#include "db/Oracle.h"
#include "db/SqlText.h"
#include "db/Sybase.h"
#include "db/odbc/OdbcConnection.h"

namespace tw::test {

QString standOracleServer() { return QStringLiteral("127.0.0.1"); }

ConnectionTarget standOracle(const QString& user, const QString& password) {
    return OracleConnectionTarget({standOracleServer(), user, password, QString()});
}

ConnectionTarget standDataSource(const QString& name) {
    return SybaseConnectionTarget({QString(), QString(), QString(), name});
}

const std::vector<StandDatabase>& standDatabases() {
    static const std::vector<StandDatabase> databases = {
        {"Oracle", standOracle(), true},
        {"SqlAnywhere", standDataSource(kStandDataSource), false},
    };
    return databases;
}

QString uniqueTableName(const QString& stem) {
    static std::atomic<int> counter{0};
    return QStringLiteral("%1_%2_%3").arg(stem).arg(::getpid()).arg(counter++);
}

void dropQuietly(Connection& connection, const QString& table) {
    try {
        connection.execute(DropTableSql(table));
    } catch (const std::exception&) {
    }
}

// The tests' own connections to the stand set up and look; the program's deadlines, and the
// thread that watches them, are the program's to show, not the test process's, which starts
// the program as a process of its own while they run.
std::unique_ptr<Connection> openStand(const StandDatabase& database) {
    auto connection =
        std::make_unique<odbc::OdbcConnection>(ConnectionTimeouts{.login = 15, .command = 0, .silence = 0});
    connection->open(database.target);
    return connection;
}

}  // namespace tw::test
