#include "cli/CommandLine.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>

#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Terminal.h"
#include "db/Oracle.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/Locale.h"
#include "shell/ReportLines.h"
#include "shell/SettingsStore.h"
#include "shell/TransferLog.h"
#include "shell/TransferSettings.h"

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

// A password is a line of text: a file without a line end this early (/dev/zero, a log) is not
// read on for ever.
constexpr qint64 kLongestPasswordLine = 4096;

// The first line of the password file, or an error said.
std::optional<QString> passwordFromFile(const QString& path, Terminal& terminal) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        terminal.err(QStringLiteral("tablewright: the password file %1 cannot be read: %2\n")
                         .arg(path, file.errorString()));
        return std::nullopt;
    }
    warnIfOthersMayOpen(file, terminal);
    QByteArray line = file.readLine(kLongestPasswordLine + 2);  // a line end after the longest
    if (line.size() > kLongestPasswordLine && !line.endsWith('\n')) {
        terminal.err(
            QStringLiteral("tablewright: the password file %1 has no line end in its first %2 bytes; "
                           "it should hold the password alone on its first line\n")
                .arg(path)
                .arg(kLongestPasswordLine));
        return std::nullopt;
    }
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    return QString::fromUtf8(line);
}

// A template without a placeholder sends nothing of the value typed for it, so that a login
// that fails would puzzle the user.
void warnOfMissingPlaceholders(const QString& oracleTemplate, Terminal& terminal) {
    const QStringList missing = missingPlaceholders(oracleTemplate);
    if (missing.isEmpty()) return;
    terminal.err(QStringLiteral("tablewright: warning: the Oracle connection string template has no %1; "
                                "the value given for it is not sent\n")
                     .arg(missing.join(QStringLiteral(", "))));
}

// The settings file's switches as the copy's defaults; its options override them.
CommandDefaults commandDefaults(const SettingsStore& settings) {
    const TransferSettings read = readTransferSettings(settings);
    CommandDefaults defaults;
    if (read.batchRows) defaults.batchRows = qMin(*read.batchRows, kLargestBatch);
    defaults.faithful = read.faithful;
    defaults.inPlace = read.replaceInPlace;
    return defaults;
}

// The remembered values, with what the command line gives in their place. The password comes
// from a file or the environment only; nothing is saved.
std::optional<ConnectionValues> connectionValues(const CommandOptions& options, const SettingsStore& settings,
                                                 Terminal& terminal) {
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
        const std::optional<QString> password = passwordFromFile(*options.passwordFile, terminal);
        if (!password) return std::nullopt;
        values.oraclePassword = *password;
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

    const SettingsStore settings;
    const ParsedCommand parsed = parseCommand(argc, argv, commandDefaults(settings));
    if (!parsed.output.isEmpty()) terminal.out(parsed.output);
    if (!parsed.error.isEmpty()) terminal.err(parsed.error);
    if (!parsed.options) return parsed.exitCode;
    const CommandOptions& options = *parsed.options;

    // Said once here, as each value read from it would be absent.
    const QString problem = settings.problem(kSettingsApplication);
    if (!problem.isEmpty()) {
        terminal.err(QStringLiteral("tablewright: warning: the settings file %1 %2; the remembered values "
                                    "are not used\n")
                         .arg(settings.filePath(kSettingsApplication), problem));
    }
    const std::optional<ConnectionValues> values = connectionValues(options, settings, terminal);
    if (!values) return kExitUsage;
    warnOfMissingPlaceholders(values->oracleTemplate, terminal);
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
