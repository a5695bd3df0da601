#pragma once

#include <QString>

namespace tw {

// The four connection values as the connection window's boxes hold them at the moment of use.
struct ConnectionValues {
    QString oracleServer;
    QString oracleUser;
    QString oraclePassword;
    QString dataSourceName;
};

}  // namespace tw
