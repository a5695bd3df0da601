#include "maintenance/OpenForWork.h"

namespace tw {

std::unique_ptr<Connection> openForWork(Procedure& proc, const DatabaseSide& side, TableWork& work) {
    std::unique_ptr<Connection> connection;
    proc.step(100, [&] { connection = work.connections.create(); });
    proc.step(102, [&] { work.showBusy(true); });
    if (side.setsOdbcProvider) proc.step(104, [&] { required(connection).setProvider(kOdbcProvider); });
    proc.step(side.line(106), [&] { required(connection).open(side.connectionString(work.values)); });
    return connection;
}

}  // namespace tw
