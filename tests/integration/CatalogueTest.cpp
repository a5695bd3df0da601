// The table catalogue against the stand. These tests own the databases they list (the SQLite
// data source tw_sqlany2 and the Oracle-side users tw_catalogue and tw_empty), so they can
// say exactly what a list must hold.
#include <gtest/gtest.h>

#include "db/DbError.h"
#include "db/Oracle.h"
#include "db/Sybase.h"
#include "db/odbc/OdbcConnection.h"
#include "support/Observed.h"
#include "support/StandDatabases.h"
#include "ui/TableListBox.h"

using namespace tw;

using tw::test::items;

namespace {

const ConnectionValues kCatalogueUser{"127.0.0.1", "tw_catalogue", "tiger", "tw_sqlany2"};

// Creates the statements' tables in one database and drops them again at the end.
class Tables {
public:
    explicit Tables(const ConnectionTarget& target) {
        m_connection = std::make_unique<odbc::OdbcConnection>();
        m_connection->open(target);
    }
    ~Tables() {
        for (auto it = m_drops.rbegin(); it != m_drops.rend(); ++it) {
            try {
                m_connection->execute(*it);
            } catch (const std::exception&) {
            }
        }
    }
    void create(const QString& statement, const QString& drop) {
        m_connection->execute(statement);
        m_drops << drop;
    }
    Connection& connection() { return *m_connection; }

private:
    std::unique_ptr<Connection> m_connection;
    QStringList m_drops;
};

}  // namespace

TEST(LoadSybaseTables, ListsExactlyTheBaseTablesWithoutSysInTheirName) {
    Tables db(test::standDataSource("tw_sqlany2"));
    for (const char* name :
         {"Customers", "Customers_sys", "Sy_s", "MYSYSTEM", "sysdata", "Analysys", "Bücher 😀", "orders"}) {
        db.create(QStringLiteral("CREATE TABLE \"%1\"(n integer)").arg(name),
                  QStringLiteral("DROP TABLE \"%1\"").arg(name));
    }
    // A view, and the table SQLite keeps for AUTOINCREMENT counters.
    db.create("CREATE VIEW \"CustomerView\" AS SELECT * FROM \"Customers\"", "DROP VIEW \"CustomerView\"");
    db.create("CREATE TABLE \"Counted\"(id integer primary key autoincrement)", "DROP TABLE \"Counted\"");

    odbc::OdbcConnectionFactory factory;
    TableListBox list;
    int events = 0;
    for (int load = 0; load < 2; ++load) {  // a second load replaces, never doubles
        LoadSybaseTables(list, factory, kCatalogueUser, [&] { ++events; });
        EXPECT_EQ(items(list), QStringList({"Bücher 😀", "Counted", "Customers", "orders", "Sy_s"}));
        EXPECT_EQ(list.currentIndex(), -1);
    }
    // Events are let through once per base table, the left-out ones included.
    EXPECT_EQ(events, 2 * 9);
}

TEST(LoadSybaseTables, TablesOfTwoOwnersWithOneNameGiveTwoItems) {
    // A PostgreSQL data source shows the schemas that SQLite does not have.
    const QString name = test::uniqueTableName("shared");
    Tables db(test::standDataSource("tw_pg"));
    db.create("CREATE SCHEMA IF NOT EXISTS second_owner", "SELECT 1");
    db.create(QStringLiteral("CREATE TABLE public.\"%1\"(n integer)").arg(name),
              QStringLiteral("DROP TABLE public.\"%1\"").arg(name));
    db.create(QStringLiteral("CREATE TABLE second_owner.\"%1\"(n integer)").arg(name),
              QStringLiteral("DROP TABLE second_owner.\"%1\"").arg(name));

    odbc::OdbcConnectionFactory factory;
    TableListBox list;
    LoadSybaseTables(list, factory, {"", "", "", "tw_pg"}, [] {});
    EXPECT_EQ(items(list).count(name), 2);
}

TEST(LoadOracleTables, ListsTheUsersOwnTablesWithTheFirstOneCurrent) {
    Tables db(test::standOracle("tw_catalogue"));
    for (const char* name : {"EMP", "dept", "Bücher", "SYS_LOG"}) {
        db.create(QStringLiteral("CREATE TABLE \"%1\"(n integer)").arg(name),
                  QStringLiteral("DROP TABLE \"%1\"").arg(name));
    }
    db.create("CREATE VIEW emp_view AS SELECT * FROM \"EMP\"", "DROP VIEW emp_view");

    odbc::OdbcConnectionFactory factory;
    TableListBox list;
    int events = 0;
    for (int load = 0; load < 2; ++load) {
        LoadOracleTables(list, factory, kCatalogueUser, [&] { ++events; });
        // The Oracle side keeps every table the user owns, whatever its name.
        EXPECT_EQ(items(list), QStringList({"Bücher", "dept", "EMP", "SYS_LOG"}));
        EXPECT_EQ(list.currentIndex(), 0);
        EXPECT_EQ(list.selectedCount(), 0);
    }
    EXPECT_EQ(events, 2 * 4);
}

TEST(LoadOracleTables, AUserWithoutTablesGivesAnEmptyListWithNoCurrentItem) {
    odbc::OdbcConnectionFactory factory;
    TableListBox list;
    list.addItem("left over");
    list.setCurrentIndex(0);
    LoadOracleTables(list, factory, {"127.0.0.1", "tw_empty", "tiger", ""}, [] {});
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST(Catalogue, ALoadThatCannotConnectFailsAndLeavesTheListAsItWas) {
    odbc::OdbcConnectionFactory factory;
    TableListBox list;
    list.addItem("kept");
    EXPECT_THROW(LoadSybaseTables(list, factory, {"", "", "", "no_such_dsn"}, [] {}), DbError);
    EXPECT_THROW(LoadOracleTables(list, factory, {"127.0.0.1", "scott", "wrong", ""}, [] {}), DbError);
    EXPECT_EQ(items(list), QStringList({"kept"}));
}
