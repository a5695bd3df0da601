// A transfer whose target connection is cut by the server half way through a table. Runs as
// the Oracle-side user tw_catalogue, whose sessions only these locked tests use.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "db/SqlText.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/SettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "support/StandDatabases.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/PushButton.h"
#include "ui/TableListBox.h"
#include "ui/TextBox.h"

using namespace tw;

namespace {
const QString kCatalogueLogin =
    QStringLiteral("Driver={Microsoft ODBC for Oracle};Server=127.0.0.1;Uid=tw_catalogue;Pwd=tiger;");
}

TEST(ConnectionLoss, ACutTargetShowsItsBoxesAndLeavesTheWindowUsable) {
    const QString table = test::uniqueTableName("cut");
    odbc::OdbcConnection sqlany;
    sqlany.open(QStringLiteral("Data Source=tw_sqlany2"));
    sqlany.execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(table)));
    for (int n = 1; n <= 4; ++n) {
        sqlany.execute(QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(quotedName(table)).arg(n));
    }

    // Once the first row has arrived, the server ends every other session of the user.
    odbc::OdbcConnection watcher;
    watcher.open(kCatalogueLogin);
    bool cut = false;
    const auto cutAfterFirstRow = [&] {
        if (cut) return;
        try {
            auto rows = watcher.openRecordset(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quotedName(table)));
            if (rows->field(0).value.toString() == QLatin1String("0")) return;
        } catch (const std::exception&) {
            return;  // not created yet
        }
        watcher.execute(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                       "WHERE usename = current_user AND pid <> pg_backend_pid()"));
        cut = true;
    };

    QTemporaryDir home;
    SettingsStore settings(home.path());
    test::ScriptedDialogs dialogs;
    odbc::OdbcConnectionFactory connections;
    Services services{settings, dialogs, connections, home.path(), cutAfterFirstRow};
    Form1 form(services);
    form.Text1->setText("127.0.0.1");
    form.Text2->setText("tw_catalogue");
    form.Text3->setText("tiger");
    form.Text4->setText("tw_sqlany2");
    Form2 tables(services, form);
    tables.List1->addItem(table);
    tables.List1->setCurrentIndex(0);
    tables.List1->setSelected(0, true);
    tables.PushButton3_Click();

    ASSERT_TRUE(cut);
    // Rows 2 to 4 each fail on the lost connection with a box of their own.
    int rowBoxes = 0;
    for (const auto& box : dialogs.shown) {
        EXPECT_TRUE(box.text.contains("Form2.PushButton3_Click at line")) << box.text.toStdString();
        rowBoxes += box.text.contains("Form2.PushButton3_Click at line 260");
    }
    EXPECT_EQ(rowBoxes, 3);
    auto arrived = watcher.openRecordset(QStringLiteral("SELECT * FROM %1").arg(quotedName(table)));
    EXPECT_EQ(arrived->recordCount(), 1);

    // The window is as before: every command works again and the hourglass is gone.
    EXPECT_TRUE(tables.PushButton3->isEnabled());
    EXPECT_TRUE(tables.List1->isEnabled());
    EXPECT_EQ(tables.pointer().get(), MousePointer::Default);
    watcher.execute(DropTableSql(table));
    sqlany.execute(DropTableSql(table));
}
