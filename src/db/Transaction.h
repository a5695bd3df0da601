#pragma once

#include "db/Connection.h"

namespace tw {

// The statements run on a connection from here on are one transaction, undone unless it is
// committed: whatever way the work ends early, a failure thrown or a step that returned, it
// leaves nothing half done.
class Transaction {
public:
    explicit Transaction(Connection& connection) : m_connection(connection) { connection.beginTransaction(); }
    ~Transaction() {
        if (!m_committed) m_connection.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit() {
        m_committed = true;  // a commit that fails has rolled the work back itself
        m_connection.commit();
    }

private:
    Connection& m_connection;
    bool m_committed = false;
};

}  // namespace tw
