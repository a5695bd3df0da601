#pragma once

#include <memory>

#include "cli/CommandOptions.h"
#include "db/ConnectionValues.h"

namespace tw {
class ConnectionFactory;
struct Side;
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
    // copy: the source and the target; list, drop and rename: the database named, if one is.
    std::shared_ptr<const Side> from = {};
    std::shared_ptr<const Side> to = {};
    std::shared_ptr<const Side> side = {};
};

// Each gives the exit status.
int listTables(const CommandContext& context);
int copyTables(const CommandContext& context);
int checkDatabases(const CommandContext& context);
int dropTables(const CommandContext& context);
int renameTable(const CommandContext& context);

}  // namespace tw::cli
