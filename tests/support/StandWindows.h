#pragma once

#include <QTemporaryDir>
#include <memory>

#include "db/odbc/OdbcConnection.h"
#include "shell/SettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "support/StandDatabases.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/TextBox.h"

namespace tw::test {

// Both windows over the stand's real databases, with private settings and scripted boxes; the
// connection window holds the stand's logins, and a connection to each side is at hand. A test
// may give the windows' connections a set-up, and act whenever a handler lets events through.
struct StandWindows {
    StandWindows() {
        form.Text1->setText(standOracleServer());
        form.Text2->setText(kStandOracleUser);
        form.Text3->setText(kStandOraclePassword);
        form.Text4->setText(kStandDataSource);
        oracleDb = openStand(standDatabases()[0]);
        sqlanyDb = openStand(standDatabases()[1]);
    }

    odbc::OdbcConnectionFactory countedConnections() {
        odbc::OdbcConnectionFactory factory;
        factory.hooks.opened = [this](Connection& connection, const ConnectionTarget& target) {
            ++opened;
            if (setUp) setUp(connection, target);
        };
        factory.hooks.closed = [this] { ++closed; };
        return factory;
    }

    QTemporaryDir home;
    SettingsStore settings{home.path()};
    ScriptedDialogs dialogs;
    // The program's own connections; a test may prepare each session after it opens.
    odbc::OdbcConnectionFactory connections = countedConnections();
    std::function<void(Connection& opened, const ConnectionTarget& target)> setUp;
    int opened = 0;
    int closed = 0;
    std::function<void()> onEvents;
    Services services{settings, dialogs, connections, home.path(), [this] {
                          if (onEvents) onEvents();
                      }};
    Form1 form{services};
    Form2 tables{services, form.link()};
    std::unique_ptr<Connection> oracleDb;
    std::unique_ptr<Connection> sqlanyDb;
};

}  // namespace tw::test
