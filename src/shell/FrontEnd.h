#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "shell/TableVerification.h"

namespace tw {

// A numbered statement that failed, as the procedure running it hands it on.
struct Failure {
    QString procedure;                 // window and handler, e.g. "Form2.PushButton3_Click"
    int line = 0;                      // the number of the statement that failed
    QString description;               // what the failing component said, the driver's message for a database
    QString sqlState;                  // the database's SQLSTATE; empty for other failures
    int nativeError = 0;               // the database's own error code
    std::optional<QString> statement;  // the statement the procedure quotes, when it quotes one
    QString composing;                 // the statement being composed or sent, quoted or not
    QString table;                     // the table being worked on, if any
    qint64 row = 0;                    // the row of that table being copied, from 1; 0 for none
    bool stopOffered = false;          // the user may end the whole run here
    // Where the statement or the description shown name the user's table in place of one the
    // user never sees (a staging table): the statement as the database got it, and its words.
    QString sent;
    QString said;
};

enum class AfterFailure { Resume, Stop };

// Where the procedures' failures go; the procedure resumes after each, or stops when asked to
// and it offered that.
class FailureReport {
public:
    virtual ~FailureReport() = default;
    virtual AfterFailure failed(const Failure& failure) = 0;
};

// A command that needs a selection the user has not made: which one it was.
enum class MissingSelection {
    Table,                 // delete, and the copy into Oracle
    TableToSend,           // the copy into SQL Anywhere
    TableToRename,         // rename without a current table
    JustOneTableToRename,  // rename with none or several selected
};

// What a copy did with one table.
struct TableOutcome {
    QString table;
    // The table was made anew in the target; or, for rows that go into the table the target
    // has (intoExisting), the rows are in it.
    bool created = false;
    bool intoExisting = false;
    bool stopped = false;  // the run was asked to end before the table's last row
    // Not every row of the source was read and written or refused for itself: a connection
    // was lost, a row could not be read, or the run was stopped.
    bool incomplete = false;
    qint64 rowsRead = 0;
    qint64 rowsWritten = 0;
    qint64 rowsFailed = 0;
    // Rows written into the staging table that the load did not add to the table (a trigger
    // of the table dropped them, say; fewer than 0 where it added more). rowsWritten counts
    // what the load added, and rowsFailed those it did not.
    qint64 rowsNotLoaded = 0;
    // The source's empty texts and empty binary values (not Null) in the rows written, each
    // written as NULL; and the target's product where it keeps no empty value anyway ("Oracle"),
    // which is then the reason.
    qint64 emptyTextsAsNull = 0;
    qint64 emptyBytesAsNull = 0;
    QString targetWithoutEmptyText;
    double seconds = 0;                        // the copy's, without the verification
    std::optional<Verification> verification;  // where the copy was asked to verify the table
    // A faithful copy's columns whose type the target could not keep, each "NAME (source type
    // as target type)": they got the plain copy's type.
    QStringList fellBack;
    // A replace that did not get every row: the old table stands as it was, and the new rows
    // are gone with the staging table.
    bool oldTableKept = false;
    // Of those, one whose every row was written, kept because the database refused to put the
    // new table in the old one's place (a view or a key that depends on it, say).
    bool swapRefused = false;
    // Rows for the target's own table whose load failed where its storage engine cannot undo
    // it: what the table may hold now ("its storage engine, MyISAM, cannot undo …").
    QString partLeft;
    // The rows that reached the target stay in a table of the copy's own that could not be
    // dropped (the connection was lost), hidden from the lists, until the next copy of the
    // table takes it away.
    bool leftoverKept = false;
    // Another copy into the same table ran while this one did; whichever swapped in last is
    // the table now. Names that copy's staging table.
    QString metOtherCopy;
};

// Everything a transfer, delete or rename asks of the user and tells them. The windows answer
// with boxes and show it on the window; another front end may answer and report otherwise.
class FrontEnd : public FailureReport {
public:
    // Whether the table the target list shows may be dropped and made anew.
    virtual bool mayReplace(const QString& table) = 0;
    // The new name for a table; empty leaves the name as it is.
    virtual QString newNameFor(const QString& oldName) = 0;
    virtual void nothingSelected(MissingSelection which) = 0;
    // Before each row: rows done including this one, of the rows counted (0 when unknown).
    virtual void progress(const QString& table, qint64 rowsDone, qint64 rowsTotal) = 0;
    virtual void tableFinished(const TableOutcome& outcome) = 0;
    // While a copied table is read back to verify it: the rows read so far, of the rows the
    // copy read.
    virtual void verifying(const QString& /*table*/, qint64 /*rowsRead*/, qint64 /*rowsTotal*/) {}
    // The run was asked to end before this selected table was begun.
    virtual void tableNotBegun(const QString& /*table*/) {}
    // A delete or a rename the database did.
    virtual void tableDropped(const QString& /*table*/) {}
    // What a copy that ended before it finished had left for the table, taken away before the
    // table was copied again: "NAME (made by process PID at WHEN)".
    virtual void leftoverRemoved(const QString& /*table*/, const QString& /*leftover*/) {}
    virtual void tableRenamed(const QString& /*oldName*/, const QString& /*newName*/) {}
    // The transfer log cannot be written, and why; said once a run. The work goes on without it.
    virtual void logNotWritten(const QString& /*path*/, const QString& /*reason*/) {}

    // What a window does while it works; a front end without a window needs none of them.
    virtual void busy(bool /*busy*/) {}
    virtual void progressAtRest() {}
    virtual void letEventsThrough() {}
    // Asked between rows: the user wants the run to end after this row.
    virtual bool stopRequested() { return false; }
    // letEventsThrough and stopRequested may be called by several jobs at once, with no lock:
    // they are asked a few times a row, and a lock there costs jobs that copy at once.
    virtual bool asksBetweenRowsFromAnyThread() const { return false; }
};

}  // namespace tw
