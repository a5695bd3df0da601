#include "maintenance/OpenForWork.h"

#include "db/Side.h"
#include "shell/FrontEnd.h"

namespace tw {

std::unique_ptr<Connection> openForWork(Procedure& proc, const DatabaseSide& side, const TableWork& work) {
    std::unique_ptr<Connection> connection;
    proc.step(100, [&] { connection = work.connections.create(); });
    proc.step(102, [&] { work.frontEnd.busy(true); });
    if (side.database->namesOdbcProvider) {
        proc.step(104, [&] { required(connection).setProvider(kOdbcProvider); });
    }
    proc.step(side.line(106), [&] { required(connection).open(side.database->target(work.values)); });
    return connection;
}

}  // namespace tw
