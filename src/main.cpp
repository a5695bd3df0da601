#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "cli/CommandLine.h"
#include "cli/CommandOptions.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/EventPump.h"
#include "shell/Locale.h"
#include "shell/ProgramFolder.h"
#include "shell/SettingsStore.h"
#include "shell/TransferLog.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/QtDialogs.h"

int main(int argc, char* argv[]) {
    // A command, --help or --version: no window and no display needed.
    if (tw::cli::wantsCommandLine(argc, argv)) return tw::cli::runCommandLine(argc, argv);

    QApplication app(argc, argv);
    tw::useDatabaseLocale();

    tw::SettingsStore settings;
    tw::QtDialogs dialogs;
    tw::odbc::OdbcConnectionFactory connections;
    tw::TransferLog log;
    const tw::Services services{
        settings, dialogs, connections, tw::programFolder(), tw::EventPump(),
        // Ending is immediate, also in the middle of a handler: every setting is already
        // saved, and each statement sent so far has been committed on its own.
        [] {
            std::fflush(nullptr);
            std::_Exit(0);
        },
        &log};

    tw::Form1 connectionWindow(services);
    connectionWindow.Form_Load();
    if (!connectionWindow.tablesWindow() || connectionWindow.tablesWindow()->isHidden()) {
        connectionWindow.showCentred();
    }
    return app.exec();
}
