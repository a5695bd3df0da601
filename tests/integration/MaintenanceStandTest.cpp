// Delete and rename against the stand's real databases, through the tables window.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/Observed.h"
#include "db/SqlText.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/SettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "support/StandDatabases.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/TableListBox.h"
#include "ui/TextBox.h"

using namespace tw;

using tw::test::errorLines;
using tw::test::executed;
using tw::test::items;

namespace {

class MaintenanceOnTheStand : public ::testing::Test {
protected:
    void SetUp() override {
        m_form.Text1->setText(test::standOracleServer());
        m_form.Text2->setText(test::kStandOracleUser);
        m_form.Text3->setText(test::kStandOraclePassword);
        m_form.Text4->setText(test::kStandDataSource);
        m_sqlany = test::openStand(test::standDatabases()[1]);
        m_oracle = test::openStand(test::standDatabases()[0]);
    }

    // Creates tables under unique names and lists them on the side's list, with the first
    // item current as after a load.
    QStringList createListed(Connection& db, TableListBox& list, const QStringList& stems) {
        QStringList names;
        for (const QString& stem : stems) {
            const QString name = test::uniqueTableName(stem);
            db.execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(name)));
            list.addItem(name);
            names << name;
        }
        list.setCurrentIndex(0);
        return names;
    }

    static bool exists(Connection& db, const QString& table) {
        try {
            db.openRecordset(QStringLiteral("SELECT * FROM %1").arg(quotedName(table)));
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }

    static void select(TableListBox& list, const QStringList& names) {
        for (int i = 0; i < list.count(); ++i) list.setSelected(i, names.contains(list.text(i)));
    }

    QTemporaryDir m_home;
    SettingsStore m_settings{m_home.path()};
    test::ScriptedDialogs m_dialogs;
    odbc::OdbcConnectionFactory m_connections;
    Services m_services{m_settings, m_dialogs, m_connections, m_home.path()};
    Form1 m_form{m_services};
    Form2 m_tables{m_services, m_form};
    std::unique_ptr<Connection> m_sqlany;
    std::unique_ptr<Connection> m_oracle;
};

}  // namespace

TEST_F(MaintenanceOnTheStand, DeleteDropsTheSelectedTablesOnEachSide) {
    const QStringList sqlany = createListed(*m_sqlany, *m_tables.List1, {"del a", "del b", "del c"});
    const QStringList oracle = createListed(*m_oracle, *m_tables.List2, {"DEL_A", "DEL_B"});
    select(*m_tables.List1, {sqlany[0], sqlany[2]});
    select(*m_tables.List2, {oracle[1]});
    m_tables.PushButton1_Click();
    m_tables.PushButton5_Click();

    EXPECT_TRUE(m_dialogs.shown.isEmpty());
    EXPECT_EQ(items(*m_tables.List1), QStringList({sqlany[1]}));
    EXPECT_EQ(items(*m_tables.List2), QStringList({oracle[0]}));
    EXPECT_FALSE(exists(*m_sqlany, sqlany[0]));
    EXPECT_TRUE(exists(*m_sqlany, sqlany[1]));
    EXPECT_FALSE(exists(*m_sqlany, sqlany[2]));
    EXPECT_TRUE(exists(*m_oracle, oracle[0]));
    EXPECT_FALSE(exists(*m_oracle, oracle[1]));
    m_sqlany->execute(DropTableSql(sqlany[1]));
    m_oracle->execute(DropTableSql(oracle[0]));
}

TEST_F(MaintenanceOnTheStand, ADropTheDatabaseRefusesKeepsItsItemAndTheOthersGo) {
    const QStringList names = createListed(*m_oracle, *m_tables.List2, {"KEEP_A", "KEEP_B"});
    const QString gone = test::uniqueTableName("ALREADY_GONE");
    m_tables.List2->addItem(gone);  // listed, but not in the database
    m_tables.PushButton8_Click();
    m_tables.PushButton5_Click();

    ASSERT_EQ(m_dialogs.shown.size(), 1);
    EXPECT_TRUE(m_dialogs.shown[0].text.contains("Form2.PushButton5_Click at line 112"));
    EXPECT_TRUE(m_dialogs.shown[0].text.contains(gone)) << m_dialogs.shown[0].text.toStdString();
    EXPECT_EQ(items(*m_tables.List2), QStringList({gone}));
    EXPECT_FALSE(exists(*m_oracle, names[0]));
    EXPECT_FALSE(exists(*m_oracle, names[1]));
}

TEST_F(MaintenanceOnTheStand, RenamesTheStandRefusesLeaveTablesAndListsAsTheyWere) {
    // Neither stand database knows the rename statement of the side it stands in for.
    const QStringList sqlany = createListed(*m_sqlany, *m_tables.List1, {"ren"});
    const QStringList oracle = createListed(*m_oracle, *m_tables.List2, {"REN"});
    select(*m_tables.List1, sqlany);
    select(*m_tables.List2, oracle);
    m_dialogs.answers << "renamed" << "RENAMED";
    m_tables.PushButton6_Click();
    m_tables.PushButton7_Click();

    ASSERT_EQ(m_dialogs.shown.size(), 4);  // two prompts, two error boxes
    EXPECT_TRUE(m_dialogs.shown[1].text.contains("Form2.PushButton6_Click at line 122"));
    EXPECT_TRUE(m_dialogs.shown[3].text.contains("Form2.PushButton7_Click at line 120"));
    EXPECT_EQ(items(*m_tables.List1), sqlany);
    EXPECT_EQ(items(*m_tables.List2), oracle);
    EXPECT_TRUE(exists(*m_sqlany, sqlany[0]));
    EXPECT_TRUE(exists(*m_oracle, oracle[0]));
    m_sqlany->execute(DropTableSql(sqlany[0]));
    m_oracle->execute(DropTableSql(oracle[0]));
}
