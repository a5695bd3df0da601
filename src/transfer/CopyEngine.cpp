#include "transfer/CopyEngine.h"

#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "db/DbError.h"
#include "db/RenderedRead.h"
#include "db/RequiredConnection.h"
#include "db/SqlText.h"
#include "db/StagingName.h"
#include "shell/FrontEnd.h"
#include "shell/Procedure.h"
#include "transfer/ColumnMatch.h"
#include "transfer/JobFrontEnd.h"
#include "transfer/RowFill.h"
#include "transfer/StagedTable.h"
#include "transfer/StagingTables.h"
#include "transfer/TableCopyPlan.h"
#include "transfer/TableInCatalogue.h"
#include "transfer/TableInProgress.h"
#include "transfer/TablePlan.h"
#include "transfer/TableQueue.h"
#include "transfer/TablesToCopy.h"
#include "transfer/TargetTableChecks.h"

namespace tw {

namespace {

class Transfer {
public:
    // front: where this run's questions, progress and failures go; sources: the source list's
    // items; targets: the target's tables, which several jobs share.
    Transfer(const TransferProfile& profile, const TransferRequest& request, FrontEnd& front,
             CopyObserver* observer, const SourceTables& sources, TargetTables& targets)
        : m_profile(profile),
          m_request(request),
          m_front(front),
          m_observer(observer),
          m_sources(sources),
          m_targets(targets),
          m_proc(front, profile.procedure),
          m_staging(
              StagingRecords::databaseOf(profile.destination->target(request.values), request.targetSchema),
              request.targetSchema) {
        m_proc.showStatement([this] { return m_composed.text(); }, profile.failuresQuoteStatement);
        m_proc.showSentAs([this] { return m_composed.sentText(); },
                          [this](const QString& text) { return m_composed.shownText(text); });
        m_proc.offerStop();
    }

    void run() {
        try {
            runSteps();
        } catch (const std::exception& failure) {
            m_proc.failedAfterLastStep(failure);
        }
    }

    // The selected tables in the copy's order, each asked about as the copy would ask, before
    // any is copied; kept tables are left out. Nothing when no table is current.
    std::vector<TableToCopy> askFirst() {
        std::vector<TableToCopy> tables;
        try {
            if (m_proc.test(line(CopyStep::SelectionCurrent), [&] { return m_sources.noneCurrent; })) {
                m_proc.step(m_profile.nothingCurrentLine,
                            [&] { m_front.nothingSelected(m_profile.nothingCurrent); });
                return tables;
            }
            findSameTables();
            const int stoppedAt = forEachSelected([&](int index) {
                TableToCopy table = nameTable(index);
                if (refusedAsSameTable(table.sourceName)) return;
                table.consent = askToReplace(table.tableName);
                if (table.consent != Consent::Keep) tables.push_back(table);
            });
            m_proc.setTable(QString());
            notBegunFrom(stoppedAt);
        } catch (const std::exception& failure) {
            m_proc.failedAfterLastStep(failure);
        }
        return tables;
    }

    // One of several jobs: its own connections, the tables the queue gives it, asked about
    // already. A table that failed on its way leaves connections that may be gone: the next
    // table gets new ones, so that a lost connection costs only its table.
    void runJob(TableQueue& queue, const std::function<int()>& failuresSoFar) {
        try {
            makeAndOpenConnections();
            for (std::optional<TableToCopy> table; !stopping() && (table = queue.take(targetDialect()));) {
                const int failuresBefore = failuresSoFar();
                m_proc.setTable(table->sourceName);
                if (!table->sameTableAs.isEmpty()) {
                    refuseSameTable(table->sourceName, table->sameTableAs);
                    continue;
                }
                copyTableAs(table->tableName, table->sourceName, table->consent);
                if (failuresSoFar() != failuresBefore && !stopping()) {
                    closeQuietly();
                    makeAndOpenConnections();
                }
            }
            m_proc.setTable(QString());
            endSteps();
        } catch (const std::exception& failure) {
            m_proc.failedAfterLastStep(failure);
        }
    }

private:
    void runSteps() {
        makeConnections();
        if (m_proc.test(line(CopyStep::SelectionCurrent), [&] { return m_sources.noneCurrent; })) {
            m_proc.step(m_profile.nothingCurrentLine,
                        [&] { m_front.nothingSelected(m_profile.nothingCurrent); });
            return;
        }
        m_proc.step(m_profile.busyLine, [&] { m_front.busy(true); });
        openConnections();
        findSameTables();
        const int stoppedAt = forEachSelected([&](int index) { copyTable(index); });
        m_proc.setTable(QString());
        notBegunFrom(stoppedAt);
        endSteps();
    }

    void makeConnections() {
        for (const NumberedStep& making : m_profile.making) {
            m_proc.step(making.line, [&] { connection(making.step) = m_request.connections.create(); });
        }
    }

    // The source reads through a client-side cursor, which knows its row count first, in a
    // session that only reads: nothing sent to it, a row condition neither, changes the source.
    void openConnections() {
        for (const NumberedStep& opening : m_profile.opening) {
            const bool source = opening.step == TransferStep::OpenSource;
            const std::unique_ptr<Connection>& opened = connection(opening.step);
            m_proc.step(opening.line, [&] {
                required(opened).setCursorLocation(source ? CursorLocation::Client : CursorLocation::Server);
            });
            m_proc.step(opening.line + 2, [&] {
                required(opened).open(
                    (source ? m_profile.source : m_profile.destination)->target(m_request.values));
                if (source) required(opened).makeReadOnly();
            });
        }
    }

    void makeAndOpenConnections() {
        makeConnections();
        openConnections();
    }

    // Connections that may be gone already go without a word.
    void closeQuietly() noexcept {
        for (std::unique_ptr<Connection>* connection : {&m_source, &m_target}) {
            try {
                if (*connection) (*connection)->close();
            } catch (const std::exception&) {
                // gone with its server
            }
            connection->reset();
        }
    }

    void endSteps() {
        for (const NumberedStep& ending : m_profile.ending) {
            m_proc.step(ending.line, [&] {
                if (ending.step == TransferStep::PointerBack) {
                    m_front.busy(false);
                } else {
                    required(connection(ending.step)).close();
                }
            });
        }
    }

    // The source list's items in the copy's order: from the bottom up, or from the top.
    int firstItem() const { return m_request.fromTheTop ? 0 : m_sources.count() - 1; }
    int nextItem(int index) const { return m_request.fromTheTop ? index + 1 : index - 1; }
    bool isItem(int index) const { return index >= 0 && index < m_sources.count(); }

    // Each selected item of the source list, in the copy's order, while the run goes on. The
    // item the run was stopped at, or one past the list once every item was seen.
    template <typename Visit>
    int forEachSelected(Visit&& visit) {
        int i = firstItem();
        for (; isItem(i) && !stopping(); i = nextItem(i)) {
            if (m_profile.eventsPerListItem)
                m_proc.step(line(CopyStep::ItemEvents), [&] { m_front.letEventsThrough(); });
            if (stopping()) break;
            if (!m_proc.test(line(CopyStep::ItemSelected), [&] { return m_sources.selected[i]; })) continue;
            visit(i);
        }
        return i;
    }

    // The selected tables from this item of the source list on, which a stopped run never began.
    void notBegunFrom(int index) {
        for (; isItem(index); index = nextItem(index)) {
            if (m_sources.selected[index]) m_front.tableNotBegun(m_sources.names[index]);
        }
    }

    int line(CopyStep step) const { return m_profile.lines[step]; }

    std::unique_ptr<Connection>& connection(TransferStep step) {
        switch (step) {
            case TransferStep::CreateSource:
            case TransferStep::OpenSource:
            case TransferStep::CloseSource:
                return m_source;
            default:
                return m_target;
        }
    }

    // Asked between tables and rows: the user ended the run from a failure's report, or asked
    // for the end some other way.
    bool stopping() const { return m_proc.stopRequested() || m_front.stopRequested(); }

    // Selected tables whose names the target database would take for one table (it does not
    // tell their cases apart, say): all but the first in the copy's order are refused before
    // anything is asked or created, so that no table of the run replaces another of the run.
    void findSameTables() {
        FirstNames seen;
        for (int i = firstItem(); isItem(i); i = nextItem(i)) {
            if (!m_sources.selected[i]) continue;
            const QString& name = m_sources.names[i];
            const QString earlier = seen.earlierThan(targetDialect(), m_request.newNameOf(name));
            if (!earlier.isEmpty()) m_sameTableAs[name] = earlier;
        }
    }

    // Reports a table refused by findSameTables; false for every other table.
    bool refusedAsSameTable(const QString& sourceName) {
        const auto refused = m_sameTableAs.find(sourceName);
        if (refused == m_sameTableAs.end()) return false;
        refuseSameTable(sourceName, refused->second);
        return true;
    }

    void refuseSameTable(const QString& sourceName, const QString& earlier) {
        forgetStatements();
        m_proc.failedAt(line(CopyStep::TargetListed),
                        std::runtime_error(QStringLiteral("Table %1 was not copied: the target database "
                                                          "takes its name and the name of table %2, "
                                                          "which this copy sends too, for one table.")
                                               .arg(sourceName, earlier)
                                               .toStdString()));
        TableOutcome outcome;
        outcome.table = sourceName;
        m_front.tableFinished(outcome);
    }

    // A new table's failures quote none of the statements of the table before it.
    void forgetStatements() { m_composed.forget(); }

    TableToCopy nameTable(int index) {
        TableToCopy table;
        m_proc.step(line(CopyStep::ItemName), [&] { table.tableName = m_sources.names[index]; });
        m_proc.step(line(CopyStep::SourceName), [&] { table.sourceName = table.tableName; });
        table.tableName = m_request.newNameOf(table.sourceName);
        m_proc.setTable(table.sourceName);
        return table;
    }

    void copyTable(int index) {
        TableToCopy table = nameTable(index);
        if (refusedAsSameTable(table.sourceName)) return;
        const Consent consent = askToReplace(table.tableName);
        if (consent == Consent::Keep) return;
        copyTableAs(table.tableName, table.sourceName, consent);
    }

    // One table's copy, in its phases: the source opened and the target table planned, the
    // table prepared, filled, and finished (the new table in its place, or the old one kept).
    void copyTableAs(QString tableName, const QString& sourceName, Consent consent) {
        QElapsedTimer clock;
        clock.start();
        m_table = TableInProgress();
        m_table.outcome.table = sourceName;
        const QString newName = m_request.newNameOf(sourceName);  // the name the table takes
        m_table.action = actionFor(consent);
        // The source is opened before anything on the target changes: a table whose rows cannot
        // be read (its server gone, or no longer there) leaves the old one standing and listed.
        std::unique_ptr<Recordset> rows;
        TableShape shape;
        forgetStatements();
        m_composed.replaying =
            SelectRowsSql(sourceDialect(), sourceName, m_request.rowCondition, m_request.sourceSchema)
                .toUtf8();
        m_proc.step(line(CopyStep::OpenRows), [&] { rows = openSource(sourceName, tableName, shape); });
        m_composed.replaying.clear();
        if (rows) {
            bool made = false;
            try {
                made = plan(tableName, newName, shape, *rows) && prepare(tableName, newName, *rows);
                if (made) fill(tableName, shape, *rows);
            } catch (const std::exception& failure) {
                endedUnforeseen(failure, sourceName);
            }
            finish(tableName, newName, made, *rows);
        }
        m_table.outcome.table = tableName;
        m_table.outcome.seconds = clock.nsecsElapsed() / 1e9;
        if (m_table.outcome.created && m_observer) {
            m_table.outcome.verification =
                m_observer->tableCopied(sourceName, tableName, [&](qint64 rowsRead, qint64 rowsTotal) {
                    m_front.verifying(tableName, rowsRead, rowsTotal);
                });
        }
        m_front.tableFinished(m_table.outcome);
    }

    // The write mode's action on a table, by the user's answer.
    WriteAction actionFor(Consent consent) const {
        if (consent == Consent::NotNeeded) return WriteAction::Append;
        if (consent != Consent::Replace) return WriteAction::Create;
        if (m_request.mode == WriteMode::Truncate) return WriteAction::Truncate;
        return m_request.replaceInPlace ? WriteAction::ReplaceInPlace : WriteAction::Replace;
    }

    // Whether the columns made get each its own type (and values are written in it): in a
    // faithful copy, and in a staging table of the existing table's types.
    bool typedPlan() const { return m_request.faithful || m_table.intoExisting(); }

    // The table the copy makes, and whether the target takes its names. Rows for an existing
    // table fill a table of its columns' types, under the source's names; a source column it
    // has no place for refuses the table before anything changes.
    bool plan(const QString& tableName, const QString& newName, const TableShape& shape,
              const Recordset& rows) {
        if (m_table.intoExisting()) {
            QStringList names;
            for (int field = 0; field < rows.fieldCount(); ++field) names << rows.field(field).name;
            m_table.match = matchColumns(names, m_table.existing);
            const QString refusal = m_table.match.refusal(tableName);
            if (!refusal.isEmpty()) {
                forgetStatements();
                m_proc.step(line(CopyStep::Create), [&] { throw std::runtime_error(refusal.toStdString()); });
                return false;
            }
            m_table.plan = faithfulPlan(createdDialect(), m_table.match.matched, rows);
            if (!loadMayGoIn(tableName)) return false;
        } else {
            m_table.plan = m_request.faithful ? faithfulPlan(createdDialect(), shape, rows)
                                              : plainPlan(createdDialect(), rows);
        }
        return namesFit(newName, rows);
    }

    // Rows for the target's own table that would reach other tables, or that a failure would
    // leave in part, are refused before anything changes.
    bool loadMayGoIn(const QString& tableName) {
        const bool truncating = m_table.action == WriteAction::Truncate;
        const LoadRisks risks =
            loadRisks(required(m_target), targetDialect(), {m_request.targetSchema, tableName}, truncating,
                      m_request.allowPartialLoad);
        m_table.engineWithoutUndo = risks.engineWithoutUndo;
        if (risks.refusal.isEmpty()) return true;
        forgetStatements();
        m_proc.step(line(CopyStep::Create), [&] { throw std::runtime_error(risks.refusal.toStdString()); });
        return false;
    }

    // Makes the table the rows go into. The rows fill a staging table, which takes the table's
    // name only once every row is there: a copy that ends early leaves no part of a table under
    // the user's name. A replace asked to drop the old table first fills the table itself.
    bool prepare(QString& tableName, const QString& newName, Recordset& rows) {
        bool nameFree = false;
        const QString staging = m_table.staged() ? stagingTableFor(newName, nameFree) : QString();
        m_table.copy = planTableCopy(copyInput(tableName, newName, staging, rows));
        if (m_table.action == WriteAction::ReplaceInPlace) dropOldTable(tableName, newName);
        m_table.filled = m_table.copy.filled.name;
        if (m_table.staged()) m_composed.showTableAs(targetDialect(), m_table.filled, newName);
        m_table.outcome.stopped = stopping();
        const bool created =
            !m_table.outcome.stopped &&
            createTable(m_table.filled, rows,
                        nameFree ? std::function<void()>([this] { m_staging.createSent(m_table.filled); })
                                 : std::function<void()>());
        if (created && m_table.staged()) m_staging.created(m_table.filled);
        return created;
    }

    // What the table's plan is made from: its names, and the columns as planned.
    TableCopyInput copyInput(const QString& tableName, const QString& newName, const QString& staging,
                             const Recordset& rows) const {
        TableCopyInput input;
        input.action = m_table.action;
        input.created = &createdDialect();
        input.target = &targetDialect();
        input.schema = m_request.targetSchema;
        input.existingName = tableName;
        input.newName = newName;
        input.stagingName = staging;
        input.asideName = StagingName::forTable(newName, tableNameLimit()).asideText();
        for (int field = 0; field < rows.fieldCount(); ++field) {
            input.columnNames << rows.field(field).name;
            input.adoTypes << static_cast<std::int16_t>(rows.field(field).type);
        }
        input.columns = m_table.plan;
        input.typed = typedPlan();
        input.match = m_table.match;
        input.inBatches = m_request.batchRows > 1;
        return input;
    }

    void fill(const QString& tableName, const TableShape& shape, Recordset& rows) {
        if (m_request.faithful && !m_table.intoExisting())
            m_table.outcome.fellBack = fellBackColumns(m_table.plan, shape, rows);
        if (m_observer) {
            m_observer->tableCreated(tableName, m_table.plan.kinds());
            if (m_table.intoExisting()) {
                m_observer->rowsGoIntoExisting(tableName, m_table.match.targetNames,
                                               m_table.action == WriteAction::Append);
            }
        }
        fillRows(fillContext(), m_table, tableName, rows);
    }

    // The filled table takes its name, or goes and leaves the old table as it was; the lists
    // and the window learn what became of it.
    void finish(QString& tableName, const QString& newName, bool made, Recordset& rows) {
        const bool staged = m_table.staged();
        const bool replacing = m_table.action != WriteAction::Create;
        m_table.outcome.incomplete = made && !m_table.complete;
        // A new table the user ended early is theirs as far as it got, as it always was; one
        // that a failure ended never takes the name.
        if (made && staged) {
            StagedTable filled(swapContext(), m_table);
            // A replace none of whose rows went in keeps the old table: an empty one in its place
            // would lose every row of it for none of the source's.
            const bool anyWritten = m_table.outcome.rowsWritten > 0 || m_table.outcome.rowsFailed == 0;
            m_table.outcome.created =
                m_table.intoExisting() ? m_table.complete && filled.loadExisting(tableName)
                : replacing            ? m_table.complete && anyWritten && filled.swapIn(tableName, newName)
                            : (m_table.complete || m_table.outcome.stopped) && filled.nameNewTable();
            if (!m_table.outcome.created) {
                const bool oldStands = filled.keepOldTable();
                if (replacing) m_table.outcome.oldTableKept = oldStands;
                // A load that began into a table that cannot undo it leaves what went in.
                if (m_table.intoExisting() && m_table.complete && !m_table.engineWithoutUndo.isEmpty()) {
                    m_table.outcome.oldTableKept = false;
                    m_table.outcome.partLeft =
                        partLoadLeft(m_table.engineWithoutUndo, m_table.action == WriteAction::Truncate,
                                     m_table.rowsLeftByFailedLoad);
                }
            }
            // A new table not made, or rows not loaded, went with the staging table: none of its
            // rows is in a table of the user's, and they count as failed. (A replace kept the old
            // table, and says how many rows its new one had.) A load that could not be undone
            // wrote what it left.
            if (!m_table.outcome.created && !m_table.stagingKept && (m_table.intoExisting() || !replacing)) {
                const qint64 left = m_table.intoExisting() ? m_table.rowsLeftByFailedLoad.value_or(0) : 0;
                m_table.outcome.rowsFailed += m_table.outcome.rowsWritten - left;
                m_table.outcome.rowsWritten = left;
            }
        } else {
            m_table.outcome.created = made;
        }
        m_table.outcome.intoExisting = m_table.intoExisting();
        // A staging table that was not made is not this copy's: its name may be another's. One
        // whose CREATE may have gone through keeps its record, for a later copy to take away.
        if (!made && staged && !m_table.filled.isEmpty()) {
            if (m_table.createOutcomeUnknown)
                m_staging.abandoned(m_table.filled);
            else
                m_staging.done(m_table.filled);
        }
        // A table this transfer did not create is neither filled nor listed.
        if (made) {
            m_proc.step(line(CopyStep::BusyOff), [&] { m_front.busy(false); });
            m_proc.step(line(CopyStep::ProgressAtRest), [&] { m_front.progressAtRest(); });
        }
        m_proc.step(line(CopyStep::CloseRows), [&] { rows.close(); });
        if (m_table.outcome.created && !m_table.intoExisting()) {
            m_proc.step(line(CopyStep::ListNew), [&] { m_targets.add(tableName); });
        }
    }

    // The source table's rows; for a faithful copy, its shape first, so that each column is
    // read as the type it will have in the target wants it.
    // Where the source's driver would change values on reading them, those columns are read as
    // the database itself writes them.
    // Rows for an existing table are read as its columns want them, once the target has
    // described it.
    std::unique_ptr<Recordset> openSource(const QString& sourceName, const QString& tableName,
                                          TableShape& shape) {
        Connection& source = required(m_source);
        const Dialect& dialect = sourceDialect();
        if (m_table.intoExisting())
            m_table.existing = required(m_target).tableShape(tableName, m_request.targetSchema);
        if (!typedPlan() && !dialect.rendersColumns())
            return source.openRecordset(
                SelectRowsSql(dialect, sourceName, m_request.rowCondition, m_request.sourceSchema));
        shape = source.tableShape(sourceName, m_request.sourceSchema);
        const RenderedRead read = renderedRead(dialect, sourceName, shape, readKinds(shape),
                                               m_request.rowCondition, {}, m_request.sourceSchema);
        m_composed.replaying = read.statement.toUtf8();
        return openRendered(source, read);
    }

    // How each source column is read: as the type its target column will have, where it has
    // one of its own; else as the driver describes it.
    QList<ColumnKind> readKinds(const TableShape& shape) const {
        if (m_table.intoExisting()) {
            const ColumnMatch match = matchColumns(shape.columnNames(), m_table.existing);
            // A table whose columns do not meet is refused once its rows are open.
            return match.refusal(QString()).isEmpty() ? faithfulReadKinds(createdDialect(), match.matched)
                                                      : QList<ColumnKind>();
        }
        return m_request.faithful ? faithfulReadKinds(createdDialect(), shape) : QList<ColumnKind>();
    }

    // The dialect of the table's CREATE TABLE: the plain copy's types are a configured target
    // side's own; a faithful copy's, an existing table's and any other database's are those of
    // the product the target connection speaks.
    const Dialect& createdDialect() const {
        return typedPlan() ? DialectFor(m_target.get(), m_profile.destination->dialect)
                           : m_profile.destination->ownDialect(m_target.get());
    }

    // A column of the planned table, with the type the plan gives it.
    void addPlannedColumn(CreateTableStatement& create, const QString& name, std::int16_t adoType,
                          int field) {
        if (!typedPlan()) return create.addColumn(name, adoType);
        const PlannedColumn& column = m_table.plan.columns[field];
        create.addColumn(name, column.type, column.notNull);
    }

    int tableNameLimit() const { return m_target ? m_target->nameLimits().table : 0; }

    // The name of the table a replace fills: this run's own, within the target's name limit.
    // What killed or failed copies left for the same table goes first; a staging table of a
    // copy still running, or a user's table named like one, is never touched.
    QString stagingTableFor(const QString& newName, bool& nameFree) {
        StagingTables::Found found;
        const QString name = m_staging.begin(required(m_target), newName, tableNameLimit(), found);
        nameFree = found.nameFree;
        for (const QString& leftover : found.leftovers) m_front.leftoverRemoved(newName, leftover);
        m_table.outcome.metOtherCopy = found.otherCopy;
        return name;
    }

    SwapContext swapContext() {
        return {m_proc,
                required(m_target),
                targetDialect(),
                m_request.targetSchema,
                m_staging,
                m_composed,
                tableNameLimit(),
                m_profile.lines,
                [this](const QString& name) { m_targets.remove(name); },
                m_observer};
    }

    FillContext fillContext() {
        return {m_proc,    m_front,         m_request,       m_observer,
                m_target,  targetDialect(), m_profile.lines, [this] { return stopping(); },
                m_composed};
    }

    const Dialect& targetDialect() const {
        return DialectFor(m_target.get(), m_profile.destination->dialect);
    }
    const Dialect& sourceDialect() const { return DialectFor(m_source.get(), m_profile.source->dialect); }

    // A failure that no step foresaw ends the table's copy with one report naming the table:
    // the rows read and not written count as failed, and the transfer goes on.
    void endedUnforeseen(const std::exception& failure, const QString& table) {
        m_table.complete = false;
        m_proc.failedAfterLastStep(std::runtime_error(endedTableText(failure, table).toStdString()));
        m_table.outcome.rowsFailed = m_table.outcome.rowsRead - m_table.outcome.rowsWritten;
        m_proc.setRow(0);
    }

    // A name longer than the target takes would be cut short by some databases without a word,
    // leaving a table under another name; such a table is refused before anything changes, with
    // the CREATE TABLE it would have taken.
    bool namesFit(const QString& tableName, const Recordset& rows) {
        const NameLimits limits = m_target ? m_target->nameLimits() : NameLimits{};
        QString refusal = nameTooLong(QStringLiteral("table"), tableName, limits.table);
        for (int field = 0; refusal.isEmpty() && field < rows.fieldCount(); ++field) {
            refusal = nameTooLong(QStringLiteral("column"), rows.field(field).name, limits.column);
        }
        if (refusal.isEmpty()) return true;
        m_composed.insert.reset();
        m_composed.create.emplace(createdDialect(), tableName, m_request.targetSchema, &targetDialect());
        for (int field = 0; field < rows.fieldCount(); ++field) {
            addPlannedColumn(*m_composed.create, rows.field(field).name,
                             static_cast<std::int16_t>(rows.field(field).type), field);
        }
        m_composed.create->finish(m_table.plan.primaryKey);
        m_proc.step(line(CopyStep::Create), [&] { throw std::runtime_error(refusal.toStdString()); });
        return false;
    }

    static QString nameTooLong(const QString& what, const QString& name, int limit) {
        const qsizetype bytes = name.toUtf8().size();
        if (limit <= 0 || bytes <= limit) return QString();
        return QStringLiteral(
                   "The %1 name %2 takes %3 bytes; the target database takes %1 names of at "
                   "most %4 bytes. Nothing was created.")
            .arg(what, name)
            .arg(bytes)
            .arg(limit);
    }

    // Asks before replacing a table the target list shows. Keep when the user keeps the old
    // table. The name becomes the one the list writes the table with.
    Consent askToReplace(QString& tableName) {
        int answer = 0;  // not asked; 6 Yes and 7 No, as the question's buttons
        const bool listed = m_proc.test(line(CopyStep::TargetListed), [&] {
            return m_targets.has(tableName, m_profile.existenceIgnoresCase);
        });
        if (listed) {
            // Ask about the table as the target list writes it. Where the list holds the exact
            // name, that is the table in question.
            if (m_profile.existenceIgnoresCase) {
                m_proc.step(line(CopyStep::ListedName), [&] { tableName = m_targets.listedName(tableName); });
            }
            // Rows added to a table lose nothing of it: nothing to ask.
            if (m_request.mode == WriteMode::Append) return Consent::NotNeeded;
            m_proc.step(line(CopyStep::AskReplace), [&] { answer = m_front.mayReplace(tableName) ? 6 : 7; });
        } else {
            m_proc.step(line(CopyStep::NotAsked), [&] { answer = 0; });
        }
        if (m_proc.test(line(CopyStep::Declined), [&] { return answer == 7; })) return Consent::Keep;
        if (m_proc.test(line(CopyStep::Agreed), [&] { return answer == 6; })) return Consent::Replace;
        return Consent::NotAsked;
    }

    // Drops the table the user agreed to replace; the new one takes the source's name.
    void dropOldTable(QString& tableName, const QString& newName) {
        const bool dropped =
            m_proc.step(line(CopyStep::Drop), [&] { required(m_target).execute(m_table.copy.dropFirst); });
        const QString droppedName = tableName;
        m_proc.step(line(CopyStep::TakeNewName), [&] { tableName = newName; });
        // The dropped table leaves the list under the name the list wrote it with; so does one
        // the target no longer had, whose name the new table takes.
        if (dropped || (m_target && targetLacksTable(*m_target, {m_request.targetSchema, droppedName})))
            m_proc.step(line(CopyStep::Unlist), [&] { m_targets.remove(droppedName); });
    }

    // beforeSent: what is done just before the CREATE TABLE is sent, once it is composed.
    bool createTable(const QString& tableName, Recordset& rows,
                     const std::function<void()>& beforeSent = {}) {
        m_composed.insert.reset();
        m_composed.create.emplace(createdDialect(), tableName, m_request.targetSchema, &targetDialect());
        CreateTableStatement& create = *m_composed.create;
        for (int field = 0; field < rows.fieldCount(); ++field) {
            m_proc.step(line(CopyStep::ColumnEvents), [&] { m_front.letEventsThrough(); });
            QString name;
            std::int16_t type = 0;
            m_proc.step(line(CopyStep::ColumnName), [&] { name = rows.field(field).name; });
            m_proc.step(line(CopyStep::ColumnType),
                        [&] { type = static_cast<std::int16_t>(rows.field(field).type); });
            m_proc.step(line(CopyStep::AddColumn), [&] { addPlannedColumn(create, name, type, field); });
        }
        create.finish(m_table.plan.primaryKey);
        if (beforeSent) beforeSent();
        return m_proc.step(line(CopyStep::Create), [&] {
            try {
                required(m_target).execute(m_table.copy.create);
            } catch (const DbError& failure) {
                m_table.createOutcomeUnknown = failure.connectionLost();
                throw;
            }
        });
    }

    const TransferProfile& m_profile;
    const TransferRequest& m_request;
    FrontEnd& m_front;
    CopyObserver* m_observer;
    const SourceTables& m_sources;
    TargetTables& m_targets;
    Procedure m_proc;
    std::unique_ptr<Connection> m_source;
    std::unique_ptr<Connection> m_target;
    ComposedStatement m_composed;
    TableInProgress m_table;  // the table being copied; each table starts it afresh
    StagingTables m_staging;
    std::map<QString, QString> m_sameTableAs;  // a refused table's source name: the name it meets
};

}  // namespace

void TransferTables(const TransferProfile& profile, const TransferRequest& request) {
    const SourceTables sources = SourceTables::of(request.sourceList);
    TargetTables targets(request.targetList);
    if (request.jobs <= 1)
        return Transfer(profile, request, request.frontEnd, request.observer, sources, targets).run();

    // No two questions at once, and none while tables are being copied.
    TableQueue queue(Transfer(profile, request, request.frontEnd, nullptr, sources, targets).askFirst());
    std::mutex frontLock;
    const auto runJob = [&] {
        JobFrontEnd front(request.frontEnd, frontLock);
        // Nothing may leave a thread: a job that cannot even be set up (no memory for its
        // observer, say) says so once, and the other jobs take its tables.
        try {
            const std::unique_ptr<CopyObserver> observer =
                request.observer ? request.observer->forAnotherJob() : nullptr;
            Transfer(profile, request, front, observer.get(), sources, targets).runJob(queue, [&] {
                return front.failures();
            });
        } catch (const std::exception& failure) {
            Procedure(front, profile.procedure).failedAfterLastStep(failure);
        } catch (...) {
            Procedure(front, profile.procedure)
                .failedAfterLastStep(std::runtime_error("A copy job could not be set up."));
        }
    };
    std::vector<std::thread> jobs;
    try {
        for (int i = 0; i < std::min(request.jobs, queue.size()); ++i) jobs.emplace_back(runJob);
    } catch (const std::system_error&) {
        // No thread to be had: the jobs there are take every table.
        if (jobs.empty()) runJob();
    }
    for (std::thread& running : jobs) running.join();
    while (const std::optional<TableToCopy> table = queue.take())
        request.frontEnd.tableNotBegun(table->sourceName);
}

}  // namespace tw
