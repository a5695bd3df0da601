#include <QApplication>

#include "db/odbc/OdbcConnection.h"
#include "shell/Locale.h"
#include "shell/ProgramFolder.h"
#include "shell/SettingsStore.h"
#include "ui/Form1.h"
#include "ui/QtDialogs.h"

int main(int argc, char* argv[]) {
    tw::useUtf8Locale();
    QApplication app(argc, argv);

    tw::SettingsStore settings;
    tw::QtDialogs dialogs;
    tw::odbc::OdbcConnectionFactory connections;
    const tw::Services services{settings, dialogs, connections, tw::programFolder()};

    tw::Form1 connectionWindow(services);
    connectionWindow.Form_Load();
    connectionWindow.showCentred();
    return app.exec();
}
