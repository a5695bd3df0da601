#pragma once

#include <QList>
#include <QString>
#include <memory>

#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/TableShape.h"
#include "shell/Variant.h"

namespace tw {

// How a table's rows are read so that every value comes as its database holds it, not as the
// driver's conversion would make it: the columns the dialect renders are read through its
// expressions, under their own names; the others, and every column of a table whose dialect
// renders none, as SELECT * gives them.
struct RenderedRead {
    QString table;
    QString schema;           // the table's, where it is not where the session finds it
    QString statement;        // what is sent, and what a failure to open it quotes
    QList<bool> rendered;     // per column of the shape
    QList<Field> fields;      // the names and field types SELECT * gives, where the shape knows them
    QList<ColumnKind> kinds;  // how each column is read: a rendered one as text

    bool rendersAny() const { return rendered.contains(true); }
};

// kinds: how the caller wants the columns read (none: as the driver describes them);
// condition: what the rows read must meet, sent as written (none: every row); columns: only
// these, in this order (none: every column); kinds then go with them; schema: the table's.
RenderedRead renderedRead(const Dialect& dialect, const QString& table, const TableShape& shape,
                          const QList<ColumnKind>& kinds = {}, const QString& condition = {},
                          const QStringList& columns = {}, const QString& schema = {});

// The rows. A rendered column keeps the field type SELECT * gives it, and a marked value comes
// as what it is: bytes, or text with every character.
std::unique_ptr<Recordset> openRendered(Connection& connection, const RenderedRead& read);

// A value as a rendered column gave it, its mark read (kept as it is where it has none).
Variant unmarked(const Variant& value);

}  // namespace tw
