// The connection checks and the "Test Connection" buttons against the stand's real servers.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "db/DbError.h"
#include "db/Endpoint.h"
#include "db/Oracle.h"
#include "db/Side.h"
#include "db/Sybase.h"
#include "db/odbc/OdbcConnection.h"
#include "db/postgres/CopyWriter.h"
#include "shell/SettingsStore.h"
#include "support/LoopbackRelay.h"
#include "support/ScriptedDialogs.h"
#include "support/StandDatabases.h"
#include "ui/Form1.h"
#include "ui/TextBox.h"

using namespace tw;

namespace {

ConnectionValues oracle(QString server, QString user, QString password) {
    return {std::move(server), std::move(user), std::move(password), QString()};
}

ConnectionValues dataSource(QString name) { return {QString(), QString(), QString(), std::move(name)}; }

}  // namespace

TEST(OracleCanConnect, OpensWithTheRightLoginOnly) {
    odbc::OdbcConnectionFactory factory;
    EXPECT_TRUE(OracleCanConnect(factory, oracle("127.0.0.1", "scott", "tiger")));
    EXPECT_FALSE(OracleCanConnect(factory, oracle("127.0.0.1", "scott", "lion")));
    EXPECT_FALSE(OracleCanConnect(factory, oracle("no-such-host.invalid", "scott", "tiger")));
    EXPECT_FALSE(OracleCanConnect(factory, oracle("", "", "")));
}

TEST(OracleCanConnect, AwkwardPasswordsReachTheServerIntact) {
    // The stand has these logins; unbraced, the first two would be cut or misread.
    odbc::OdbcConnectionFactory factory;
    EXPECT_TRUE(OracleCanConnect(factory, oracle("127.0.0.1", "tw_semicolon", "ti;ger}x")));
    EXPECT_TRUE(OracleCanConnect(factory, oracle("127.0.0.1", "tw_brace", "{tiger")));
    EXPECT_TRUE(OracleCanConnect(factory, oracle("127.0.0.1", "tw_blanks", " tiger ")));
    EXPECT_FALSE(OracleCanConnect(factory, oracle("127.0.0.1", "tw_blanks", "tiger")));
    // Whatever follows a ";" in a password cannot add attributes of its own.
    EXPECT_FALSE(OracleCanConnect(factory, oracle("127.0.0.1", "tw_semicolon", "x;Uid=scott;Pwd=tiger")));
}

// The command line's own connection strings and data sources with a login given for them:
// psqlODBC and MariaDB's driver both take awkward passwords as they are, the PostgreSQL one
// decoding none of "+" and "%41", and a wrong one is refused.
TEST(EndpointLogins, AwkwardPasswordsReachBothDriversIntact) {
    const QString pg = "odbc:Driver={Microsoft ODBC for Oracle};Servername=127.0.0.1;Port=" +
                       qEnvironmentVariable("PGPORT") + ";Database=scott;UID={User};PWD={Password}";
    const QString maria =
        "odbc:Driver={MariaDB Unicode};Server=127.0.0.1;Port=" + qEnvironmentVariable("TW_MARIA_PORT") +
        ";Database=scott;UID={User};PWD={Password}";
    const struct {
        QString user, password;
    } logins[] = {{"tw_semicolon", "ti;ger}x"}, {"tw_brace", "{tiger"}, {"tw_urlish", "a+b%41 c"}};
    for (const QString& name : {pg, maria, QString("dsn:tw_pg"), QString("DSN:tw_maria")}) {
        for (const auto& login : logins) {
            SCOPED_TRACE((name + " as " + login.user).toStdString());
            for (const bool right : {true, false}) {
                const ConnectionTarget target =
                    endpointNamed(name, {login.user, right ? login.password : login.password + "x"})
                        ->target({});
                odbc::OdbcConnection connection(ConnectionTimeouts{.login = 15});
                if (right) {
                    EXPECT_NO_THROW(connection.open(target));
                } else {
                    EXPECT_THROW(connection.open(target), DbError);
                }
            }
        }
    }
}

// The COPY connection of a PostgreSQL login takes its password from the driver's connection as
// it is: quotes, a backslash, blanks, "=" and what psqlODBC encodes.
TEST(EndpointLogins, AwkwardPasswordsReachTheCopyConnectionIntact) {
    const QString pg = "odbc:Driver={Microsoft ODBC for Oracle};Servername=127.0.0.1;Port=" +
                       qEnvironmentVariable("PGPORT") + ";Database=scott;UID={User};PWD={Password}";
    const struct {
        QString user, password;
    } logins[] = {{"tw_quoted", "it's a\\b =c"}, {"tw_semicolon", "ti;ger}x"}, {"tw_urlish", "a+b%41 c"}};
    for (const auto& login : logins) {
        SCOPED_TRACE(login.user.toStdString());
        odbc::OdbcConnection connection(ConnectionTimeouts{.login = 15});
        connection.open(endpointNamed(pg, {login.user, login.password})->target({}));
        EXPECT_TRUE(dynamic_cast<postgres::CopyWriter*>(connection.batchWriter("t", {false}).get()));
    }
}

TEST(SybaseCanConnect, OpensADefinedDataSourceOnly) {
    odbc::OdbcConnectionFactory factory;
    EXPECT_TRUE(SybaseCanConnect(factory, dataSource(test::kStandDataSource)));
    EXPECT_FALSE(SybaseCanConnect(factory, dataSource("no_such_dsn")));
    EXPECT_FALSE(SybaseCanConnect(factory, dataSource("")));
    EXPECT_FALSE(SybaseCanConnect(factory, dataSource("tw_sqlany;Database=/tmp/x.db")));
}

class TestConnectionButtons : public ::testing::Test {
protected:
    QTemporaryDir m_home;
    SettingsStore m_settings{m_home.filePath("config")};
    test::ScriptedDialogs m_dialogs;
    odbc::OdbcConnectionFactory m_connections;
    Form1 m_form{Services{m_settings, m_dialogs, m_connections, m_home.path()}};

    // The one box a click showed.
    QString clickAndRead(PushButton* button) {
        m_dialogs.shown.clear();
        if (button == m_form.PushButton3) m_form.PushButton3_Click();
        if (button == m_form.PushButton1) m_form.PushButton1_Click();
        EXPECT_EQ(m_dialogs.shown.size(), 1);
        EXPECT_EQ(m_form.pointer().get(), MousePointer::Default);
        return m_dialogs.shown.isEmpty() ? QString() : m_dialogs.shown.first().text;
    }
};

TEST_F(TestConnectionButtons, SayWhetherEachSideConnects) {
    const QString success = QStringLiteral("Connection successful.");
    const QString failure = QStringLiteral("Could not connect. Please check with your administrator.");
    m_form.Text1->setText(test::standOracleServer());
    m_form.Text2->setText(test::kStandOracleUser);
    m_form.Text3->setText(test::kStandOraclePassword);
    EXPECT_EQ(clickAndRead(m_form.PushButton3), success);
    m_form.Text3->setText("wrong");
    EXPECT_EQ(clickAndRead(m_form.PushButton3), failure);
    m_form.Text3->setText(test::kStandOraclePassword);
    m_form.Text1->setText("no-such-host.invalid");
    EXPECT_EQ(clickAndRead(m_form.PushButton3), failure);

    m_form.Text4->setText(test::kStandDataSource);
    EXPECT_EQ(clickAndRead(m_form.PushButton1), success);
    EXPECT_EQ(clickAndRead(m_form.PushButton1), success);  // a second, independent connection
    m_form.Text4->setText("no_such_dsn");
    EXPECT_EQ(clickAndRead(m_form.PushButton1), failure);
    m_form.Text4->clear();
    EXPECT_EQ(clickAndRead(m_form.PushButton1), failure);
}

TEST(SilentServer, ConnectingGivesUpAsAFailedConnection) {
    // A server that takes the connection and never says a word, in place of the Oracle side.
    const auto silent = test::LoopbackRelay::silent();
    const QByteArray standPort = qgetenv("PGPORT");
    qputenv("PGPORT", QByteArray::number(silent->port()));
    odbc::OdbcConnectionFactory factory(ConnectionTimeouts{.login = 1});
    EXPECT_FALSE(OracleCanConnect(factory, oracle("127.0.0.1", "scott", "tiger")));

    // The start stays on the connection window, whose test says it could not connect.
    QTemporaryDir home;
    SettingsStore settings(home.path());
    const QList<std::pair<QString, QString>> remembered = {
        {SettingKey::OracleServer, "127.0.0.1"},
        {SettingKey::OracleUser, "scott"},
        {SettingKey::OraclePassword, "tiger"},
        {SettingKey::DataSourceName, test::kStandDataSource}};
    for (const auto& [key, value] : remembered)
        settings.save(kSettingsApplication, kSettingsSection, key, value);
    test::ScriptedDialogs dialogs;
    Form1 form(Services{settings, dialogs, factory, home.path()});
    form.Form_Load();
    EXPECT_FALSE(form.tablesWindow());
    form.PushButton3_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Could not connect. Please check with your administrator."));
    qputenv("PGPORT", standPort);
}

// Connections at once to a server that never answers: one tries, and the ones that waited their
// turn behind it fail as it did without trying, so that jobs wait out one time-out between them.
// A connection asked for afterwards tries again.
TEST(SilentServer, ConnectionsWaitingBehindAFailedOneFailAsItDid) {
    const auto silent = test::LoopbackRelay::silent();
    const QByteArray standPort = qgetenv("PGPORT");
    qputenv("PGPORT", QByteArray::number(silent->port()));
    odbc::OdbcConnectionFactory factory(ConnectionTimeouts{.login = 1});
    std::atomic<int> failed{0};
    const auto connect = [&] {
        try {
            factory.create()->open(OracleConnectionTarget(oracle("127.0.0.1", "scott", "tiger")));
        } catch (const DbError&) {
            ++failed;
        }
    };
    std::vector<std::thread> jobs;
    for (int i = 0; i < 3; ++i) jobs.emplace_back(connect);
    for (std::thread& job : jobs) job.join();
    EXPECT_EQ(failed, 3);
    EXPECT_EQ(silent->accepted(), 1);
    connect();
    EXPECT_EQ(silent->accepted(), 2);
    qputenv("PGPORT", standPort);
}

// MariaDB's driver waits on the server's greeting without its login time-out: the program cuts
// the connection off once that time-out has passed, as on a lost connection.
TEST(SilentServer, AMariaDbConnectionGivesUpAfterItsLoginTimeOut) {
    const auto silent = test::LoopbackRelay::silent();
    const ConnectionTarget target = ConnectionTarget::driverString(
        QStringLiteral(
            "Driver={MariaDB Unicode};Server=127.0.0.1;Port=%1;Database=scott;User=scott;Password=tiger;")
            .arg(silent->port()));
    auto ended = std::make_shared<std::promise<QString>>();
    std::thread([ended, target] {
        odbc::OdbcConnection connection(ConnectionTimeouts{.login = 1});
        try {
            connection.open(target);
            ended->set_value(QStringLiteral("connected"));
        } catch (const DbError& failure) {
            ended->set_value(QString::fromUtf8(failure.what()));
        }
    }).detach();
    std::future<QString> said = ended->get_future();
    // Far beyond the second and the watch's margin: a slow machine is no failure.
    ASSERT_EQ(said.wait_for(std::chrono::seconds(120)), std::future_status::ready) << "still connecting";
    EXPECT_TRUE(said.get().contains("did not answer within 1 seconds"));
}

TEST(CommandTimeout, ChangesGiveUpAndReadsTakeTheirTime) {
    odbc::OdbcConnection db(ConnectionTimeouts{.login = 15, .command = 1});
    db.open(test::standOracle());
    EXPECT_THROW(db.execute("SELECT pg_sleep(3)"), DbError);
    EXPECT_NO_THROW(db.openRecordset("SELECT pg_sleep(2)"));
    // The connection is still usable after a statement gave up.
    EXPECT_NO_THROW(db.execute("SELECT 1"));
}
