#include "transfer/RowFill.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

#include "db/DbError.h"
#include "db/RequiredConnection.h"
#include "shell/FrontEnd.h"
#include "transfer/RowBatch.h"
#include "transfer/ValueFit.h"

namespace tw {

namespace {

class RowFill {
public:
    RowFill(const FillContext& context, TableInProgress& table)
        : m_proc(context.proc),
          m_front(context.front),
          m_request(context.request),
          m_observer(context.observer),
          m_target(context.target),
          m_context(context),
          m_composed(context.composed),
          m_table(table) {}

    // Fills the table made for the rows (m_table.filled); progress names the table being copied.
    void copyRows(const QString& tableName, Recordset& rows) {
        qint64 total = 0;
        m_proc.step(tail(226), [&] { total = rows.recordCount(); });
        const QList<ColumnKind> kinds = m_table.plan.kinds();
        const int fields = std::min(rows.fieldCount(), static_cast<int>(kinds.size()));
        const Dialect& written = targetDialect();
        if (!written.keepsEmptyText()) m_table.outcome.targetWithoutEmptyText = written.title();
        m_keepsEmpty = keepsEmptyValues(m_request, written);
        if (m_observer) m_observer->emptyValuesKept(m_keepsEmpty);
        m_writtenKinds = kinds.mid(0, fields);
        std::unique_ptr<BatchWriter> writer = batchWriterFor();
        if (writer) m_rowsStatement = writer->rowsStatement();
        std::vector<BoundValue> bound(writer ? fields : 0);
        QList<ColumnKind> fitKinds = kinds;  // as each value of the row goes
        // The rows being read and kept, and those the target is writing meanwhile.
        RowBatch batch;
        RowBatch sent;
        bool ended = false;  // by a batch: nothing more goes to the table
        // The count sizes the progress only: rows that arrived since it was taken are copied too.
        try {
            for (qint64 row = 0; !rows.eof() && !stopping(); ++row) {
                m_proc.step(tail(230), [&] { m_front.letEventsThrough(); });
                if (stopping()) break;  // asked for while the window had its turn: no row begun
                m_proc.setRow(row + 1);
                m_proc.step(tail(232), [&] { m_front.progress(tableName, row + 1, total); });
                ++m_table.outcome.rowsRead;
                // Each row's statement is composed afresh in the room the previous one left.
                if (!m_composed.insert)
                    m_composed.insert.emplace(m_table.filled, &written, m_request.targetSchema, m_keepsEmpty);
                InsertStatement& insert = *m_composed.insert;
                insert.begin();
                const QString unfit = unfitValue(rows, m_table.plan.columns, fields, written, fitKinds);
                if (!unfit.isEmpty()) {
                    if (m_observer) m_observer->rowRead(rows);
                    // The batch so far is written first: a batch's rows are numbered one after
                    // another, and the reports come in the order of the rows.
                    if (writer && (!sendBatch(*writer, batch, sent) || !landBatch(*writer, sent))) {
                        unwritten(1);  // read, and never to be written
                        ended = true;
                        break;
                    }
                    m_proc.setRow(row + 1);  // the batch's rows had their own numbers
                    refuseRow(unfit);
                    moveNext(rows);
                    continue;
                }
                const EmptyValues empty =
                    takeValues(rows, fields, fitKinds, written, writer ? &bound : nullptr);
                if (m_observer) m_observer->rowRead(rows);
                if (writer) {
                    if (!addToBatch(*writer, rows, fitKinds, {bound, empty, row}, batch, sent)) {
                        ended = true;
                        break;
                    }
                    moveNext(rows);
                    continue;
                }
                bool ended = false;
                const bool written = m_proc.step(tail(260), [&] {
                    sendRow(
                        [&] { send(insert.utf8(), insert.parameters(), [&] { return insert.sentUtf8(); }); },
                        ended);
                });
                ++(written ? m_table.outcome.rowsWritten : m_table.outcome.rowsFailed);
                if (written) countEmpty(empty);
                // Nothing more can be written to this table: one report, not one for every row left.
                if (ended) break;
                moveNext(rows);
            }
        } catch (...) {
            // Whatever ends the table, the batch on its way is written or not before it goes.
            if (writer) landQuietly(*writer, sent);
            throw;
        }
        // Rows read are written, also when the run was asked to end; after a batch that ended
        // the table, the rows kept since are read and never to be written.
        if (writer && (ended || !sendBatch(*writer, batch, sent) || !landBatch(*writer, sent))) {
            unwritten(batch.count());
            m_table.complete = false;
        }
        if (!rows.eof() || m_stoppedInRetry) {
            m_table.complete = false;
            m_table.outcome.stopped = stopping();
        }
        m_proc.setRow(0);
    }

private:
    // The row's values, each bound for a batch (into bound) or added to the row's statement,
    // which is then finished; the values it writes as NULL for being empty are counted.
    EmptyValues takeValues(const Recordset& rows, int fields, const QList<ColumnKind>& fitKinds,
                           const Dialect& written, std::vector<BoundValue>* bound) {
        InsertStatement& insert = *m_composed.insert;
        EmptyValues empty;  // the row's, which its statement writes as NULL
        for (int field = 0; field < fields; ++field) {
            m_proc.step(tail(238), [&] { m_front.letEventsThrough(); });
            m_proc.step(tail(240), [&] {
                const Variant& value = rows.field(field).value;
                // A batch's row gets its statement only if the database refuses it.
                if (bound) {
                    (*bound)[field] = BoundValueFor(value, fitKinds[field], &written, m_keepsEmpty);
                } else {
                    insert.addValue(value, fitKinds[field]);
                }
                if (isEmptyValue(value) && !keepsEmptyIn(fitKinds[field], m_keepsEmpty)) empty.count(value);
            });
        }
        insert.finish();
        return empty;
    }

    // A row read for a batch: its bound values, the empty ones written as NULL, and its number
    // from 0.
    struct BatchedRow {
        std::vector<BoundValue>& bound;
        const EmptyValues& empty;
        qint64 row;
    };

    // Adds the row to the batch, which goes to the target first where the row would make it too
    // large, and after where it is full; false where nothing more goes to the table.
    bool addToBatch(BatchWriter& writer, const Recordset& rows, const QList<ColumnKind>& fitKinds,
                    const BatchedRow& read, RowBatch& batch, RowBatch& sent) {
        std::vector<BoundValue>& bound = read.bound;
        // A batch is bounded by bytes too: one that this row would make too large goes first, so
        // that a long value never widens the arrays of many other rows.
        if (writer.pending() > 0 &&
            writer.bytesWith(bound) + batch.bytes() + RowBatch::bytesOf(bound) > m_request.batchBytes &&
            !sendBatch(writer, batch, sent)) {
            unwritten(1);  // read, and never to be written
            return false;
        }
        // The row's values wait in the batch too, for the rows of a refused batch to go again.
        if (batch.count() == 0) batch.firstRow = read.row + 1;
        for (int field = 0; field < static_cast<int>(bound.size()); ++field)
            batch.addValue(rows.field(field).value, fitKinds[field]);
        batch.endRow(read.empty);
        writer.add(bound);
        // Let go of the values, so that reading the next row can reuse their room.
        for (BoundValue& value : bound) value.data.clear();
        const bool full = writer.pending() >= m_request.batchRows ||
                          writer.bytesWith({}) + batch.bytes() >= m_request.batchBytes;
        return !full || sendBatch(writer, batch, sent);
    }

    // Why a value of the row cannot go into its column as it is, naming the column and the
    // value; empty where every value can. fitKinds says how each value goes.
    static QString unfitValue(const Recordset& rows, const QList<PlannedColumn>& planned, int fields,
                              const Dialect& target, QList<ColumnKind>& fitKinds) {
        for (int field = 0; field < fields; ++field) {
            const Field& column = rows.field(field);
            const PlannedColumn& into = planned[field];
            const ValueFit fit =
                fitOf(column.name, column.value, column.type, into.kind, target, into.decimals, into.limit);
            if (!fit.refusal.isEmpty()) return fit.refusal;
            fitKinds[field] = fit.asBytes ? ColumnKind::Bytes : into.kind;
        }
        return QString();
    }

    // Rows read that will never be written. Once a stop ended a refused batch's rows going again,
    // they are rows the copy let go unread, as the row-by-row copy, stopped at the same row,
    // never read them; otherwise they failed.
    void unwritten(qint64 rows) {
        (m_stoppedInRetry ? m_table.outcome.rowsRead : m_table.outcome.rowsFailed) +=
            m_stoppedInRetry ? -rows : rows;
    }

    // A row refused for a value it holds: one report at the line that sends a row, and the row
    // counts as failed; its statement was never composed.
    void refuseRow(const QString& why) {
        m_composed.refusingRow = true;
        m_proc.step(tail(260), [&] {
            throw std::runtime_error(QStringLiteral("The row was not copied: %1.").arg(why).toStdString());
        });
        m_composed.refusingRow = false;
        ++m_table.outcome.rowsFailed;
    }

    // A row that cannot be read ends the source's rows: the table is not whole.
    void moveNext(Recordset& rows) {
        if (!m_proc.step(tail(262), [&] { rows.moveNext(); })) m_table.complete = false;
    }

    // A row's statement. A value too long for the target's literals goes as a parameter of the
    // row's statement; the statement quoted on failure is the one composed.
    template <typename SentText>
    void send(const QByteArray& statement, const std::vector<BoundValue>& parameters, SentText sentText) {
        if (parameters.empty()) {
            required(m_target).executeUtf8(statement);
        } else {
            required(m_target).executeWithParameters(sentText(), parameters);
        }
    }

    // A writer for the table when the request asks for batches and the target can write them;
    // otherwise each row goes as its own statement.
    std::unique_ptr<BatchWriter> batchWriterFor() {
        if (m_request.batchRows <= 1 || !m_target) return nullptr;
        std::vector<bool> bytes;
        for (const ColumnKind kind : m_writtenKinds) bytes.push_back(kind == ColumnKind::Bytes);
        try {
            return m_target->batchWriter(m_table.filled, bytes, m_request.targetSchema);
        } catch (const std::exception&) {
            return nullptr;  // the statements still go, one by one
        }
    }

    // Sends the batch on its way once the batch sent before it is written, and goes on reading
    // while the target writes it. False when the batch before ended the table: this one stays
    // unsent.
    bool sendBatch(BatchWriter& writer, RowBatch& batch, RowBatch& sent) {
        if (!landBatch(writer, sent)) return false;
        if (batch.count() == 0) return true;
        std::swap(batch, sent);
        writer.startFlush();
        return true;
    }

    // Waits for the batch sent last, which the target writes in one transaction. When the
    // database refuses it, nothing of it stays and its rows go again (retryRefused). False when
    // nothing more can be written: the connection is lost, or the batch failed for a reason no
    // database gave (memory running out, say), which ends the table as a lost connection does.
    bool landBatch(BatchWriter& writer, RowBatch& batch) {
        const qint64 count = batch.count();
        if (count == 0) return true;
        bool goesOn = true;
        const auto endTable = [&](const std::exception& failure) {
            endTableAt(batch, 0, failure);
            m_table.outcome.rowsFailed += count;
            goesOn = false;
        };
        try {
            // A window keeps answering while a long batch is written.
            writer.finishFlush([&] { m_front.letEventsThrough(); });
            m_table.outcome.rowsWritten += count;
            countEmpty(batch.emptyValues());
        } catch (const DbError& failure) {
            if (failure.connectionLost() || failure.outOfRoom()) {
                endTable(failure);
            } else {
                goesOn = retryRefused(batch);
            }
        } catch (const std::exception& failure) {
            endTable(std::runtime_error(endedTableText(failure, m_proc.table()).toStdString()));
        }
        m_composed.replaying.clear();
        batch.clear();
        return goesOn;
    }

    // One report of what ended the table, at the batch's row i, quoting that row's statement.
    void endTableAt(const RowBatch& batch, qint64 i, const std::exception& failure) {
        m_proc.setRow(batch.firstRow + i);
        // A batch that went by COPY quotes the COPY: no INSERT was sent.
        m_composed.replaying = m_rowsStatement.isEmpty() ? rowStatement(batch, i).utf8() : m_rowsStatement;
        m_proc.failedAt(tail(260), failure);
        m_table.complete = false;
    }

    void landQuietly(BatchWriter& writer, RowBatch& batch) noexcept {
        try {
            writer.finishFlush([] {});
            m_table.outcome.rowsWritten += batch.count();
            countEmpty(batch.emptyValues());
        } catch (...) {
            // Counted with the table's other rows that were not written.
        }
        batch.clear();
    }

    // The rows of a batch the database refused go again by halves, each half as a batch of its
    // own written whole or refused whole, until the refused rows are among a few: those go one
    // by one, each as the statement the row-by-row copy sends, so that every refused row is
    // reported with its number and every other row is written. False when nothing more can be
    // written; the rows not yet written then count as failed. A stop (from a refused row's box,
    // say) ends it too: the rows before are written, as the row-by-row copy leaves them, and no
    // row after goes, nor any box.
    bool retryRefused(const RowBatch& batch) {
        qint64 done = 0;  // the batch's rows written or refused so far
        const bool goesOn = retryRows(batch, 0, batch.count(), done);
        if (!goesOn) unwritten(batch.count() - done);
        return goesOn;
    }

    // Whether a stop ends the rows going again here; from then on nothing more is written.
    bool stoppedInRetry() {
        if (stopping()) m_stoppedInRetry = true;
        return m_stoppedInRetry;
    }

    bool retryRows(const RowBatch& batch, qint64 from, qint64 to, qint64& done) {
        // So few rows cost fewer statements one by one than in halves.
        constexpr qint64 kOneByOne = 4;
        if (to - from <= kOneByOne) return writeOneByOne(batch, from, to, done);
        const qint64 middle = from + (to - from) / 2;
        for (const auto& [begin, end] : {std::pair{from, middle}, std::pair{middle, to}}) {
            if (stoppedInRetry()) return false;
            // A writer of its own for each half, ended before the next: a row going on its own
            // then finds auto-commit as the row-by-row copy does.
            std::unique_ptr<BatchWriter> half = batchWriterFor();
            if (!half) return writeOneByOne(batch, begin, to, done);
            try {
                std::vector<Variant> values;
                QList<ColumnKind> kinds;
                std::vector<BoundValue> bound;
                for (qint64 i = begin; i < end; ++i) {
                    batch.row(i, values, kinds);
                    bound.clear();
                    for (size_t v = 0; v < values.size(); ++v)
                        bound.push_back(BoundValueFor(values[v], kinds[v], &targetDialect(), m_keepsEmpty));
                    half->add(bound);
                }
                half->flush();
                m_table.outcome.rowsWritten += end - begin;
                countEmpty(batch.emptyValues(begin, end));
                done += end - begin;
            } catch (const DbError& failure) {
                half.reset();
                if (failure.connectionLost() || failure.outOfRoom()) {
                    endTableAt(batch, begin, failure);
                    return false;
                }
                if (!retryRows(batch, begin, end, done)) return false;
            } catch (const std::exception& failure) {
                endTableAt(batch, begin,
                           std::runtime_error(endedTableText(failure, m_proc.table()).toStdString()));
                return false;
            }
        }
        return true;
    }

    // The literal statement of the batch's row i, as the row-by-row copy composes it.
    InsertStatement rowStatement(const RowBatch& batch, qint64 i) const {
        std::vector<Variant> values;
        QList<ColumnKind> kinds;
        batch.row(i, values, kinds);
        InsertStatement insert(m_table.filled, &targetDialect(), m_request.targetSchema, m_keepsEmpty);
        for (size_t v = 0; v < values.size(); ++v) insert.addValue(values[v], kinds[v]);
        insert.finish();
        return insert;
    }

    bool writeOneByOne(const RowBatch& batch, qint64 from, qint64 to, qint64& done) {
        for (qint64 i = from; i < to; ++i) {
            if (stoppedInRetry()) return false;
            m_proc.setRow(batch.firstRow + i);
            const InsertStatement insert = rowStatement(batch, i);
            m_composed.replaying = insert.utf8();
            bool ended = false;
            const bool written = m_proc.step(tail(260), [&] {
                sendRow([&] { send(insert.utf8(), insert.parameters(), [&] { return insert.sentUtf8(); }); },
                        ended);
            });
            ++done;
            ++(written ? m_table.outcome.rowsWritten : m_table.outcome.rowsFailed);
            if (written) countEmpty(batch.emptyValues(i));
            if (ended) return false;
        }
        return true;
    }

    // Sends one row's statement. A failure that is not the row's own (a lost connection, a busy,
    // locked or full database, one nobody foresaw) means the table cannot be whole, and ends its
    // rows with this one report: every row after it would meet the same.
    template <typename Send>
    void sendRow(Send&& sendIt, bool& ended) {
        try {
            sendIt();
        } catch (const DbError& failure) {
            ended = !targetDialect().refusesOnlyTheRow(failure);
            if (ended) m_table.complete = false;
            throw;
        } catch (...) {
            ended = true;
            m_table.complete = false;
            throw;
        }
    }

    // The empty values of rows written, which went as NULL.
    void countEmpty(const EmptyValues& empty) {
        m_table.outcome.emptyTextsAsNull += empty.texts;
        m_table.outcome.emptyBytesAsNull += empty.bytes;
    }

    int tail(int line) const { return line + m_context.tailShift; }
    bool stopping() const { return m_context.stopping(); }
    const Dialect& targetDialect() const { return m_context.written; }

    Procedure& m_proc;
    FrontEnd& m_front;
    const TransferRequest& m_request;
    CopyObserver* m_observer;
    const std::unique_ptr<Connection>& m_target;
    const FillContext m_context;
    ComposedStatement& m_composed;
    TableInProgress& m_table;
    QList<ColumnKind> m_writtenKinds;  // how each column the writer binds is written
    QByteArray m_rowsStatement;        // the batches' statement where it is not each row's INSERT
    bool m_stoppedInRetry = false;     // a stop ended a refused batch's rows going again
    bool m_keepsEmpty = false;         // empty values go as themselves where a column holds them
};

}  // namespace

bool keepsEmptyValues(const TransferRequest& request, const Dialect& target) {
    return request.faithful && target.keepsEmptyText();
}

void fillRows(const FillContext& context, TableInProgress& table, const QString& tableName, Recordset& rows) {
    RowFill(context, table).copyRows(tableName, rows);
}

QString endedTableText(const std::exception& failure, const QString& table) {
    const QString cause =
        dynamic_cast<const std::bad_alloc*>(&failure)
            ? QStringLiteral("Not enough memory (%1).").arg(QString::fromUtf8(failure.what()))
            : QString::fromUtf8(failure.what());
    return cause + QStringLiteral(" The copy of table %1 ended here.").arg(table);
}

}  // namespace tw
