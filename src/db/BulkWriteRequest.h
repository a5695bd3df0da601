#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace tw {

class Connection;

// What a product's own way of writing batches needs of the open connection they are for.
struct BulkWriteRequest {
    Connection& connection;   // its session's settings are read
    QString intoTable;        // quoted, and qualified where a schema is given
    std::vector<bool> bytes;  // whether each column holds bytes
    // The way to the database the driver took: the connection string it completed, else the
    // data source the connection was made by its name alone. Both hold the password.
    QString completedConnection;
    QString dataSource;
    QString display;  // what the connection opens, as it is written
    int commandTimeoutSeconds = 0;
    int loginTimeoutSeconds = 0;
    // Connects as every connection of the program is made: one at a time; place names it.
    std::function<void(const QString& place, const std::function<void()>& connect)> connectInTurn;
};

}  // namespace tw
