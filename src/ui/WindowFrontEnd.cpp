#include "ui/WindowFrontEnd.h"

#include <algorithm>

#include "ui/Dialogs.h"

namespace tw {

bool WindowFrontEnd::mayReplace(const QString& table) {
    return m_dialogs.msgBox(QStringLiteral("Would you like to overwrite ") + table + QLatin1Char('?'),
                            MsgBoxStyle::YesNo, QStringLiteral("Overwrite?")) == MsgBoxResult::Yes;
}

QString WindowFrontEnd::newNameFor(const QString& oldName) {
    return m_dialogs.inputBox(QStringLiteral("Enter new name of ") + oldName + QLatin1Char(':'), QString(),
                              oldName);
}

QString WindowFrontEnd::missingSelectionText(MissingSelection which) {
    switch (which) {
        case MissingSelection::Table:
            return QStringLiteral("Please select a table");
        case MissingSelection::TableToSend:
            return QStringLiteral("Please select a table to send.");
        case MissingSelection::TableToRename:
            return QStringLiteral("Please select a table to rename.");
        case MissingSelection::JustOneTableToRename:
            return QStringLiteral("Please select just one table to rename.");
    }
    return QString();
}

void WindowFrontEnd::nothingSelected(MissingSelection which) {
    m_dialogs.msgBox(missingSelectionText(which));
}

void WindowFrontEnd::tableFinished(const TableOutcome& outcome) {
    if (!outcome.oldTableKept) return;
    m_kept << outcome.table +
                  (outcome.swapRefused ? QStringLiteral(": every row was copied, but the database "
                                                        "refused to put the new table in its place")
                   : outcome.stopped   ? QStringLiteral(": the transfer was stopped before its last row")
                                       : QStringLiteral(": not every row was copied"));
}

void WindowFrontEnd::sayTablesKept() {
    if (m_kept.isEmpty()) return;
    m_dialogs.msgBox(QStringLiteral("These tables were not replaced; each old table is as it was:\n\n") +
                         m_kept.join(QLatin1Char('\n')),
                     MsgBoxStyle::Exclamation);
    m_kept.clear();
}

void WindowFrontEnd::logNotWritten(const QString& path, const QString& reason) {
    m_dialogs.msgBox(
        QStringLiteral("The transfer log %1 cannot be written: %2.\r\rThe work goes on without it.")
            .arg(path, reason),
        MsgBoxStyle::Exclamation);
}

// The share of the counted rows done, never past 100 %: rows that came after the count keep
// the bar full.
void WindowFrontEnd::progress(const QString& table, qint64 rowsDone, qint64 rowsTotal) {
    if (m_window.showRows) m_window.showRows(table, rowsDone, rowsTotal);
    if (!m_window.showProgress) return;
    const double percent =
        rowsTotal <= 0
            ? 100.0
            : std::min(100.0, static_cast<double>(rowsDone) / static_cast<double>(rowsTotal) * 100.0);
    m_window.showProgress(percent);
}

void WindowFrontEnd::busy(bool busy) {
    if (m_window.showBusy) m_window.showBusy(busy);
}

void WindowFrontEnd::progressAtRest() {
    if (m_window.resetProgress) m_window.resetProgress();
}

void WindowFrontEnd::letEventsThrough() {
    if (m_window.processEvents) m_window.processEvents();
}

bool WindowFrontEnd::stopRequested() { return m_window.stopRequested && m_window.stopRequested(); }

}  // namespace tw
