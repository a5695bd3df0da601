#include <langinfo.h>

#include <QApplication>
#include <clocale>
#include <cstring>

#include "shell/ProgramFolder.h"
#include "shell/SettingsStore.h"
#include "ui/Form1.h"
#include "ui/QtDialogs.h"

namespace {

// Database text travels as UTF-8 through the narrow ODBC calls, which needs a UTF-8 locale.
void useUtf8Locale() {
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_ALL, "C.UTF-8");
}

}  // namespace

int main(int argc, char* argv[]) {
    useUtf8Locale();
    QApplication app(argc, argv);

    tw::SettingsStore settings;
    tw::QtDialogs dialogs;
    tw::Form1 connectionWindow(settings, dialogs, tw::programFolder());
    connectionWindow.Form_Load();
    connectionWindow.showCentred();
    return app.exec();
}
