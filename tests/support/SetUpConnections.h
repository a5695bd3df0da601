#pragma once

#include <functional>

#include "db/Connection.h"

namespace tw::test {

// Real connections from another factory, each given a set-up of the test's right after it
// opens (a pragma, a session setting), with their opens and closes counted.
class SetUpConnectionFactory : public ConnectionFactory {
public:
    using SetUp = std::function<void(Connection& opened, const ConnectionTarget& target)>;
    explicit SetUpConnectionFactory(ConnectionFactory& inner) : m_inner(inner) {}

    std::unique_ptr<Connection> create() override;

    SetUp setUp;  // none: the connections are as the inner factory makes them
    int opened = 0;
    int closed = 0;

private:
    ConnectionFactory& m_inner;
};

}  // namespace tw::test
