#pragma once

#include <QTemporaryDir>
#include <memory>

#include "db/odbc/OdbcConnection.h"
#include "shell/SettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "support/SetUpConnections.h"
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

    QTemporaryDir home;
    SettingsStore settings{home.path()};
    ScriptedDialogs dialogs;
    odbc::OdbcConnectionFactory realConnections;
    SetUpConnectionFactory connections{realConnections};
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
