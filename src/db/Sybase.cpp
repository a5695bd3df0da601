#include "db/Sybase.h"

#include "db/Connection.h"
#include "db/ConnectionString.h"

namespace tw {

QString SybaseConnectionString(const ConnectionValues& values) {
    return QStringLiteral("Data Source=") + connectionStringValue(values.dataSourceName);
}

bool SybaseCanConnect(ConnectionFactory& factory, const ConnectionValues& values) {
    const std::unique_ptr<Connection> connection = factory.create();
    try {
        connection->setProvider(kOdbcProvider);
        connection->open(SybaseConnectionString(values));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace tw
