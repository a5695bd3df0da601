#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "db/TableRef.h"
#include "transfer/ColumnMatch.h"
#include "transfer/TablePlan.h"

namespace tw {

class Dialect;

// What a copy does with the table the target has: a new table is created; a replaced one
// gives way to a staging table once it holds every row, or, in place, is dropped first; one
// appended to or truncated gets the staging table's rows, after its own are deleted for a
// truncate, in one transaction.
enum class WriteAction { Create, Replace, ReplaceInPlace, Append, Truncate };

// The statements that put a filled staging table in its place. Where the product changes
// tables in transactions, the old table's DROP and the rename go in one; elsewhere the old
// table is renamed aside, the new one renamed in (in one statement where the product renames
// several tables at once), and only then is the old one dropped.
struct SwapPlan {
    bool oneTransaction = false;
    QString dropOld;      // in one transaction, before the rename in
    QString renameBoth;   // in steps, where one statement renames both tables
    QString renameAside;  // in steps, one rename at a time
    QString renameIn;     // the filled table takes the name; a new table's only step
    QString putBack;      // the old table back under its name, where the rename in was refused
    QString dropAside;
};

// One table's copy, decided before anything on the target changes: its action, its names, and
// the statements of each of its phases, as the copy sends them and the dry run prints them.
struct TableCopyPlan {
    WriteAction action = WriteAction::Create;
    TableRef table;     // the name the table has once copied
    TableRef existing;  // the target's own table: replaced, appended to or truncated
    TableRef filled;    // what the rows go into: a staging table, or the table itself in place
    TableRef aside;     // where the old table waits during a swap in steps
    QString dropFirst;  // a replace in place drops the old table before anything else
    QString create;
    QString fill;  // the rows' statement as the dry run shows it: INSERT … VALUES(…), or COPY
    SwapPlan swap;
    QString keysNamed;  // after the rename: keys named after the staging table take the table's
    QString empty;      // a truncate's DELETE, in the load's transaction
    QString load;       // the staged rows into the existing table
    QString dropStaging;

    bool staged() const { return action != WriteAction::ReplaceInPlace; }
    bool intoExisting() const { return action == WriteAction::Append || action == WriteAction::Truncate; }
    // Every statement, in the order a copy that meets no failure sends them; the fill stands
    // for all the rows' statements.
    QStringList statements() const;
};

// What a table's plan is made from: what the user asked, the names, and the columns the source
// gives (and, for an existing table, how they meet its columns).
struct TableCopyInput {
    WriteAction action = WriteAction::Create;
    const Dialect* created = nullptr;  // the CREATE TABLE's types
    const Dialect* target = nullptr;   // the product the target connection speaks
    QString schema;                    // the target's, where the copy names one
    QString existingName;              // the target's table, as its list writes it
    QString newName;                   // the name the table takes
    QString stagingName;               // the staging table, for every action but in place
    QString asideName;                 // where a swap in steps sets the old table aside
    QStringList columnNames;           // the source's, in its order
    TablePlan columns;                 // their types in the target
    bool typed = false;                // each column its planned type; else the plain copy's kinds
    QList<std::int16_t> adoTypes;      // the plain copy's: each column's ADO type
    ColumnMatch match;                 // for an existing table
    bool inBatches = false;            // rows go in batches, by the product's bulk path if it has one
};

// The plan of one table's copy; nothing is asked of either database.
TableCopyPlan planTableCopy(const TableCopyInput& input);

}  // namespace tw
