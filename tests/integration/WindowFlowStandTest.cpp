// Start-up and the tables window against the stand's real databases.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "db/odbc/OdbcConnection.h"
#include "shell/SettingsStore.h"
#include "support/Observed.h"
#include "support/ScriptedDialogs.h"
#include "support/StandDatabases.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/TableListBox.h"
#include "ui/TextBox.h"

using namespace tw;

using tw::test::items;

namespace {

class WindowFlowOnTheStand : public ::testing::Test {
protected:
    void SetUp() override {
        m_sqlany.open(test::standDataSource("tw_sqlany2"));
        m_oracle.open(test::standOracle("tw_catalogue"));
        m_sqlany.execute("CREATE TABLE \"Customers\"(n integer)");
        m_oracle.execute("CREATE TABLE \"EMP\"(n integer)");
        remember(SettingKey::OracleServer, "127.0.0.1");
        remember(SettingKey::OracleUser, "tw_catalogue");
        remember(SettingKey::OraclePassword, "tiger");
        remember(SettingKey::DataSourceName, "tw_sqlany2");
    }
    void TearDown() override {
        test::dropQuietly(m_sqlany, "Customers");
        test::dropQuietly(m_oracle, "EMP");
    }
    void remember(const QString& key, const QString& value) {
        m_settings.save(kSettingsApplication, kSettingsSection, key, value);
    }

    QTemporaryDir m_home;
    SettingsStore m_settings{m_home.path()};
    test::ScriptedDialogs m_dialogs;
    odbc::OdbcConnectionFactory m_connections;
    Services m_services{m_settings, m_dialogs, m_connections, m_home.path()};
    odbc::OdbcConnection m_sqlany;
    odbc::OdbcConnection m_oracle;
};

}  // namespace

TEST_F(WindowFlowOnTheStand, RememberedValuesThatWorkOpenOnTheTablesWindow) {
    Form1 form(m_services);
    form.Form_Load();
    ASSERT_TRUE(form.tablesWindow());
    EXPECT_TRUE(form.tablesWindow()->isVisible());
    EXPECT_TRUE(form.isHidden());
    EXPECT_EQ(items(*form.tablesWindow()->List1), QStringList({"Customers"}));
    EXPECT_EQ(items(*form.tablesWindow()->List2), QStringList({"EMP"}));
    EXPECT_TRUE(m_dialogs.shown.isEmpty());
}

TEST_F(WindowFlowOnTheStand, AnUnreachableDataSourceIsReportedAtLine112AndOracleStillLoads) {
    remember(SettingKey::DataSourceName, "no_such_dsn");
    Form1 form(m_services);
    form.Form_Load();
    EXPECT_FALSE(form.tablesWindow());  // the start stays on the connection window

    Form2 tables(m_services, form.link());
    tables.Form_Load();
    ASSERT_EQ(m_dialogs.shown.size(), 1);
    EXPECT_TRUE(
        m_dialogs.shown[0].text.contains("\r\nin TablewrightApp2021/08/31.Form2.Form_Load at line 112\r\r"));
    EXPECT_TRUE(m_dialogs.shown[0].text.startsWith("[IM002]")) << m_dialogs.shown[0].text.toStdString();
    EXPECT_EQ(tables.List1->count(), 0);
    EXPECT_EQ(items(*tables.List2), QStringList({"EMP"}));
}
