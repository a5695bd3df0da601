#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "db/ConnectionValues.h"
#include "db/Dialect.h"
#include "shell/TableVerification.h"
#include "transfer/TransferProfile.h"
#include "transfer/WriteMode.h"

namespace tw {

class ConnectionFactory;
class FrontEnd;
class Recordset;
class TableList;

// Sees what a copy reads, as it reads it: a verification digests the rows on the way and
// reads the table back once it is copied.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;
    // The table was created in the target, its columns holding values of these kinds.
    virtual void tableCreated(const QString& table, const QList<ColumnKind>& kinds) = 0;
    // The copy writes the table's empty values as themselves where a column holds them, or as
    // NULL (kept false). Told before the first row.
    virtual void emptyValuesKept(bool /*kept*/) {}
    // The source positioned on a row whose statement has just been composed.
    virtual void rowRead(const Recordset& row) = 0;
    // Every row the copy wrote is committed; what the observer found goes with the table's
    // outcome to the front end.
    // progress: told the rows read back so far and the rows the copy read, as they are read.
    virtual std::optional<Verification> tableCopied(
        const QString& /*sourceTable*/, const QString& /*targetTable*/,
        const std::function<void(qint64 rowsRead, qint64 rowsTotal)>& /*progress*/ = {}) {
        return std::nullopt;
    }
    // The rows go into a table the target had: into these of its columns, in the order of the
    // source's, and, appending, in addition to the rows it holds now. Called after tableCreated.
    virtual void rowsGoIntoExisting(const QString& /*table*/, const QStringList& /*columns*/,
                                    bool /*appending*/) {}
    // An append's rows are all in this staging table (in these columns), about to go into the
    // table; then the load added this many of them (-1: the database did not say).
    virtual void rowsStaged(const QString& /*stagingTable*/, const QStringList& /*columns*/) {}
    virtual void rowsAdded(qint64 /*rows*/) {}
    // An observer like this one for another job of a parallel copy, which sees that job's
    // tables only.
    virtual std::unique_ptr<CopyObserver> forAnotherJob() const = 0;
};

// The memory a batch may take on its way to the database: a batch is written as soon as its
// rows would take more, and a row larger than this goes in a batch of its own.
inline constexpr qint64 kBatchBytes = 16 * 1024 * 1024;

// What one transfer is asked to do and works with: the front end that answers and is told, the
// connections, the connection values as they are now, the two table lists, and how to copy.
struct TransferRequest {
    FrontEnd& frontEnd;
    ConnectionFactory& connections;
    ConnectionValues values;
    // The two table lists: the copy reads them as it begins (the windows keep them still while it
    // runs) and works from the names; the tables it drops and makes go on to the target list.
    TableList& sourceList;
    TableList& targetList;
    CopyObserver* observer = nullptr;
    // Rows to a batch: 1 sends each row as its own literal INSERT; more binds that many rows to
    // one prepared INSERT and commits them together, where the target connection can.
    int batchRows = 1;
    qint64 batchBytes = kBatchBytes;
    // Makes each table with its source's column types, NOT NULL and primary key, and writes
    // each value in its type; otherwise tables get the plain copy's three kinds of column.
    bool faithful = false;
    // Replaces a table by dropping it first and filling the new one in its place, for a target
    // without room for both; otherwise the new rows fill a staging table that takes the old
    // one's place only once every row is there.
    bool replaceInPlace = false;
    WriteMode mode = WriteMode::Replace;
    // Loads rows into a table the target has even where its storage engine cannot undo a load
    // that fails part way; otherwise such a table is refused before anything changes.
    bool allowPartialLoad = false;
    // A source table's name in the target, where it is not the source's own.
    QMap<QString, QString> newNames = QMap<QString, QString>();
    QString newNameOf(const QString& sourceName) const { return newNames.value(sourceName, sourceName); }
    // Only the source rows that meet this condition are copied; it is sent to the source as
    // written. Empty: every row.
    QString rowCondition = QString();
    // The schema (or owner) the source tables are read from and the one the target tables are
    // written to; empty: where each session finds its tables.
    QString sourceSchema = QString();
    QString targetSchema = QString();
    // Tables copied at the same time, each on connections of its own. With more than one, every
    // question is asked before the first table is copied, and the front end is called from
    // several threads, one call at a time.
    int jobs = 1;
    // The selected tables in the list's order, from the top; the windows go from the bottom up.
    bool fromTheTop = false;
};

// Copies every selected table of the source list, from the bottom of the list up (or from the
// top, where asked), into the
// target database: asks before replacing a listed table, recreates the table from the source
// fields, sends its rows while progress is reported (one INSERT per row, or batches of them
// when the request asks for batches), and lists the new table. A failing step is reported and the
// copy goes on; a failing row costs only that row. Rows go only into a table this transfer has
// just created: rows for a table the target has fill a staging table of the target's column
// types first, and go in with one INSERT … SELECT (after a DELETE, for a truncate) in one
// transaction once every row is there. A replaced table gives way only once its replacement holds every row
// (or, in place, once the replacement's rows can be read and its names fit the target); a target connection
// that is lost, a full target database, or any failure nobody foresaw (memory running out, say), ends the
// table's rows with one report, and the next table is copied. Nothing is thrown. Ended early by the user, the
// transfer finishes the table it is in as far as it got, as it would after its last table. With several jobs,
// each takes the next table of the list as it comes free, and a table that fails gives its job new
// connections for the next.
void TransferTables(const TransferProfile& profile, const TransferRequest& request);

}  // namespace tw
