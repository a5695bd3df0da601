#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "db/TableShape.h"

namespace tw {

// How the source's columns meet the columns of a table the target has already, for rows
// added to it: each source column finds the target's column of the same name, exactly or else
// in another case where only one column has it, whatever the order.
struct ColumnMatch {
    // The target's columns in the source's order, each under the source's name, with the
    // target's type, NOT NULL and default; the target's primary key where all of it is matched.
    TableShape matched;
    QStringList targetNames;  // the matched target columns' own names, in the source's order
    QStringList unmatched;    // source columns the target has no column for
    QStringList ambiguous;    // source columns two or more target columns could be, in case only
    QStringList unfilled;     // target columns that must hold a value, have no default, get none

    // Why no row can go into the table; empty where every row can.
    QString refusal(const QString& table) const;
};

ColumnMatch matchColumns(const QStringList& sourceColumns, const TableShape& target);

}  // namespace tw
