#include "transfer/StagedTable.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "db/SqlComposer.h"
#include "db/Transaction.h"
#include "transfer/CopyStatements.h"
#include "transfer/RowCount.h"
#include "transfer/TableInCatalogue.h"
#include "transfer/TargetTableChecks.h"

namespace tw {

// The old table goes and the staging table takes its name. Where the database can, as one
// transaction: DROP TABLE and the rename, undone together. Elsewhere in steps that never
// leave the name without a whole table for longer than a rename: the old table is renamed
// aside, the staging table renamed in (both in one statement where the product renames
// several tables at once), and only then is the old one dropped; a refused rename puts the
// old one back. Every step is the drop's to the user, and a refused one
// quotes its own statement. True once swapped.
bool StagedTable::swapIn(QString& tableName, const QString& newName) {
    StagingTables::Found found;
    m_staging.lookAgain(m_target, newName, m_table.filled, m_context.tableNameLimit, found);
    if (!found.otherCopy.isEmpty()) m_table.outcome.metOtherCopy = found.otherCopy;
    const bool renamed =
        (m_table.copy.swap.oneTransaction ? swapInOneTransaction() : swapInSteps(tableName)) ||
        takeFreedName(tableName);
    // Every row is in the staging table: only the swap kept the old table in its place.
    m_table.outcome.swapRefused = !renamed && !m_table.stagingKept;
    const QString droppedName = tableName;
    if (renamed) m_proc.step(m_context.lines[CopyStep::TakeNewName], [&] { tableName = newName; });
    if (renamed) nameKeysAfterTable();
    if (renamed || m_table.stagingKept) {
        m_proc.step(m_context.lines[CopyStep::Unlist], [&] { m_context.unlist(droppedName); });
        m_staging.done(m_table.filled);
    }
    return renamed;
}

// Every row is in the staging table: the existing table gets them in one transaction,
// emptied first for a truncate, so that it never holds less than it did. Each statement is
// the drop's to the user and quotes itself; a refused one undoes the transaction. The
// staging table goes once its rows are in. True once the rows are in; the rows written are
// then those the load added, which a trigger of the table may have made fewer.
//
// The INSERT takes the rows from the staging table, which the user never sees; shown with the
// user's name in its place it would read as a table copied into itself, so the user is shown
// it without the name of the table the rows came from.
bool StagedTable::loadExisting(const QString& tableName) {
    const bool truncating = m_table.action == WriteAction::Truncate;
    // An append is verified by what it adds: the staged rows, read before they go in, and the
    // load's count; the table's other rows, another session's too, are not the copy's.
    if (m_context.observer && !truncating)
        m_context.observer->rowsStaged(m_table.filled, m_table.match.matched.columnNames());
    std::optional<Transaction> load;
    const auto begin = [&] { load.emplace(m_target); };
    const QString& insert = m_table.copy.load;
    const QString from = QStringLiteral(" FROM ") + SqlComposer(m_dialect).name(m_table.copy.filled);
    const QString shownInsert = insert.left(insert.lastIndexOf(from)) + QStringLiteral(" FROM \u2026");
    // A table that cannot undo a failed load is counted before and after, to say what it left.
    const bool undoable = m_table.engineWithoutUndo.isEmpty();
    const qint64 before = undoable ? -1 : truncating ? 0 : countedQuietly(tableName).value_or(-1);
    qint64 added = -1;
    const bool loaded = (!truncating || swapStep(m_table.copy.empty, CopyStep::Drop, begin)) &&
                        swapStep(
                            insert, CopyStep::Drop, truncating ? std::function<void()>() : begin,
                            [&] {
                                added = m_target.rowsChanged();
                                load->commit();
                            },
                            shownInsert);
    if (!loaded) {
        const std::optional<qint64> after = before >= 0 ? countedQuietly(tableName) : std::nullopt;
        if (after) m_table.rowsLeftByFailedLoad = *after - before;
        return false;
    }
    if (added >= 0 && added != m_table.outcome.rowsWritten) {
        m_table.outcome.rowsNotLoaded = m_table.outcome.rowsWritten - added;
        m_table.outcome.rowsWritten = added;
        m_table.outcome.rowsFailed += std::max<qint64>(m_table.outcome.rowsNotLoaded, 0);
    }
    if (m_context.observer && !truncating) m_context.observer->rowsAdded(added);
    dropStaging();
    return true;
}

// The rows the table holds; none where they cannot be counted (the connection lost, say).
std::optional<qint64> StagedTable::countedQuietly(const QString& tableName) noexcept {
    try {
        return countRows(m_target, m_dialect, {m_context.schema, tableName});
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// A new table's rows are all in its staging table, which takes the table's name; a refused
// rename is the CREATE TABLE's failure to the user, and quotes that statement.
bool StagedTable::nameNewTable() {
    const bool named =
        swapStep(m_table.copy.swap.renameIn, CopyStep::Create, {}, {},
                 m_composed.create ? m_composed.shownText(m_composed.create->textSoFar()) : QString());
    if (named) {
        m_staging.done(m_table.filled);
        nameKeysAfterTable();
    }
    return named;
}

// Keys named after the staging table they were made on take the table's name; where the
// database refuses, they keep theirs, which harms nothing.
void StagedTable::nameKeysAfterTable() noexcept {
    try {
        if (!m_table.copy.keysNamed.isEmpty()) m_target.execute(m_table.copy.keysNamed);
    } catch (const std::exception&) {
    }
}

// A replace that did not get all its rows leaves the old table as it was: the staging table
// goes where the connection still allows it. True when the old table stands.
bool StagedTable::keepOldTable() {
    if (m_table.stagingKept) return false;
    dropStaging();
    return true;
}

// The staging table goes, without a word where it cannot (lost with the connection): a later
// copy of the table takes it away.
void StagedTable::dropStaging() noexcept {
    try {
        m_target.execute(m_table.copy.dropStaging);
        m_staging.done(m_table.filled);
    } catch (const std::exception&) {
        m_staging.abandoned(m_table.filled);
        m_table.outcome.leftoverKept = true;
    }
}

bool StagedTable::swapInOneTransaction() {
    std::optional<Transaction> swap;  // undone unless both statements went through
    const bool dropped = swapStep(m_table.copy.swap.dropOld, CopyStep::Drop, [&] { swap.emplace(m_target); });
    return dropped &&
           swapStep(
               m_table.copy.swap.renameIn, CopyStep::Drop, {}, [&] { swap->commit(); }, userDrop());
}

bool StagedTable::swapInSteps(const QString& tableName) {
    if (!renameLeavesKeys(tableName)) return false;
    const SwapPlan& swap = m_table.copy.swap;
    // Where both renames go as one statement, a refused one changed nothing.
    if (!swap.renameBoth.isEmpty()) {
        if (!swapStep(swap.renameBoth, CopyStep::Drop, {}, {}, userDrop())) return false;
    } else if (!swapStep(swap.renameAside, CopyStep::Drop, {}, {}, userDrop())) {
        return false;
    } else if (!swapStep(swap.renameIn, CopyStep::Drop, {}, {}, userDrop())) {
        // The old table back under its name; where even that is refused, both tables stay,
        // named in the reports, and neither is dropped.
        m_table.stagingKept = !swapStep(swap.putBack);
        return false;
    }
    // The new table has the name: an old table that stays aside is named in the report.
    swapStep(swap.dropAside);
    return true;
}

// A rename takes the foreign keys of other tables that reference the old table along with it:
// renamed aside, the old table would keep them and refuse its DROP, and the new table would be
// referenced by none. Such a table is not replaced, as where the product's DROP TABLE refuses it,
// before anything changes; the box quotes the drop of the user's table.
bool StagedTable::renameLeavesKeys(const QString& tableName) {
    const QStringList referencing = tablesReferencing(m_target, m_dialect, {m_context.schema, tableName});
    if (referencing.isEmpty()) return true;
    m_composed.replaying = userDrop().toUtf8();
    m_proc.step(m_context.lines[CopyStep::Drop], [&] {
        throw std::runtime_error(QStringLiteral("Table %1 was not replaced: the foreign keys of other tables "
                                                "reference it: %2. Nothing was changed.")
                                     .arg(tableName, referencing.join(QStringLiteral(", ")))
                                     .toStdString());
    });
    m_composed.replaying.clear();
    return false;
}

// One statement of the swap, at the drop's line unless told, quoting itself when refused, or
// the statement shown to the user in its place; what begins and ends a transaction around it is
// part of its step.
bool StagedTable::swapStep(const QString& statement, CopyStep step, const std::function<void()>& before,
                           const std::function<void()>& after, const QString& shown) {
    m_composed.replaying = statement.toUtf8();
    m_composed.replayingShown = shown;
    const bool done = m_proc.step(m_context.lines[step], [&] {
        if (before) before();
        m_target.execute(statement);
        if (after) after();
    });
    m_composed.replaying.clear();
    m_composed.replayingShown.clear();
    return done;
}

// A step of the swap that names the staging table is the drop of the user's table to the user:
// the step they know, of the table they know. A step whose failure leaves a table under another
// name (the old one aside) quotes itself, naming it.
QString StagedTable::userDrop() const { return SqlComposer(m_dialect).drop(m_table.copy.existing); }

// The swap failed at its first step because the target no longer has the old table (another
// session dropped it since the list was read): there is nothing to keep, and the staging table
// takes the name. Asked of the target's catalogue, never read from the failure's words; where
// the catalogue cannot say, or has a table of that name in any case, the old table is kept.
bool StagedTable::takeFreedName(const QString& tableName) {
    if (m_table.stagingKept || !targetLacksTable(m_target, {m_context.schema, tableName})) return false;
    return swapStep(m_table.copy.swap.renameIn, CopyStep::Drop, {}, {}, userDrop());
}

}  // namespace tw
