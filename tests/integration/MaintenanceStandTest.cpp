// Delete and rename against the stand's real databases, through the tables window.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "db/SqlText.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/SettingsStore.h"
#include "support/Observed.h"
#include "support/ScriptedDialogs.h"
#include "support/StandDatabases.h"
#include "support/StandWindows.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/TableListBox.h"
#include "ui/TextBox.h"

using namespace tw;

using tw::test::items;

namespace {

class MaintenanceOnTheStand : public ::testing::Test, protected test::StandWindows {
protected:
    void TearDown() override { m_created.dropAll(); }

    // Creates tables under unique names and lists them on the side's list, with the first
    // item current as after a load.
    QStringList createListed(Connection& db, TableListBox& list, const QStringList& stems) {
        QStringList names;
        for (const QString& stem : stems) {
            const QString name = test::uniqueTableName(stem);
            db.execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(name)));
            m_created.add(db, name);
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

    test::CreatedTables m_created;
};

}  // namespace

TEST_F(MaintenanceOnTheStand, DeleteDropsTheSelectedTablesOnEachSide) {
    const QStringList sqlany = createListed(*sqlanyDb, *tables.List1, {"del a", "del b", "del c"});
    const QStringList oracle = createListed(*oracleDb, *tables.List2, {"DEL_A", "DEL_B"});
    select(*tables.List1, {sqlany[0], sqlany[2]});
    select(*tables.List2, {oracle[1]});
    tables.PushButton1_Click();
    tables.PushButton5_Click();

    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(items(*tables.List1), QStringList({sqlany[1]}));
    EXPECT_EQ(items(*tables.List2), QStringList({oracle[0]}));
    EXPECT_FALSE(exists(*sqlanyDb, sqlany[0]));
    EXPECT_TRUE(exists(*sqlanyDb, sqlany[1]));
    EXPECT_FALSE(exists(*sqlanyDb, sqlany[2]));
    EXPECT_TRUE(exists(*oracleDb, oracle[0]));
    EXPECT_FALSE(exists(*oracleDb, oracle[1]));
}

TEST_F(MaintenanceOnTheStand, ADropTheDatabaseRefusesKeepsItsItemAndTheOthersGo) {
    const QStringList names = createListed(*oracleDb, *tables.List2, {"KEEP_A", "KEEP_B"});
    const QString gone = test::uniqueTableName("ALREADY_GONE");
    tables.List2->addItem(gone);  // listed, but not in the database
    tables.PushButton8_Click();
    tables.PushButton5_Click();

    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains("Form2.PushButton5_Click at line 112"));
    EXPECT_TRUE(dialogs.shown[0].text.contains(gone)) << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(items(*tables.List2), QStringList({gone}));
    EXPECT_FALSE(exists(*oracleDb, names[0]));
    EXPECT_FALSE(exists(*oracleDb, names[1]));
}

TEST_F(MaintenanceOnTheStand, RenamesTheStandRefusesLeaveTablesAndListsAsTheyWere) {
    // Neither stand database knows the rename statement of the side it stands in for.
    const QStringList sqlany = createListed(*sqlanyDb, *tables.List1, {"ren"});
    const QStringList oracle = createListed(*oracleDb, *tables.List2, {"REN"});
    select(*tables.List1, sqlany);
    select(*tables.List2, oracle);
    dialogs.answers << "renamed"
                    << "RENAMED";
    tables.PushButton6_Click();
    tables.PushButton7_Click();

    ASSERT_EQ(dialogs.shown.size(), 4);  // two prompts, two error boxes
    EXPECT_TRUE(dialogs.shown[1].text.contains("Form2.PushButton6_Click at line 122"));
    EXPECT_TRUE(dialogs.shown[3].text.contains("Form2.PushButton7_Click at line 120"));
    EXPECT_EQ(items(*tables.List1), sqlany);
    EXPECT_EQ(items(*tables.List2), oracle);
    EXPECT_TRUE(exists(*sqlanyDb, sqlany[0]));
    EXPECT_TRUE(exists(*oracleDb, oracle[0]));
}
