#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "db/Dialect.h"
#include "transfer/CopyStatements.h"

namespace tw {

// The statement a table's copy is composing, or composed last, which its failures quote: a
// CREATE TABLE, a row's INSERT, or a statement sent as it is (a SELECT, a swap's step, a
// batch's row going again on its own).
//
// The rows of a table fill a staging table, which the user never sees and which is gone by the
// time they read a report: what is shown names the user's table instead (text(), shownText()),
// and the statement as the database got it (sentText()) goes to the transfer log.
struct ComposedStatement {
    std::optional<CreateTableStatement> create;
    std::optional<InsertStatement> insert;
    QByteArray replaying;
    QString replayingShown;    // what the user is shown for it where that is another statement
    bool refusingRow = false;  // a row refused for a value it holds, before its statement

    // The statement as far as it got, as the user is shown it; it stays from one table to the
    // next until forgotten.
    QString text() const {
        if (!replaying.isEmpty() && !replayingShown.isEmpty() && !refusingRow) return replayingShown;
        return shownText(sentText());
    }
    // The same as the database got it.
    QString sentText() const {
        if (refusingRow) return QString();  // the row's statement was never composed
        if (!replaying.isEmpty()) return QString::fromUtf8(replaying);
        if (insert) return QString::fromUtf8(insert->textSoFar());
        if (create) return create->textSoFar();
        return QString();
    }

    // The staging table the statements name, and the user's table shown in its place.
    void showTableAs(const Dialect& dialect, const QString& staging, const QString& table) {
        m_staging = staging;
        m_table = table;
        m_stagingQuoted = dialect.quotedName(staging);
        m_tableQuoted = dialect.quotedName(table);
    }
    // Any text (a statement, or a database's message about one) with the user's table in place
    // of the staging table.
    QString shownText(QString text) const {
        if (m_staging.isEmpty()) return text;
        return text.replace(m_stagingQuoted, m_tableQuoted).replace(m_staging, m_table);
    }

    // A new table's failures quote none of the statements of the table before it.
    void forget() {
        create.reset();
        insert.reset();
        replaying.clear();
        replayingShown.clear();
        m_staging.clear();
    }

private:
    QString m_staging, m_table, m_stagingQuoted, m_tableQuoted;
};

}  // namespace tw
