#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "db/Dialect.h"
#include "db/TableShape.h"
#include "transfer/ValueFit.h"

namespace tw {

class Recordset;

// One column of the table a copy makes: its type's text, what its values are, and whether it
// must hold a value.
struct PlannedColumn {
    QString type;  // "NUMBER(10,2)"
    ColumnKind kind = ColumnKind::Text;
    bool notNull = false;
    // The target has no type that keeps the source's: the plain copy's type was given instead.
    bool fellBack = false;
    // The digits after the point the column keeps, where it rounds the rest away: of a number
    // (a DECIMAL of a fixed scale) or of a second (a time or timestamp); -1 where it keeps any.
    int decimals = -1;
    ValueLimit limit = ValueLimit::None;  // what else it drops of a value without a word
};

// The table a copy makes in the target, column by column in the source's order, with the
// primary key to carry over.
struct TablePlan {
    QList<PlannedColumn> columns;
    QStringList primaryKey;

    QList<ColumnKind> kinds() const;
};

// The plain copy's table: each column's type from its ADO type alone; no key, every column
// may be NULL.
TablePlan plainPlan(const Dialect& target, const Recordset& rows);

// The faithful copy's table: each column the type the target's type table gives the source
// column's shape, NOT NULL where the source's is, and the source's primary key. A column the
// shape does not describe, or whose type the target cannot keep, gets the plain copy's type.
// The recordset's fields decide the columns; the shape is matched to them by name.
TablePlan faithfulPlan(const Dialect& target, const TableShape& shape, const Recordset& rows);

// How the faithful copy reads the source's columns before its rows are open: by the shape.
QList<ColumnKind> faithfulReadKinds(const Dialect& target, const TableShape& shape);

// The columns that got the plain copy's type, each "NAME (source type as target type)", and
// the generated columns, whose values arrive without what computed them.
QStringList fellBackColumns(const TablePlan& plan, const TableShape& shape, const Recordset& rows);

}  // namespace tw
