#include "db/Sybase.h"

#include "db/CatalogueTables.h"
#include "db/Connection.h"

namespace tw {

ConnectionTarget SybaseConnectionTarget(const ConnectionValues& values) {
    return ConnectionTarget::dataSource(values.dataSourceName);
}

bool SybaseCanConnect(ConnectionFactory& factory, const ConnectionValues& values) {
    const std::unique_ptr<Connection> connection = factory.create();
    try {
        connection->setProvider(kOdbcProvider);
        connection->open(SybaseConnectionTarget(values));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void LoadSybaseTables(TableList& list, ConnectionFactory& factory, const ConnectionValues& values,
                      const std::function<void()>& processEvents, const QString& schema) {
    LoadCatalogueTables(list, factory, SybaseConnectionTarget(values), processEvents, schema, true);
}

}  // namespace tw
