#pragma once

#include "TablesRig.h"
#include "db/AdoType.h"

namespace tw::test {

// A source table of two columns, ID and NAME, with these rows.
inline FakeTable twoColumnTable(const QList<QList<Variant>>& rows) {
    FakeTable t;
    t.fields = {{"ID", AdoType::Integer, {}}, {"NAME", AdoType::VarChar, {}}};
    t.rows = rows;
    return t;
}

// Transfers run with these values in the connection window.
struct TransferRig : TablesRig {
    TransferRig(const QStringList& sqlanyTables, const QStringList& oracleTables)
        : TablesRig(sqlanyTables, oracleTables, {"db", "scott", "tiger", "dsn"}) {
        connections.onExecute = nullptr;
    }
};

}  // namespace tw::test
