#pragma once

#include <QString>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "db/Connection.h"

namespace tw::test {

// One of the stand's databases, reached as the program reaches it.
struct StandDatabase {
    const char* label;        // names the test variant
    ConnectionTarget target;  // as the program builds it
    bool isPostgres;          // the Oracle side; SQLite otherwise
};

// Names the variant in test listings.
inline void PrintTo(const StandDatabase& database, std::ostream* out) { *out << database.label; }

// The Oracle side (PostgreSQL through the driver string) and the SQL Anywhere side (SQLite
// through a data source).
const std::vector<StandDatabase>& standDatabases();

// What the program opens for an Oracle-side login and a SQL Anywhere-side data source.
ConnectionTarget standOracle(const QString& user = QStringLiteral("scott"),
                             const QString& password = QStringLiteral("tiger"));
ConnectionTarget standDataSource(const QString& name);

// The stand's working logins, as the connection window would hold them.
QString standOracleServer();
inline const QString kStandOracleUser = QStringLiteral("scott");
inline const QString kStandOraclePassword = QStringLiteral("tiger");
inline const QString kStandDataSource = QStringLiteral("tw_sqlany");

// A table name no other test process uses at the same time.
QString uniqueTableName(const QString& stem);

// Drops the table if it is there; never fails.
void dropQuietly(Connection& connection, const QString& table);

// The tables a test creates, dropped by its TearDown (or at the latest when this goes) however
// the test ended. Declare it after the connections it names.
class CreatedTables {
public:
    CreatedTables() = default;
    CreatedTables(const CreatedTables&) = delete;
    CreatedTables& operator=(const CreatedTables&) = delete;
    ~CreatedTables() { dropAll(); }
    void add(Connection& connection, const QString& table) { m_tables.emplace_back(&connection, table); }
    void dropAll() {
        for (const auto& [connection, table] : m_tables) dropQuietly(*connection, table);
        m_tables.clear();
    }

private:
    std::vector<std::pair<Connection*, QString>> m_tables;
};

std::unique_ptr<Connection> openStand(const StandDatabase& database);

}  // namespace tw::test
