#pragma once

#include "cli/CommandOptions.h"
#include "db/ConnectionValues.h"

namespace tw {
class ConnectionFactory;
class TransferLog;
}  // namespace tw

namespace tw::cli {

class Terminal;

// What every command works with.
struct CommandContext {
    const CommandOptions& options;
    ConnectionValues values;
    ConnectionFactory& connections;
    Terminal& terminal;
    TransferLog* log = nullptr;
};

// Each gives the exit status.
int listTables(const CommandContext& context);
int copyTables(const CommandContext& context);
int dropTables(const CommandContext& context);
int renameTable(const CommandContext& context);

}  // namespace tw::cli
