#pragma once

#include <QList>
#include <QString>

#include "shell/FrontEnd.h"
#include "shell/TableVerdict.h"

namespace tw {

// What one transfer of the send buttons did, table by table, for the box at its end.
struct TransferSummary {
    struct Table {
        QString name;
        QString result;  // "copied", "not replaced: ...", ...
        qint64 rowsRead = 0;
        qint64 rowsWritten = 0;
        qint64 rowsFailed = 0;
        double seconds = 0;
        bool isCopied = false;  // read and written whole, nothing refused or kept
        bool copied() const { return isCopied; }
    };
    // A row whose failure was not boxed because the user asked for no more boxes for its table.
    struct UnboxedRow {
        QString table;
        qint64 row = 0;
        QString message;       // the database's
        QString line() const;  // "EMP, row 5: message"
    };

    QList<Table> tables;
    QList<UnboxedRow> unboxedRows;

    bool isEmpty() const { return tables.isEmpty() && unboxedRows.isEmpty(); }
    void clear() { *this = TransferSummary(); }

    void add(const TableOutcome& outcome);
    void addDeclined(const QString& table);  // the overwrite question was answered No
    void addNotBegun(const QString& table);  // the transfer was stopped before it

    // The box's heading: "3 of 4 tables copied".
    QString heading() const;
    // The whole summary as text, one table a line, then the unboxed rows.
    QString text() const;
};

// "0.4 s", "12 s", "2 min 05 s", "1 h 02 min": a time span as the windows show it.
QString shownDuration(double seconds);

}  // namespace tw
