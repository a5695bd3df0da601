#include "cli/CommandOptions.h"

#include <CLI/CLI.hpp>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ExitCode.h"
#include "db/Endpoint.h"
#include "db/RowCondition.h"
#include "db/Side.h"
#include "shell/NearNames.h"
#include "shell/TableNamePattern.h"

namespace tw::cli {

namespace {

std::string exitStatusHelp() {
    std::string text = "Exit status:";
    for (const ExitCodeMeaning& status : kExitCodeMeanings)
        text += "\n  " + std::to_string(status.code) + "  " + status.meaning;
    return text;
}

const char* const kConnectionNote =
    "Connection values come from the settings the windows remember; --sid, --user, --dsn, "
    "--oracle-connection and a password option replace them for this run only. Nothing given here "
    "is saved.";

// The option's text when the chosen command was given it.
std::optional<QString> given(const CLI::App& command, const std::string& name, const std::string& value) {
    if (command.get_option(name)->count() == 0) return std::nullopt;
    return QString::fromStdString(value);
}

struct ConnectionOptions {
    std::string sid, user, dsn, oracleTemplate, passwordFile, passwordVariable;
};

void addConnectionOptions(CLI::App& command, ConnectionOptions& connection) {
    command.add_option("--sid", connection.sid, "Oracle server (the connection window's SID)");
    command.add_option("--user", connection.user, "Oracle user");
    command.add_option("--dsn", connection.dsn, "SQL Anywhere ODBC data source name");
    command
        .add_option("--oracle-connection", connection.oracleTemplate,
                    "the Oracle connection string as your driver needs it, with {SID}, {User} and "
                    "{Password} for the values, e.g. \"Driver={Oracle 21 ODBC driver};DBQ={SID};UID={User};"
                    "PWD={Password};\"")
        ->type_name("TEMPLATE");
    CLI::Option* file = command.add_option("--password-file", connection.passwordFile,
                                           "read the Oracle password from the first line of FILE");
    CLI::Option* variable = command.add_option("--password-env", connection.passwordVariable,
                                               "read the Oracle password from the environment variable VAR");
    file->type_name("FILE")->excludes(variable);
    variable->type_name("VAR");
}

void addVersionAndFooter(CLI::App& command) {
    command.set_version_flag("--version", programVersion().toStdString());
    command.footer(std::string(kConnectionNote) + "\n\n" + exitStatusHelp());
}

// Takes the configured sides, dsn:NAME and odbc:STRING.
const CLI::Validator kDatabaseName(
    [](std::string& name) { return endpointNameProblem(QString::fromStdString(name)).toStdString(); },
    "DATABASE");

const char* const kDatabaseHelp =
    ": oracle or sqlanywhere (the configured sides), dsn:NAME (any ODBC data source) or "
    "odbc:STRING (any driver connection string, in which {User} and {Password} stand for the end's user "
    "and password options)";

struct EndOptions {
    std::string user, passwordFile, passwordVariable;
};

// The login options of one end of a copy, named --from-… or --to-….
void addEndLoginOptions(CLI::App& command, const std::string& end, EndOptions& login) {
    command.add_option("--" + end + "-user", login.user, "the user for " + end + " a dsn: or odbc: database");
    CLI::Option* file = command.add_option("--" + end + "-password-file", login.passwordFile,
                                           "read the password for " + end +
                                               " a dsn: or odbc: database from "
                                               "the first line of FILE");
    CLI::Option* variable = command.add_option("--" + end + "-password-env", login.passwordVariable,
                                               "read the password for " + end +
                                                   " a dsn: or odbc: database "
                                                   "from the environment variable VAR");
    file->type_name("FILE")->excludes(variable);
    variable->type_name("VAR");
}

EndLogin endLogin(const CLI::App& command, const std::string& end, const EndOptions& login) {
    return {given(command, "--" + end + "-user", login.user),
            given(command, "--" + end + "-password-file", login.passwordFile),
            given(command, "--" + end + "-password-env", login.passwordVariable)};
}

// The other configured side, where the one end given is one; else empty.
std::string otherConfigured(const std::string& name) {
    const Side* side = sideNamed(QString::fromStdString(name));
    return side ? otherSide(*side).name.toStdString() : std::string();
}

const QStringList kCommands{"list", "copy", "check", "drop", "rename"};

// A usage error naming what was not understood and what may have been meant.
ParsedCommand mistyped(const QString& what, const QString& given, const QStringList& meant,
                       const QString& help) {
    ParsedCommand parsed;
    parsed.exitCode = kExitUsage;
    parsed.error = QStringLiteral("tablewright: %1 %2 is not known%3\nRun '%4' for what there is.\n")
                       .arg(what, given, didYouMean(meant), help);
    return parsed;
}

// The long options a command takes, as they are typed.
QStringList optionNames(const CLI::App& command) {
    QStringList names{"--help", "--version"};
    for (const CLI::Option* option : command.get_options()) {
        for (const std::string& name : option->get_lnames())
            names << QStringLiteral("--") + QString::fromStdString(name);
    }
    return names;
}

// An argument the command took for none of its own: an option it does not have, with the ones
// it may have been, or a word too many.
ParsedCommand unexpected(const CLI::App& command, const std::vector<std::string>& extras) {
    const QString given = QString::fromStdString(extras.front());
    const QString help =
        QStringLiteral("tablewright %1 --help").arg(QString::fromStdString(command.get_name()));
    if (given.startsWith(QLatin1Char('-'))) {
        const QString option = given.section(QLatin1Char('='), 0, 0);
        return mistyped(QStringLiteral("the option"), option, nearNames(option, optionNames(command)), help);
    }
    ParsedCommand parsed;
    parsed.exitCode = kExitUsage;
    parsed.error = QStringLiteral("tablewright %1: %2 was not expected\nRun '%3' for what it takes.\n")
                       .arg(QString::fromStdString(command.get_name()), given, help);
    return parsed;
}

const std::map<std::string, Overwrite> kAnswers{
    {"ask", Overwrite::Ask}, {"yes", Overwrite::Yes}, {"no", Overwrite::No}};

// What the options are read into, before they become the command's options.
struct OptionValues {
    CommandOptions options;
    std::string side, from, to, overwrite = "ask", mode = "replace";
    EndOptions fromLogin, toLogin;
    std::vector<std::string> tables;
    std::vector<std::string> excluded;
    std::string where, into, schema, targetSchema;
    ConnectionOptions connection;
};

ParsedCommand usageError(const QString& text) {
    ParsedCommand parsed;
    parsed.exitCode = kExitUsage;
    parsed.error = text;
    return parsed;
}

// A password among the arguments would show in the process list to every user.
bool givesPassword(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--password" || argument.rfind("--password=", 0) == 0 || argument == "--pwd")
            return true;
    }
    return false;
}

CLI::App* addList(CLI::App& app, OptionValues& values) {
    CLI::App* list = app.add_subcommand("list", "List the tables as the tables window shows them");
    CLI::Option* listSide =
        list->add_option("--side", values.side, std::string("only this database's tables") + kDatabaseHelp)
            ->check(kDatabaseName);
    list->add_option("--schema", values.schema,
                     "the tables of this schema (an Oracle owner) instead of the user's own")
        ->needs(listSide);
    list->add_flag("--rows", values.options.rows,
                   "each table's row count after its name (counting reads every table)");
    list->add_flag("--json", values.options.json, "print the list as one JSON document");
    return list;
}

// copy's databases and logins, and the tables it takes.
void addCopySources(CLI::App& copy, OptionValues& values) {
    copy.add_option("--to", values.to,
                    std::string("the database the tables go into") + kDatabaseHelp +
                        "; alone, a configured side takes the other one's tables")
        ->check(kDatabaseName);
    copy.add_option("--from", values.from,
                    std::string("the database the tables come from") + kDatabaseHelp +
                        "; alone, a configured side gives its tables to the other one")
        ->check(kDatabaseName);
    addEndLoginOptions(copy, "from", values.fromLogin);
    addEndLoginOptions(copy, "to", values.toLogin);
    CLI::Option* all = copy.add_flag("--all", values.options.all, "every table of the source side");
    CLI::Option* named = copy.add_option(
        "TABLE", values.tables,
        "the tables to copy, as the source lists them; with * (any characters) or ? (one), in quotes, "
        "every table whose name matches");
    copy.add_option("--into", values.into, "the name the table takes in the target (one table)");
    copy.add_option("--where", values.where,
                    "copy only the source rows that meet this condition, sent to the source as written "
                    "(one table)");
    copy.add_option("--schema", values.schema,
                    "list and read the source's tables in this schema (an Oracle owner) instead of the "
                    "user's own");
    copy.add_option("--target-schema", values.targetSchema,
                    "list the target's tables, and write them, in this schema (an owner) instead of the "
                    "user's own");
    copy.add_option("--exclude", values.excluded,
                    "a table, or a pattern of tables, not to copy (repeatable)");
    all->excludes(named);
}

// What copy does with a table the target has, and how it writes one.
void addCopyWriting(CLI::App& copy, OptionValues& values) {
    CommandOptions& options = values.options;
    copy.add_option("--overwrite", values.overwrite,
                    "a table the target already has: ask (on a terminal; refused otherwise), "
                    "yes (replace it) or no (keep it)")
        ->check(CLI::IsMember({"ask", "yes", "no"}));
    copy.add_option(
            "--mode", values.mode,
            "a table the target already has: replace (default; drop it and make it anew, "
            "asked first), append (add the rows, columns matched by name) or truncate (empty "
            "it and load the rows, keeping its definition, keys, indexes and grants; asked "
            "first); a copy that fails or is stopped leaves the table as it was (rows refused for their own "
            "values do not fail it: the others go in, and the refused ones are named; a table "
            "that cannot undo a change is refused an append or truncate, and so is a "
            "truncate that would delete rows of other tables through their foreign keys)")
        ->check(CLI::IsMember({"replace", "append", "truncate"}));
    copy.add_flag(
        "--allow-partial-load", options.allowPartialLoad,
        "append or truncate even into a table whose storage engine cannot undo a change (MariaDB's "
        "MyISAM, Aria or MEMORY): a load that fails part way then leaves part of the rows in it, and "
        "a truncate's table without its own; otherwise such a table is refused before anything changes");
    copy.add_option("--batch", options.batchRows,
                    "rows bound to one prepared INSERT and committed together (default BatchRows "
                    "in the settings, or 1000); 1 sends each row as its own INSERT, as the windows do")
        ->check(CLI::Range(1, kLargestBatch));
    copy.add_option("--jobs", options.jobs,
                    "tables copied at the same time, each on connections of its own (default 1); "
                    "every question is asked before the first table is copied")
        ->check(CLI::Range(1, 64));
    copy.add_flag("--verify", options.verify,
                  "read each copied table back and compare it with the rows the copy read");
}

// The switches the settings may turn on, which the command line turns off again for one run,
// and what copy prints.
void addCopySwitches(CLI::App& copy, OptionValues& values) {
    CommandOptions& options = values.options;
    CLI::Option* inPlace =
        copy.add_flag("--in-place", options.inPlace,
                      "replace a table by dropping it first, for a target without room for two copies of "
                      "it (a copy that fails part way then leaves less than there was); the default is "
                      "ReplaceInPlace in the settings");
    CLI::Option* faithful =
        copy.add_flag("--faithful", options.faithful,
                      "make each table with its source's column types, NOT NULL and primary key (the "
                      "default, unless FaithfulTables=0 is set)");
    copy.add_flag_callback(
            "--no-in-place", [&options] { options.inPlace = false; },
            "stage a replace even where ReplaceInPlace=1 is set")
        ->excludes(inPlace);
    CLI::Option* plain = copy.add_flag_callback(
        "--plain,--no-faithful", [&options] { options.faithful = false; },
        "make the plain copy's number, text and binary columns, as the windows do");
    plain->excludes(faithful);
    copy.add_flag("--json", options.json, "print the summary as one JSON document");
    copy.add_flag("--dry-run", options.dryRun,
                  "print what the copy would do with each table (its rows, the action and why, the "
                  "target's columns, the statements) and change nothing");
}

CLI::App* addCopy(CLI::App& app, OptionValues& values) {
    CLI::App* copy = app.add_subcommand("copy", "Copy tables to the other database, as the send buttons do");
    addCopySources(*copy, values);
    addCopyWriting(*copy, values);
    addCopySwitches(*copy, values);
    return copy;
}

CLI::App* addCheck(CLI::App& app, OptionValues& values) {
    CLI::App* check = app.add_subcommand(
        "check",
        "Try every kind of column, with the values that go wrong, between two databases: each way, plain and "
        "faithful, verified; prints what arrives exactly, what changes and what is refused");
    check->add_option("--from", values.from, std::string("one database") + kDatabaseHelp)
        ->check(kDatabaseName);
    check->add_option("--to", values.to, std::string("the other database") + kDatabaseHelp)
        ->check(kDatabaseName);
    addEndLoginOptions(*check, "from", values.fromLogin);
    addEndLoginOptions(*check, "to", values.toLogin);
    check->add_flag("--json", values.options.json, "print the verdicts as one JSON document");
    return check;
}

CLI::App* addDrop(CLI::App& app, OptionValues& values) {
    CLI::App* drop = app.add_subcommand("drop", "Delete tables, as the Delete Table/s buttons do");
    drop->add_option("--side", values.side, std::string("the database the tables are in") + kDatabaseHelp)
        ->required()
        ->check(kDatabaseName);
    drop->add_option("TABLE", values.tables, "the tables to delete")->required();
    return drop;
}

CLI::App* addRename(CLI::App& app, OptionValues& values) {
    CLI::App* rename = app.add_subcommand("rename", "Rename a table, as the Rename Table buttons do");
    rename->add_option("--side", values.side, std::string("the database the table is in") + kDatabaseHelp)
        ->required()
        ->check(kDatabaseName);
    rename->add_option("OLD", values.tables, "the table's name and its new name")->required()->expected(2);
    return rename;
}

// The command's options from the values read, once they passed the command's checks.
ParsedCommand accepted(const CLI::App& chosen, CommandOptions::Command command, OptionValues& values) {
    CommandOptions& options = values.options;
    options.command = command;
    options.side = QString::fromStdString(values.side);
    options.overwrite = kAnswers.at(values.overwrite);
    options.mode = *writeModeNamed(QString::fromStdString(values.mode));
    if (options.mode != WriteMode::Replace) options.inPlace = false;
    for (const std::string& table : values.tables) options.tables << QString::fromStdString(table);
    for (const std::string& table : values.excluded) options.exclude << QString::fromStdString(table);
    options.where = QString::fromStdString(values.where);
    options.into = QString::fromStdString(values.into);
    options.schema = QString::fromStdString(values.schema);
    options.targetSchema = QString::fromStdString(values.targetSchema);
    const ConnectionOptions& connection = values.connection;
    options.oracleServer = given(chosen, "--sid", connection.sid);
    options.oracleUser = given(chosen, "--user", connection.user);
    options.dataSourceName = given(chosen, "--dsn", connection.dsn);
    options.oracleTemplate = given(chosen, "--oracle-connection", connection.oracleTemplate);
    options.passwordFile = given(chosen, "--password-file", connection.passwordFile);
    options.passwordVariable = given(chosen, "--password-env", connection.passwordVariable);
    ParsedCommand parsed;
    parsed.options = options;
    return parsed;
}

// copy and check: the two databases, one of them the other configured side where only the
// other is given; false where they are not both known.
bool bothEnds(const CLI::App& chosen, OptionValues& values) {
    if (values.from.empty()) values.from = otherConfigured(values.to);
    if (values.to.empty()) values.to = otherConfigured(values.from);
    if (values.from.empty() || values.to.empty()) return false;
    values.options.from = QString::fromStdString(values.from);
    values.options.to = QString::fromStdString(values.to);
    values.options.fromLogin = endLogin(chosen, "from", values.fromLogin);
    values.options.toLogin = endLogin(chosen, "to", values.toLogin);
    return true;
}

QString endsMissing(const QString& command) {
    return QStringLiteral(
               "tablewright %1: name the database the tables go into with --to, and with --from the one "
               "they come from unless it is the other configured side\n")
        .arg(command);
}

// Why copy's options do not go together, in the order they are checked; empty where they do.
QString copyOptionsProblem(const CLI::App& copy, const OptionValues& values) {
    for (const auto& [option, value] :
         {std::pair{"--where", &values.where}, std::pair{"--into", &values.into}}) {
        if (!value->empty() && (values.options.all || values.tables.size() != 1 ||
                                isTableNamePattern(QString::fromStdString(values.tables.front()))))
            return QStringLiteral("tablewright copy: %1 takes one table, named as it is\n").arg(option);
    }
    const QString refusal = rowConditionRefusal(QString::fromStdString(values.where));
    if (!refusal.isEmpty()) return QStringLiteral("tablewright copy: --where: %1\n").arg(refusal);
    if (values.mode != "replace" && copy.get_option("--in-place")->count() > 0)
        return QStringLiteral("tablewright copy: --in-place goes with --mode replace only\n");
    if (values.mode == "replace" && copy.get_option("--allow-partial-load")->count() > 0)
        return QStringLiteral(
            "tablewright copy: --allow-partial-load goes with --mode append or truncate only\n");
    return QString();
}

ParsedCommand runCopy(const CLI::App& copy, OptionValues& values) {
    const QString problem = copyOptionsProblem(copy, values);
    if (!problem.isEmpty()) return usageError(problem);
    if (!bothEnds(copy, values)) return usageError(endsMissing(QStringLiteral("copy")));
    if (values.from == values.to && values.into.empty() && values.schema == values.targetSchema) {
        return usageError(QStringLiteral(
            "tablewright copy: --from and --to name one database; give --into or --target-schema to "
            "copy a table within it\n"));
    }
    if (!values.options.all && values.tables.empty())
        return usageError(QStringLiteral("tablewright copy: name the tables to copy, or give --all\n"));
    return accepted(copy, CommandOptions::Command::Copy, values);
}

ParsedCommand runCheck(const CLI::App& check, OptionValues& values) {
    if (!bothEnds(check, values)) return usageError(endsMissing(QStringLiteral("check")));
    return accepted(check, CommandOptions::Command::Check, values);
}

ParsedCommand runList(const CLI::App& list, OptionValues& values) {
    return accepted(list, CommandOptions::Command::List, values);
}

ParsedCommand runDrop(const CLI::App& drop, OptionValues& values) {
    return accepted(drop, CommandOptions::Command::Drop, values);
}

ParsedCommand runRename(const CLI::App& rename, OptionValues& values) {
    return accepted(rename, CommandOptions::Command::Rename, values);
}

// Help and version, to print with 0, or what CLI11 found wrong, with a usage error.
ParsedCommand helpOrUsageError(const CLI::App& app, const CLI::ParseError& error) {
    std::ostringstream out, err;
    const int code = app.exit(error, out, err);
    ParsedCommand parsed;
    parsed.output = QString::fromStdString(out.str());
    parsed.error = QString::fromStdString(err.str());
    parsed.exitCode = code == 0 ? kExitSuccess : kExitUsage;
    return parsed;
}

// Each command: what adds its options, and what makes the parsed options its command.
struct Subcommand {
    CLI::App* (*add)(CLI::App&, OptionValues&);
    ParsedCommand (*run)(const CLI::App&, OptionValues&);
};

const Subcommand kSubcommands[] = {
    {addList, runList}, {addCopy, runCopy}, {addCheck, runCheck}, {addDrop, runDrop}, {addRename, runRename}};

}  // namespace

QString programVersion() { return QStringLiteral(TW_VERSION); }

bool wantsCommandLine(int argc, const char* const* argv) {
    if (argc < 2) return false;
    const std::string first = argv[1];
    return first.empty() || first[0] != '-' || first == "--help" || first == "-h" || first == "--version";
}

ParsedCommand parseCommand(int argc, const char* const* argv, const CommandDefaults& defaults) {
    if (givesPassword(argc, argv)) {
        return usageError(
            QStringLiteral("tablewright: a password on the command line shows in the process list; give "
                           "--password-file FILE or --password-env VAR instead\n"));
    }
    // A word where the command goes that is no command: said as such, not as one missing.
    if (argc >= 2 && argv[1][0] != '-' && !kCommands.contains(QString::fromLocal8Bit(argv[1]))) {
        const QString given = QString::fromLocal8Bit(argv[1]);
        return mistyped(QStringLiteral("the command"), given, nearNames(given, kCommands),
                        QStringLiteral("tablewright --help"));
    }

    CLI::App app(
        "Copies whole tables between an Oracle database and a SQL Anywhere data source.\n"
        "Without a command the windows open.",
        "tablewright");
    app.set_version_flag("--version", programVersion().toStdString());
    app.require_subcommand(1, 1);
    app.footer(std::string("Run 'tablewright COMMAND --help' for a command's options.\n\n") +
               exitStatusHelp());

    OptionValues values;
    values.options.batchRows = defaults.batchRows;
    values.options.faithful = defaults.faithful;
    values.options.inPlace = defaults.inPlace;
    std::vector<std::pair<CLI::App*, const Subcommand*>> commands;
    for (const Subcommand& subcommand : kSubcommands) {
        CLI::App* command = subcommand.add(app, values);
        addConnectionOptions(*command, values.connection);
        addVersionAndFooter(*command);
        command->allow_extras();  // said below, with the options that were probably meant
        commands.emplace_back(command, &subcommand);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return helpOrUsageError(app, error);
    }
    for (const auto& [command, subcommand] : commands) {
        if (!command->parsed()) continue;
        if (!command->remaining().empty()) return unexpected(*command, command->remaining());
        return subcommand->run(*command, values);
    }
    return usageError(QString());  // not reached: CLI11 requires one command
}

}  // namespace tw::cli
