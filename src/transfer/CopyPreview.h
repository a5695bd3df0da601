#pragma once

#include <QString>
#include <QStringList>

#include "db/Dialect.h"
#include "db/TableShape.h"
#include "transfer/WriteMode.h"

namespace tw {

class Connection;

// What a copy would do with one table, found without changing anything on either side.
struct TablePreview {
    QString table;
    qint64 rows = -1;  // the source rows the copy would read
    QString action;    // "create", "replace", "replace in place", "append", "truncate", "keep", "ask"
    QString why;
    QStringList columns;     // the target table's columns with their types
    QStringList statements;  // what would be sent, the rows' INSERTs as one line
    QString error;           // the source table could not be read, or its rows have no place
};

// How the copy treats the table the target has, as its options say.
struct PreviewChoices {
    bool targetHasTable = false;
    enum class Overwrite { Ask, Yes, No } overwrite = Overwrite::Ask;
    bool inPlace = false;
    WriteMode mode = WriteMode::Replace;
    TableShape existing;  // the target's table, as its database describes it, for append and truncate
    bool faithful = false;
    QString rowCondition;
    QString sourceSchema;    // where the source table is, where the copy names it
    QString targetSchema;    // where the target's tables are, where the copy names it
    QString newName;         // the name the table takes in the target; empty: the source's
    QString existingName;    // the target's table as its list writes it; empty: the new name
    int tableNameLimit = 0;  // the target's longest table name in bytes; 0: none
    int batchRows = 1;       // rows to a batch, as the copy sends them
};

// Reads the source table's columns and counts its rows (through the source connection, which
// it leaves as it was) and composes the statements the copy would send: its CREATE TABLE in
// `created`'s types, its renames as the target's product writes them.
TablePreview previewCopy(Connection& source, const Dialect& created, const Dialect& target,
                         const QString& table, const PreviewChoices& choices);

}  // namespace tw
