// A transfer whose target connection is lost half way through a table: the session ended by the
// server, the server gone from the other end of the connection, or a server that stops answering.
// Runs as the Oracle-side user tw_catalogue, whose sessions only these locked tests use.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>

#include "db/DbError.h"
#include "db/SqlText.h"
#include "db/StagingName.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/SettingsStore.h"
#include "support/LoopbackRelay.h"
#include "support/Observed.h"
#include "support/ScriptedDialogs.h"
#include "support/StandDatabases.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/PushButton.h"
#include "ui/TableListBox.h"
#include "ui/TextBox.h"

using namespace tw;

namespace {

const ConnectionTarget kCatalogueLogin = test::standOracle("tw_catalogue");

class ConnectionLoss : public ::testing::Test {
protected:
    void SetUp() override {
        m_sqlany.open(test::standDataSource("tw_sqlany2"));
        m_sqlany.execute(QStringLiteral("CREATE TABLE %1(n integer)").arg(quotedName(m_table)));
        for (int n = 1; n <= 4; ++n) {
            m_sqlany.execute(QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(quotedName(m_table)).arg(n));
        }
        m_watcher.open(kCatalogueLogin);
        // Row by row: the connection goes once the first row is committed on its own.
        m_settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows, "0");
    }
    void TearDown() override {
        test::dropQuietly(m_watcher, m_table);
        test::dropQuietly(m_sqlany, m_table);
    }

    // Sends the table to Oracle; once its first row has arrived, the connection is lost.
    void sendLosingTheConnection(const std::function<void()>& lose) {
        // The rows fill a staging table of this process until the table takes its name.
        const QString staging = StagingName::forTable(m_table, m_watcher.nameLimits().table).text();
        bool lost = false;
        const auto loseAfterFirstRow = [&] {
            if (lost) return;
            try {
                if (m_watcher.openRecordset(SelectAllSql(staging))->recordCount() == 0) return;
            } catch (const std::exception&) {
                return;  // not created yet
            }
            lose();
            lost = true;
        };
        Services services{m_settings, m_dialogs, m_connections, m_home.path(), loseAfterFirstRow};
        Form1 form(services);
        form.Text1->setText("127.0.0.1");
        form.Text2->setText("tw_catalogue");
        form.Text3->setText("tiger");
        form.Text4->setText("tw_sqlany2");
        Form2 tables(services, form.link());
        tables.List1->addItem(m_table);
        tables.List1->setCurrentIndex(0);
        tables.List1->setSelected(0, true);
        tables.PushButton3_Click();

        ASSERT_TRUE(lost);
        // The first row that finds the connection gone says so; the others are not tried.
        EXPECT_EQ(test::errorLines(m_dialogs, "Form2.PushButton3_Click"), QList<int>({260}))
            << m_dialogs.shown.value(1).text.toStdString();
        // The row that arrived stays in the staging table, for the next copy to take away; no
        // part of a table takes the table's name, and none is listed. The window is as before.
        EXPECT_EQ(m_watcher.openRecordset(SelectAllSql(staging))->recordCount(), 1);
        EXPECT_THROW(m_watcher.openRecordset(SelectAllSql(m_table)), DbError);
        EXPECT_EQ(test::items(*tables.List2), QStringList());
        test::dropQuietly(m_watcher, staging);
        EXPECT_TRUE(tables.PushButton3->isEnabled());
        EXPECT_TRUE(tables.List1->isEnabled());
        EXPECT_EQ(tables.pointer().get(), MousePointer::Default);
    }

    const QString m_table = test::uniqueTableName("cut");
    odbc::OdbcConnection m_sqlany;
    odbc::OdbcConnection m_watcher;
    QTemporaryDir m_home;
    SettingsStore m_settings{m_home.path()};
    test::ScriptedDialogs m_dialogs;
    odbc::OdbcConnectionFactory m_connections;
};

}  // namespace

TEST_F(ConnectionLoss, ASessionEndedByTheServerCostsOneBox) {
    sendLosingTheConnection([&] {
        m_watcher.execute(
            QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                           "WHERE usename = current_user AND pid <> pg_backend_pid()"));
    });
}

TEST_F(ConnectionLoss, AServerGoneFromTheOtherEndCostsOneBox) {
    // The program reaches the server through a relay that can be cut; the watcher goes direct.
    const QByteArray standPort = qgetenv("PGPORT");
    const auto relay = test::LoopbackRelay::forwardingTo(standPort.toInt());
    qputenv("PGPORT", QByteArray::number(relay->port()));
    sendLosingTheConnection([&] { relay->cut(); });
    qputenv("PGPORT", standPort);
}

TEST_F(ConnectionLoss, AServerThatStopsAnsweringCostsOneBox) {
    // The relay stops passing bytes and keeps the connections, as a server whose process was
    // stopped: the next INSERT waits until the program's own time-out ends it.
    const QByteArray standPort = qgetenv("PGPORT");
    const auto relay = test::LoopbackRelay::forwardingTo(standPort.toInt());
    qputenv("PGPORT", QByteArray::number(relay->port()));
    sendLosingTheConnection([&] { relay->freeze(); });
    qputenv("PGPORT", standPort);
}
