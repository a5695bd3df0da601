#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "transfer/CopyStatements.h"

namespace tw {

// The statement a table's copy is composing, or composed last, which its failures quote: a
// CREATE TABLE, a row's INSERT, or a statement sent as it is (a SELECT, a swap's step, a
// batch's row going again on its own).
struct ComposedStatement {
    std::optional<CreateTableStatement> create;
    std::optional<InsertStatement> insert;
    QByteArray replaying;
    bool refusingRow = false;  // a row refused for a value it holds, before its statement

    // The statement as far as it got; it stays from one table to the next until forgotten.
    QString text() const {
        if (refusingRow) return QString();  // the row's statement was never composed
        if (!replaying.isEmpty()) return QString::fromUtf8(replaying);
        if (insert) return QString::fromUtf8(insert->textSoFar());
        if (create) return create->textSoFar();
        return QString();
    }
    // A new table's failures quote none of the statements of the table before it.
    void forget() {
        create.reset();
        insert.reset();
        replaying.clear();
    }
};

}  // namespace tw
