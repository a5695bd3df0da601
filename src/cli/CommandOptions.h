#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "transfer/WriteMode.h"

namespace tw::cli {

enum class Overwrite { Ask, Yes, No };

// The login given for one end of a copy that is no configured side, for this run only.
struct EndLogin {
    std::optional<QString> user;
    std::optional<QString> passwordFile;
    std::optional<QString> passwordVariable;
};

// What the command line asked for, checked against the commands' rules.
struct CommandOptions {
    enum class Command { List, Copy, Drop, Rename, Check } command = Command::List;
    // The databases, as the command line names them ("oracle", "sqlanywhere", "dsn:NAME",
    // "odbc:STRING"). list: one, or both configured sides when none; drop and rename: the one
    // worked on. copy: the source and the target.
    QString side;
    QString from = QStringLiteral("oracle");
    QString to = QStringLiteral("sqlanywhere");
    EndLogin fromLogin;  // copy and check: for a source that is no configured side
    EndLogin toLogin;    // copy and check: for a target that is no configured side
    bool all = false;
    QStringList tables;    // copy and drop: the tables; rename: the old and the new name
    QStringList exclude;   // copy: the tables, or patterns of them, not to copy
    QString where;         // copy: only the source rows that meet this condition (one table)
    bool dryRun = false;   // copy: say what would be done, and change nothing
    QString into;          // copy: the name the one table takes in the target
    QString schema;        // list and copy: the schema (or owner) the tables are listed and read in
    QString targetSchema;  // copy: the schema (or owner) the tables are written to
    Overwrite overwrite = Overwrite::Ask;
    bool verify = false;
    bool faithful = true;                 // the source's column types, NOT NULL and primary key
    bool inPlace = false;                 // a replace drops the old table before the new rows go in
    WriteMode mode = WriteMode::Replace;  // what becomes of a table the target has
    bool allowPartialLoad = false;        // append or truncate into a table that cannot undo a load
    int batchRows = 1000;                 // 1: each row its own INSERT, as the windows copy
    int jobs = 1;                         // tables copied at the same time
    bool json = false;
    bool rows = false;  // list: each table's row count
    // Instead of the remembered values, for this run only.
    std::optional<QString> oracleServer;
    std::optional<QString> oracleUser;
    std::optional<QString> dataSourceName;
    std::optional<QString> oracleTemplate;
    std::optional<QString> passwordFile;
    std::optional<QString> passwordVariable;
};

// The most rows --batch takes.
inline constexpr int kLargestBatch = 1000000;

// What a copy does where its options say nothing: the settings file's switches, or else the
// command line's own defaults.
struct CommandDefaults {
    int batchRows = 1000;
    bool faithful = true;  // the windows make the plain copy's columns; a script wants the types
    bool inPlace = false;
};

// The outcome of reading the arguments: options to run, or text to print and an exit code
// (help and version with 0, a usage error with 2).
struct ParsedCommand {
    std::optional<CommandOptions> options;
    int exitCode = 0;
    QString output;  // for standard output
    QString error;   // for standard error
};

ParsedCommand parseCommand(int argc, const char* const* argv, const CommandDefaults& defaults = {});

// Whether these arguments ask for the command line rather than the windows: a command word,
// or help or version. The windows' own options (Qt's) begin with a dash.
bool wantsCommandLine(int argc, const char* const* argv);

QString programVersion();

}  // namespace tw::cli
