#include "transfer/CopyEngine.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "db/AdoType.h"
#include "db/DbError.h"
#include "db/RequiredConnection.h"
#include "db/SqlText.h"
#include "shell/Dialogs.h"
#include "shell/ListHelpers.h"
#include "shell/Procedure.h"
#include "shell/TableList.h"

namespace tw {

namespace {

// Runs the steps in the order of their line numbers.
template <typename Step, size_t N>
void inLineOrder(std::array<std::pair<int, Step>, N> steps) {
    std::sort(steps.begin(), steps.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [line, step] : steps) step();
}

class Transfer {
public:
    Transfer(const TransferProfile& profile, TransferWindow& window)
        : m_profile(profile),
          m_lines(profile.lines),
          m_window(window),
          m_proc(window.dialogs, profile.procedure) {
        if (!window.stopButton.isEmpty()) m_proc.offerStop(window.stopButton);
        if (profile.errorBoxShowsStatement) {
            m_proc.showStatement([this] { return statementComposed(); });
        }
    }

    void run() {
        using Step = std::function<void()>;
        inLineOrder<Step, 2>({{
            {m_lines.createSource, [&] { create(m_lines.createSource, m_source); }},
            {m_lines.createTarget, [&] { create(m_lines.createTarget, m_target); }},
        }});

        if (m_proc.test(106, [&] { return m_window.sourceList.currentIndex() == -1; })) {
            m_proc.step(m_lines.nothingCurrentMessage,
                        [&] { m_window.dialogs.msgBox(m_profile.nothingCurrentMessage); });
            return;
        }
        m_proc.step(m_lines.busy, [&] { m_window.showBusy(true); });
        // The source reads through a client-side cursor, which knows its row count first.
        inLineOrder<Step, 2>({{
            {m_lines.sourceCursor, [&] {
                 open(m_source, CursorLocation::Client, m_profile.sourceConnectionString,
                      m_lines.sourceCursor, m_lines.sourceOpen);
             }},
            {m_lines.targetCursor, [&] {
                 open(m_target, CursorLocation::Server, m_profile.targetConnectionString,
                      m_lines.targetCursor, m_lines.targetOpen);
             }},
        }});

        TableList& source = m_window.sourceList;
        for (int i = source.count() - 1; i >= 0 && !stopping(); --i) {
            if (m_profile.eventsPerListItem) m_proc.step(120, m_window.processEvents);
            if (stopping()) break;
            if (!m_proc.test(122, [&] { return source.isSelected(i); })) continue;
            copyTable(i);
        }

        const auto closeSource = [&] { required(m_source).close(); };
        const auto closeTarget = [&] { required(m_target).close(); };
        const auto pointerBack = [&] { m_window.showBusy(false); };
        inLineOrder<Step, 3>({{
            {m_lines.closeSource, [&] { m_proc.step(m_lines.closeSource, closeSource); }},
            {m_lines.closeTarget, [&] { m_proc.step(m_lines.closeTarget, closeTarget); }},
            {m_lines.finalPointer, [&] { m_proc.step(m_lines.finalPointer, pointerBack); }},
        }});
    }

private:
    int tail(int line) const { return line + m_lines.tailShift; }

    void create(int line, std::unique_ptr<Connection>& connection) {
        m_proc.step(line, [&] { connection = m_window.connections.create(); });
    }

    void open(const std::unique_ptr<Connection>& connection, CursorLocation location,
              QString (*connectionString)(const ConnectionValues&), int cursorLine, int openLine) {
        m_proc.step(cursorLine, [&] { required(connection).setCursorLocation(location); });
        m_proc.step(openLine, [&] { required(connection).open(connectionString(m_window.values)); });
    }

    // Asked between tables and rows: the user pressed the error box's stop button, or asked
    // for the end with Escape.
    bool stopping() const {
        return m_proc.stopRequested() || (m_window.stopRequested && m_window.stopRequested());
    }

    void copyTable(int index) {
        QString tableName;
        QString sourceName;
        m_proc.step(124, [&] { tableName = m_window.sourceList.text(index); });
        m_proc.step(126, [&] { sourceName = tableName; });
        const Consent consent = askToReplace(tableName);
        if (consent == Consent::Keep) return;

        // The source is opened before anything on the target changes: a table whose rows cannot
        // be read (its server gone, or no longer there) leaves the old one standing and listed.
        std::unique_ptr<Recordset> rows;
        m_proc.step(152, [&] {
            rows = required(m_source).openRecordset(SelectAllSql(sourceName), m_profile.cursorType, m_profile.lockType);
        });
        if (!rows) return;  // nothing to read: no columns, no rows
        if (consent == Consent::Replace) dropOldTable(tableName, sourceName);

        m_created = false;
        if (!stopping() && createTable(tableName, *rows)) copyRows(tableName, *rows);
        // A table this transfer did not create is neither filled nor listed.
        if (m_created) {
            m_proc.step(tail(264), [&] { m_window.showBusy(false); });
            m_proc.step(tail(266), [&] { m_window.resetProgress(); });
        }
        m_proc.step(tail(268), [&] { rows->close(); });
        if (m_created) m_proc.step(tail(270), [&] { m_window.targetList.addItem(tableName); });
    }

    enum class Consent { Keep, Replace, NotAsked };

    // Asks before replacing a table the target list shows. Keep when the user keeps the old
    // table. The name becomes the one the list writes the table with.
    Consent askToReplace(QString& tableName) {
        TableList& target = m_window.targetList;
        int answer = 0;
        const bool listed = m_proc.test(128, [&] {
            return m_profile.existenceIgnoresCase ? ListHasItemNoCase(target, tableName)
                                                  : ListHasItem(target, tableName);
        });
        if (listed) {
            // Ask about the table as the target list writes it. Where the list holds the exact
            // name, that is the table in question.
            if (m_profile.existenceIgnoresCase) {
                m_proc.step(130, [&] {
                    const QString wanted = tableName.toLower();
                    for (int j = 0; j < target.count(); ++j) {
                        if (target.text(j).toLower() == wanted) tableName = target.text(j);
                    }
                });
            }
            m_proc.step(138, [&] {
                answer = m_window.dialogs.msgBox(
                    QStringLiteral("Would you like to overwrite ") + tableName + QLatin1Char('?'),
                    MsgBoxStyle::YesNo, QStringLiteral("Overwrite?"));
            });
        } else {
            m_proc.step(140, [&] { answer = 0; });
        }
        if (m_proc.test(142, [&] { return answer == MsgBoxResult::No; })) return Consent::Keep;
        if (m_proc.test(144, [&] { return answer == MsgBoxResult::Yes; })) return Consent::Replace;
        return Consent::NotAsked;
    }

    // Drops the table the user agreed to replace; the new one takes the source's name.
    void dropOldTable(QString& tableName, const QString& sourceName) {
        const bool dropped = m_proc.step(146, [&] { required(m_target).execute(DropTableSql(tableName)); });
        const QString droppedName = tableName;
        m_proc.step(148, [&] { tableName = sourceName; });
        // The dropped table leaves the list under the name the list wrote it with.
        if (dropped) m_proc.step(150, [&] { ListRemoveItem(m_window.targetList, droppedName); });
    }

    // The statement being composed, as far as it got, or the one composed last: the error box
    // quotes it. It stays from one table to the next.
    QString statementComposed() const {
        if (m_insert) return QString::fromUtf8(m_insert->textSoFar());
        if (m_create) return m_create->textSoFar();
        return QString();
    }

    bool createTable(const QString& tableName, Recordset& rows) {
        m_insert.reset();
        m_create.emplace(m_profile.target, tableName);
        CreateTableStatement& create = *m_create;
        m_longBinary.assign(static_cast<size_t>(std::max(rows.fieldCount(), 0)), false);
        for (int field = 0; field < rows.fieldCount(); ++field) {
            m_proc.step(158, m_window.processEvents);
            QString name;
            std::int16_t type = 0;
            m_proc.step(160, [&] { name = rows.field(field).name; });
            m_proc.step(162, [&] { type = static_cast<std::int16_t>(rows.field(field).type); });
            m_proc.step(164, [&] { create.addColumn(name, type); });
            m_longBinary[field] = type == AdoType::LongVarBinary;
        }
        create.finish();
        m_created = m_proc.step(tail(218), [&] { required(m_target).execute(create.textSoFar()); });
        return m_created;
    }

    void copyRows(const QString& tableName, Recordset& rows) {
        qint64 lastRow = -1;
        m_proc.step(tail(226), [&] { lastRow = rows.recordCount() - 1; });
        const int fields = std::min(rows.fieldCount(), static_cast<int>(m_longBinary.size()));
        const BinaryLiteral binary =
            BinaryLiteralFor(m_profile.target, m_target ? m_target->product() : DatabaseProduct::Unknown);
        // The count sizes the progress bar only: rows that arrived since it was taken are copied
        // too, with the bar standing at 100 %.
        for (qint64 row = 0; !rows.eof() && !stopping(); ++row) {
            m_proc.step(tail(230), m_window.processEvents);
            if (stopping()) break;  // asked for while the window had its turn: no row begun
            m_proc.step(tail(232), [&] { m_window.showProgress(shareDone(row, lastRow)); });
            // Each row's statement is composed afresh in the room the previous one left.
            if (!m_insert) m_insert.emplace(tableName, binary);
            InsertStatement& insert = *m_insert;
            insert.begin();
            for (int field = 0; field < fields; ++field) {
                m_proc.step(tail(238), m_window.processEvents);
                m_proc.step(tail(240), [&] { insert.addValue(rows.field(field).value, m_longBinary[field]); });
            }
            insert.finish();
            bool lost = false;
            m_proc.step(tail(260), [&] {
                try {
                    required(m_target).executeUtf8(insert.utf8());
                } catch (const DbError& failure) {
                    lost = failure.connectionLost();
                    throw;
                }
            });
            // Nothing more can be written to this table: one box, not one for every row left.
            if (lost) break;
            m_proc.step(tail(262), [&] { rows.moveNext(); });
        }
    }

    static double shareDone(qint64 row, qint64 lastRow) {
        if (lastRow < 0) return 100.0;
        return std::min(100.0, static_cast<double>(row + 1) / static_cast<double>(lastRow + 1) * 100.0);
    }

    const TransferProfile& m_profile;
    const TransferLines& m_lines;
    TransferWindow& m_window;
    Procedure m_proc;
    // The statement being composed or composed last: a CREATE TABLE, or a row's INSERT.
    std::optional<CreateTableStatement> m_create;
    std::optional<InsertStatement> m_insert;
    std::unique_ptr<Connection> m_source;
    std::unique_ptr<Connection> m_target;
    bool m_created = false;
    std::vector<bool> m_longBinary;  // per field: the created column holds long binary
};

}  // namespace

void TransferTables(const TransferProfile& profile, TransferWindow& window) {
    Transfer(profile, window).run();
}

}  // namespace tw
