#pragma once

#include <QList>
#include <QString>

#include "db/Connection.h"
#include "db/TableShape.h"

namespace tw {

// One kind of column a check of two databases tries, with the values that go wrong on the way:
// NULL and the empty, the longest and the most precise, characters beyond ASCII and beyond
// the Basic Multilingual Plane.
struct CheckKind {
    QString code;              // a few letters for the scratch table's name: "int", "ts"
    ColumnShape column;        // as a source would describe it: its sort, length, scale and digits
    QList<BoundValue> values;  // one a row, as they are written into the source
};

// Every kind, in the order a report lists them.
const QList<CheckKind>& checkKinds();

}  // namespace tw
