#include "cli/CommandLine.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>

#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Terminal.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/Locale.h"
#include "shell/ReportLines.h"
#include "shell/SettingsStore.h"
#include "shell/TransferLog.h"

namespace tw::cli {

namespace {

// A password kept in a file others may open is told about, as ssh and libpq do, and still used:
// the run the user asked for goes on. A pipe (--password-file <(...)) keeps nothing.
void warnIfOthersMayOpen(const QFile& file, Terminal& terminal) {
    struct stat status {};
    if (::fstat(file.handle(), &status) != 0 || !S_ISREG(status.st_mode) ||
        (status.st_mode & (S_IRWXG | S_IRWXO)) == 0)
        return;
    terminal.err(QStringLiteral("tablewright: warning: others have access to the password file %1 (mode "
                                "%2); it should be 0600 or less\n")
                     .arg(file.fileName())
                     .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0')));
}

// The remembered values, with what the command line gives in their place. The password comes
// from a file or the environment only; nothing is saved.
std::optional<ConnectionValues> connectionValues(const CommandOptions& options, Terminal& terminal) {
    const SettingsStore settings;
    const auto remembered = [&](const QString& key) {
        return settings.value(kSettingsApplication, kSettingsSection, key);
    };
    ConnectionValues values{remembered(SettingKey::OracleServer), remembered(SettingKey::OracleUser),
                            remembered(SettingKey::OraclePassword), remembered(SettingKey::DataSourceName),
                            remembered(SettingKey::OracleConnectionString)};
    if (options.oracleServer) values.oracleServer = *options.oracleServer;
    if (options.oracleUser) values.oracleUser = *options.oracleUser;
    if (options.dataSourceName) values.dataSourceName = *options.dataSourceName;
    if (options.oracleTemplate) values.oracleTemplate = *options.oracleTemplate;
    if (options.passwordFile) {
        QFile file(*options.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            terminal.err(QStringLiteral("tablewright: the password file %1 cannot be read: %2\n")
                             .arg(*options.passwordFile, file.errorString()));
            return std::nullopt;
        }
        warnIfOthersMayOpen(file, terminal);
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        values.oraclePassword = QString::fromUtf8(line);
    }
    if (options.passwordVariable) {
        const QByteArray name = options.passwordVariable->toLocal8Bit();
        if (!qEnvironmentVariableIsSet(name.constData())) {
            terminal.err(QStringLiteral("tablewright: the environment variable %1 is not set\n")
                             .arg(*options.passwordVariable));
            return std::nullopt;
        }
        values.oraclePassword = qEnvironmentVariable(name.constData());
    }
    return values;
}

}  // namespace

int runCommandLine(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    useDatabaseLocale();
    Terminal terminal;

    const ParsedCommand parsed = parseCommand(argc, argv);
    if (!parsed.output.isEmpty()) terminal.out(parsed.output);
    if (!parsed.error.isEmpty()) terminal.err(parsed.error);
    if (!parsed.options) return parsed.exitCode;
    const CommandOptions& options = *parsed.options;

    const std::optional<ConnectionValues> values = connectionValues(options, terminal);
    if (!values) return kExitUsage;
    odbc::OdbcConnectionFactory connections;
    TransferLog log;
    const CommandContext context{options, *values, connections, terminal, &log};
    try {
        switch (options.command) {
            case CommandOptions::Command::List:
                return listTables(context);
            case CommandOptions::Command::Copy:
                return copyTables(context);
            case CommandOptions::Command::Drop:
                return dropTables(context);
            case CommandOptions::Command::Rename:
                return renameTable(context);
        }
    } catch (const std::exception& failure) {
        terminal.err(QStringLiteral("tablewright: %1\n").arg(oneLine(QString::fromUtf8(failure.what()))));
    }
    return kExitSomethingFailed;
}

}  // namespace tw::cli
