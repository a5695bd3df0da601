#include "cli/Commands.h"

#include <QElapsedTimer>

#include "cli/CheckReport.h"
#include "cli/ExitCode.h"
#include "cli/ListReport.h"
#include "cli/RunSummary.h"
#include "cli/StopOnInterrupt.h"
#include "cli/Terminal.h"
#include "cli/TerminalFrontEnd.h"
#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/Side.h"
#include "maintenance/DeleteTables.h"
#include "maintenance/RenameTable.h"
#include "shell/ListHelpers.h"
#include "shell/LoggingFrontEnd.h"
#include "shell/NearNames.h"
#include "shell/ReportLines.h"
#include "shell/SortedTableList.h"
#include "shell/TableNamePattern.h"
#include "transfer/CopyEngine.h"
#include "transfer/CopyPreview.h"
#include "transfer/CopyVerifier.h"
#include "transfer/PairCheck.h"
#include "transfer/RowCount.h"

namespace tw::cli {

namespace {

QString titleOf(const Side& side) { return side.title(); }

// A connection to the side, open.
std::unique_ptr<Connection> openTo(const CommandContext& context, const Side& side) {
    std::unique_ptr<Connection> connection = context.connections.create();
    if (side.namesOdbcProvider) connection->setProvider(kOdbcProvider);
    connection->open(side.target(context.values));
    return connection;
}

// Opens and closes one connection to the side, so that a login that fails is said once, with
// the driver's words, before anything is done. The dialect the connection speaks, or none where
// it failed. A database whose product no dialect knows is spoken to in standard SQL, and told.
const Dialect* connects(const CommandContext& context, const Side& side) {
    try {
        const std::unique_ptr<Connection> connection = openTo(context, side);
        if (!side.isConfigured && !connection->dialect()) {
            context.terminal.err(
                QStringLiteral("tablewright: warning: %1 is %2, a product this program has no "
                               "dialect for; it is spoken to in standard SQL\n")
                    .arg(side.name, visibleText(connection->productName())));
        }
        const Dialect* spoken = &DialectFor(connection.get(), side.dialect);
        connection->close();
        return spoken;
    } catch (const std::exception& failure) {
        context.terminal.err(
            QStringLiteral("tablewright: cannot connect to %1: %2\n")
                .arg(side.describe(context.values), oneLine(QString::fromUtf8(failure.what()))));
        return nullptr;
    }
}

// How the log's heading names where a command worked: the connection values for the
// configured sides, else each database.
QString describedForLog(const CommandContext& context, std::initializer_list<const Side*> sides) {
    bool configured = true;
    for (const Side* side : sides) configured = configured && side->isConfigured;
    if (configured) return describeWithoutPassword(context.values);
    QStringList described;
    for (const Side* side : sides) described << side->describe(context.values);
    return described.join(QStringLiteral(" to "));
}

// The side's tables as its list in the tables window shows them; those of another schema (or
// owner), where one is given.
void load(const CommandContext& context, const Side& side, SortedTableList& list,
          const QString& schema = {}) {
    side.loadTables(
        list, context.connections, context.values, [] {}, schema);
}

// Says the side has no table of the name, or none the pattern matches, with the names the user
// may have meant: the name in another case, or nearly.
void reportNotFound(const QString& name, bool pattern, const Side& side, const SortedTableList& list,
                    TerminalFrontEnd& front, Terminal& terminal) {
    QStringList near = pattern ? QStringList() : nearNames(name, list.items());
    for (QString& shown : near) shown = visibleText(shown);
    terminal.err(QStringLiteral("tablewright: %1 has no table %2%3%4\n")
                     .arg(titleOf(side), pattern ? QStringLiteral("matching ") : QString(), visibleText(name),
                          didYouMean(near)));
    front.record(name, TableResult::Status::NotFound);
}

// Selects the tables named, each reported once where the side has no such table. Where
// patterns are taken, an argument with * or ? chooses every table it matches (reported when it
// matches none), and the exclusions take tables out again.
bool select(SortedTableList& list, const QStringList& names, const Side& side, TerminalFrontEnd& front,
            Terminal& terminal, bool patterns = false, const QStringList& exclusions = {}) {
    list.setCurrentIndex(-1);
    QStringList unmatched;
    const QStringList chosen = patterns ? chosenTables(list.items(), names, exclusions, unmatched) : names;
    for (const QString& name : unmatched)
        reportNotFound(name, isTableNamePattern(name), side, list, front, terminal);
    for (const QString& name : chosen) {
        const int index = list.indexOf(name);
        if (index < 0) {
            reportNotFound(name, false, side, list, front, terminal);
            continue;
        }
        list.setSelected(index, true);
        if (list.currentIndex() == -1) list.setCurrentIndex(index);
    }
    return list.currentIndex() != -1;
}

// Selects the tables copy takes from the source: the named ones or all, patterns matched and
// exclusions left out. False when none is there.
bool selectToCopy(const CommandContext& context, SortedTableList& source, TerminalFrontEnd& front) {
    const CommandOptions& options = context.options;
    const Side& from = *context.from;
    if (select(source, options.all ? source.items() : options.tables, from, front, context.terminal, true,
               options.exclude))
        return true;
    if (options.all) {
        context.terminal.err(
            options.schema.isEmpty() || source.count() > 0
                ? QStringLiteral("tablewright: %1 has no tables to copy\n").arg(titleOf(from))
                : QStringLiteral("tablewright: %1 has no tables in schema %2: there is no schema of that "
                                 "name, or it holds no tables\n")
                      .arg(titleOf(from), visibleText(options.schema)));
    }
    return false;
}

// Asked for every table of a source that has none (a schema misspelt, say), the copy did
// nothing the user meant.
bool nothingToCopy(const CommandOptions& options, const SortedTableList& source) {
    return options.all && source.count() == 0;
}

// What copy would do with each chosen table, in the order it copies them; nothing changes.
int previewCopies(const CommandContext& context, const TransferProfile& profile, SortedTableList& source,
                  const SortedTableList& target) {
    const CommandOptions& options = context.options;
    const Side& to = *context.to;
    const Side& from = *context.from;
    TerminalFrontEnd front(context.terminal, options.overwrite, titleOf(to));
    selectToCopy(context, source, front);
    QList<TablePreview> previews;
    try {
        // Both sessions only read: a dry run changes neither database, whatever the row
        // condition holds.
        const std::unique_ptr<Connection> reader = context.connections.create();
        reader->open(from.target(context.values));
        reader->makeReadOnly();
        // The target is only asked which product it is.
        const std::unique_ptr<Connection> writer = context.connections.create();
        writer->open(to.target(context.values));
        writer->makeReadOnly();
        const Dialect& connected = DialectFor(writer.get(), to.dialect);
        const Dialect& created = options.faithful ? connected : to.ownDialect(writer.get());
        // As the copy asks: where the target tells no case apart, in any case.
        const bool ignoresCase = profile.existenceIgnoresCase;
        for (int index = 0; index < source.count(); ++index) {
            if (!source.isSelected(index)) continue;
            PreviewChoices choices;
            const QString name = options.into.isEmpty() ? source.text(index) : options.into;
            choices.targetHasTable =
                ignoresCase ? ListHasItemNoCase(target, name) : ListHasItem(target, name);
            choices.overwrite = options.overwrite == Overwrite::Yes  ? PreviewChoices::Overwrite::Yes
                                : options.overwrite == Overwrite::No ? PreviewChoices::Overwrite::No
                                                                     : PreviewChoices::Overwrite::Ask;
            choices.inPlace = options.inPlace;
            choices.mode = options.mode;
            if (choices.targetHasTable && options.mode != WriteMode::Replace)
                choices.existing = writer->tableShape(name, options.targetSchema);
            choices.faithful = options.faithful;
            choices.rowCondition = options.where;
            choices.sourceSchema = options.schema;
            choices.targetSchema = options.targetSchema;
            choices.newName = name;
            choices.existingName = ignoresCase ? ListedNameNoCase(target, name) : name;
            choices.tableNameLimit = writer->nameLimits().table;
            choices.batchRows = options.batchRows;
            previews << previewCopy(*reader, created, connected, source.text(index), choices);
        }
        reader->close();
        writer->close();
    } catch (const std::exception& failure) {
        context.terminal.err(
            QStringLiteral("tablewright: %1\n").arg(oneLine(QString::fromUtf8(failure.what()))));
        return kExitSomethingFailed;
    }
    bool failed = front.anythingFailed() || nothingToCopy(options, source);
    for (const TablePreview& preview : previews) failed = failed || !preview.error.isEmpty();
    const int status = failed ? kExitSomethingFailed : kExitSuccess;
    context.terminal.out(options.json ? previewJson(previews, status) : previewText(previews));
    return status;
}

// Counts the rows of each listed table on one connection; a table that cannot be counted is
// said on its own line, and false returned. A count that cost the connection (a table locked
// past the time-out) costs no other table's: the next count connects again.
bool countListedRows(const CommandContext& context, const Side& side, const Dialect& dialect,
                     ListedTables& listed) {
    bool counted = true;
    try {
        const auto connected = [&] {
            std::unique_ptr<Connection> connection = openTo(context, side);
            connection->makeReadOnly();
            return connection;
        };
        std::unique_ptr<Connection> connection = connected();
        for (const QString& table : listed.tables) {
            if (!connection) {
                try {
                    connection = connected();
                } catch (const std::exception& failure) {
                    // The rest go uncounted, said once.
                    context.terminal.err(
                        QStringLiteral("tablewright: cannot connect to %1 again: %2\n")
                            .arg(side.describe(context.values), oneLine(QString::fromUtf8(failure.what()))));
                    while (listed.rows.size() < listed.tables.size()) listed.rows << -1;
                    return false;
                }
            }
            try {
                listed.rows << countRows(*connection, dialect, {context.options.schema, table});
            } catch (const std::exception& failure) {
                // The failure may have cost the connection without saying so yet.
                connection.reset();
                listed.rows << -1;
                counted = false;
                context.terminal.err(
                    QStringLiteral("tablewright: the rows of %1 table %2 cannot be counted: %3\n")
                        .arg(titleOf(side), visibleText(table), oneLine(QString::fromUtf8(failure.what()))));
            }
        }
        if (connection) connection->close();
    } catch (const std::exception& failure) {
        context.terminal.err(
            QStringLiteral("tablewright: cannot connect to %1: %2\n")
                .arg(side.describe(context.values), oneLine(QString::fromUtf8(failure.what()))));
        return false;
    }
    return counted;
}

int exitStatus(const TerminalFrontEnd& front) {
    return front.anythingFailed() ? kExitSomethingFailed : kExitSuccess;
}

}  // namespace

int listTables(const CommandContext& context) {
    const CommandOptions& options = context.options;
    const QList<const Side*> sides = context.side ? QList<const Side*>{context.side.get()}
                                                  : QList<const Side*>{&oracleSide(), &sqlAnywhereSide()};
    QList<const Dialect*> dialects;
    for (const Side* side : sides) {
        dialects << connects(context, *side);
        if (!dialects.back()) return kExitNoConnection;
    }
    int status = kExitSuccess;
    QList<ListedTables> listed;
    for (qsizetype i = 0; i < sides.size(); ++i) {
        const Side& side = *sides[i];
        SortedTableList list;
        try {
            load(context, side, list, options.schema);
        } catch (const std::exception& failure) {
            context.terminal.err(QStringLiteral("tablewright: the %1 tables cannot be listed: %2\n")
                                     .arg(titleOf(side), oneLine(QString::fromUtf8(failure.what()))));
            return kExitSomethingFailed;
        }
        listed << ListedTables{side.name, list.items(), {}};
        if (options.rows && !countListedRows(context, side, *dialects[i], listed.back()))
            status = kExitSomethingFailed;
    }
    context.terminal.out(options.json ? listJson(listed, options.rows, status)
                                      : listText(listed, options.rows, !context.side));
    return status;
}

int copyTables(const CommandContext& context) {
    const CommandOptions& options = context.options;
    const Side& to = *context.to;
    const Side& from = *context.from;
    const Dialect* targetDialect = connects(context, from) ? connects(context, to) : nullptr;
    if (!targetDialect) return kExitNoConnection;
    const TransferProfile profile = TransferBetween(from, to, *targetDialect);

    SortedTableList source, target;
    try {
        load(context, from, source, options.schema);
        load(context, to, target, options.targetSchema);
    } catch (const std::exception& failure) {
        context.terminal.err(QStringLiteral("tablewright: the tables cannot be listed: %1\n")
                                 .arg(oneLine(QString::fromUtf8(failure.what()))));
        return kExitSomethingFailed;
    }

    if (options.dryRun) return previewCopies(context, profile, source, target);

    QElapsedTimer clock;
    clock.start();
    TerminalFrontEnd front(context.terminal, options.overwrite, titleOf(to));
    front.writeMode(options.mode);
    CopyVerifier verifier(context.connections, from.target(context.values), to.target(context.values));
    if (selectToCopy(context, source, front)) {
        LoggingFrontEnd logged(
            front, context.log,
            (from.isConfigured && to.isConfigured
                 ? QStringLiteral("copy --to %1 (command line): ").arg(to.name)
                 : QStringLiteral("copy --from %1 --to %2 (command line): ").arg(from.name, to.name)) +
                describedForLog(context, {&from, &to}) +
                (options.where.isEmpty() ? QString() : QStringLiteral("; rows where ") + options.where) +
                (options.mode == WriteMode::Replace
                     ? QString()
                     : QStringLiteral("; mode ") + writeModeName(options.mode)) +
                (options.schema.isEmpty() ? QString() : QStringLiteral("; from schema ") + options.schema) +
                (options.targetSchema.isEmpty() ? QString()
                                                : QStringLiteral("; into schema ") + options.targetSchema));
        TransferRequest request{logged,           context.connections,
                                context.values,   source,
                                target,           options.verify ? &verifier : nullptr,
                                options.batchRows};
        request.faithful = options.faithful;
        request.replaceInPlace = options.inPlace;
        request.mode = options.mode;
        request.allowPartialLoad = options.allowPartialLoad;
        request.jobs = options.jobs;
        request.fromTheTop = true;
        request.rowCondition = options.where;
        request.sourceSchema = options.schema;
        request.targetSchema = options.targetSchema;
        if (!options.into.isEmpty()) request.newNames.insert(options.tables.value(0), options.into);
        verifier.setSourceCondition(options.where);
        verifier.setSchemas(options.schema, options.targetSchema);
        const StopOnInterrupt interrupt;
        TransferTables(profile, request);
    }

    const int status = StopOnInterrupt::requested()     ? kExitStopped
                       : nothingToCopy(options, source) ? kExitSomethingFailed
                                                        : exitStatus(front);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (options.json) {
        context.terminal.out(summaryJson(QStringLiteral("copy"), front.results(), front.failures(), status,
                                         options.where, writeModeName(options.mode), seconds));
    } else {
        context.terminal.out(summaryTable(front.results(), options.verify, seconds));
        if (!options.where.isEmpty()) {
            context.terminal.out(QStringLiteral("rows where %1\n").arg(visibleText(options.where)));
        }
        if (options.mode != WriteMode::Replace) {
            context.terminal.out(QStringLiteral("mode %1\n").arg(writeModeName(options.mode)));
        }
    }
    return status;
}

int checkDatabases(const CommandContext& context) {
    const Side& first = *context.from;
    const Side& second = *context.to;
    if (!connects(context, first) || !connects(context, second)) return kExitNoConnection;
    QList<CheckVerdict> verdicts;
    const StopOnInterrupt interrupt;
    try {
        verdicts = checkPair({context.connections, context.values, first, second, &StopOnInterrupt::requested,
                              [&](const QString& line) {
                                  context.terminal.err(QStringLiteral("tablewright: ") + line + '\n');
                              }});
    } catch (const std::exception& failure) {
        context.terminal.err(QStringLiteral("tablewright: the check cannot go on: %1\n")
                                 .arg(oneLine(QString::fromUtf8(failure.what()))));
        return kExitSomethingFailed;
    }
    const int status = StopOnInterrupt::requested() ? kExitStopped
                       : allExact(verdicts)         ? kExitSuccess
                                                    : kExitSomethingFailed;
    context.terminal.out(context.options.json ? checkJson(verdicts, first.name, second.name, status)
                                              : checkText(verdicts));
    return status;
}

int dropTables(const CommandContext& context) {
    const Side& side = *context.side;
    if (!connects(context, side)) return kExitNoConnection;
    SortedTableList list;
    load(context, side, list);
    TerminalFrontEnd front(context.terminal, Overwrite::No, titleOf(side));
    if (select(list, context.options.tables, side, front, context.terminal)) {
        QStringList asked;
        for (int i = 0; i < list.count(); ++i) {
            if (list.isSelected(i)) asked << list.text(i);
        }
        LoggingFrontEnd logged(front, context.log,
                               QStringLiteral("drop --side %1 (command line): ").arg(side.name) +
                                   describedForLog(context, {&side}));
        DeleteTables(ButtonsOf(side), list, {logged, context.connections, context.values});
        // A table the database refused to drop stays listed.
        for (const QString& table : asked) {
            front.record(
                table, list.indexOf(table) < 0 ? TableResult::Status::Dropped : TableResult::Status::Failed);
        }
    }
    for (const TableResult& result : front.results()) {
        context.terminal.out(visibleText(result.table) + QLatin1Char('\t') + statusName(result.status) +
                             QLatin1Char('\n'));
    }
    return exitStatus(front);
}

int renameTable(const CommandContext& context) {
    const Side& side = *context.side;
    const QString oldName = context.options.tables.value(0);
    const QString newName = context.options.tables.value(1);
    if (!connects(context, side)) return kExitNoConnection;
    SortedTableList list;
    load(context, side, list);
    TerminalFrontEnd front(context.terminal, Overwrite::No, titleOf(side));
    front.renameTo(newName);
    if (select(list, {oldName}, side, front, context.terminal)) {
        LoggingFrontEnd logged(front, context.log,
                               QStringLiteral("rename --side %1 (command line): ").arg(side.name) +
                                   describedForLog(context, {&side}));
        RenameTable(ButtonsOf(side), list, {logged, context.connections, context.values});
        const bool renamed = list.indexOf(newName) >= 0 && list.indexOf(oldName) < 0;
        front.record(oldName, renamed ? TableResult::Status::Renamed : TableResult::Status::Failed);
    }
    const TableResult& result = front.results().back();
    context.terminal.out(visibleText(result.table) + QLatin1Char('\t') + statusName(result.status) +
                         (result.status == TableResult::Status::Renamed
                              ? QLatin1Char('\t') + visibleText(newName)
                              : QString()) +
                         QLatin1Char('\n'));
    return exitStatus(front);
}

}  // namespace tw::cli
