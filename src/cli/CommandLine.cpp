#include "cli/CommandLine.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>

#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Terminal.h"
#include "db/Endpoint.h"
#include "db/Oracle.h"
#include "db/Side.h"
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

// The password a file or an environment variable gives, none where neither is given, or an error
// said (nothing).
std::optional<std::optional<QString>> givenPassword(const std::optional<QString>& file,
                                                    const std::optional<QString>& variable,
                                                    Terminal& terminal) {
    if (file) {
        std::optional<QString> password = passwordFromFile(*file, terminal);
        if (!password) return std::nullopt;
        return password;
    }
    if (variable) {
        const QByteArray name = variable->toLocal8Bit();
        if (!qEnvironmentVariableIsSet(name.constData())) {
            terminal.err(
                QStringLiteral("tablewright: the environment variable %1 is not set\n").arg(*variable));
            return std::nullopt;
        }
        return std::optional<QString>(qEnvironmentVariable(name.constData()));
    }
    return std::optional<QString>();
}

// The database the command line names, reached with the login where it is no configured side;
// none, with the reason said, where it cannot be named.
std::shared_ptr<const Side> endpoint(const QString& name, const EndpointLogin& login, Terminal& terminal) {
    try {
        return endpointNamed(name, sideNamed(name) ? EndpointLogin() : login);
    } catch (const std::exception& failure) {
        terminal.err(QStringLiteral("tablewright: %1\n").arg(QString::fromUtf8(failure.what())));
        return nullptr;
    }
}

// The database of one end of a copy, with the login given for it; none, with the reason said,
// where a value cannot be had.
std::shared_ptr<const Side> endpoint(const QString& name, const EndLogin& given, Terminal& terminal) {
    std::optional<QString> password;
    if (!sideNamed(name)) {
        const std::optional<std::optional<QString>> read =
            givenPassword(given.passwordFile, given.passwordVariable, terminal);
        if (!read) return nullptr;
        password = *read;
    }
    return endpoint(name, EndpointLogin{given.user, password}, terminal);
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
    if (read.faithful) defaults.faithful = *read.faithful;
    defaults.inPlace = read.replaceInPlace;
    return defaults;
}

// The remembered values, with what the command line gives in their place. The password comes
// from a file or the environment only, read once by the caller; nothing is saved.
ConnectionValues connectionValues(const CommandOptions& options, const SettingsStore& settings,
                                  const std::optional<QString>& password) {
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
    if (password) values.oraclePassword = *password;
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
    // Read once: the Oracle side's password and that of a database --side names.
    const std::optional<std::optional<QString>> password =
        givenPassword(options.passwordFile, options.passwordVariable, terminal);
    if (!password) return kExitUsage;
    const ConnectionValues values = connectionValues(options, settings, *password);
    warnOfMissingPlaceholders(values.oracleTemplate, terminal);
    odbc::OdbcConnectionFactory connections;
    TransferLog log;
    CommandContext context{options, values, connections, terminal, &log};
    if (options.command == CommandOptions::Command::Copy ||
        options.command == CommandOptions::Command::Check) {
        context.from = endpoint(options.from, options.fromLogin, terminal);
        context.to = endpoint(options.to, options.toLogin, terminal);
        if (!context.from || !context.to) return kExitUsage;
    } else if (!options.side.isEmpty()) {
        // list, drop and rename take the general login options for a database of their own.
        context.side = endpoint(options.side, EndpointLogin{options.oracleUser, *password}, terminal);
        if (!context.side) return kExitUsage;
    }
    try {
        switch (options.command) {
            case CommandOptions::Command::List:
                return listTables(context);
            case CommandOptions::Command::Copy:
                return copyTables(context);
            case CommandOptions::Command::Check:
                return checkDatabases(context);
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
