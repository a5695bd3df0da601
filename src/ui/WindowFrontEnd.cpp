#include "ui/WindowFrontEnd.h"

#include <algorithm>

#include "ui/Dialogs.h"

namespace tw {

const QString WindowFrontEnd::kYesToAllButton = QStringLiteral("Yes to All");
const QString WindowFrontEnd::kNoToAllButton = QStringLiteral("No to All");

void WindowFrontEnd::transferBegins() {
    m_replaceAll.reset();
    m_unboxedTables.clear();
    m_summary.clear();
}

bool WindowFrontEnd::mayReplace(const QString& table) {
    if (!m_replaceAll) {
        const int answer = m_dialogs.msgBox(
            QStringLiteral("Would you like to overwrite ") + table + QLatin1Char('?'), MsgBoxStyle::YesNo,
            QStringLiteral("Overwrite?"), {kYesToAllButton, kNoToAllButton});
        if (answer == MsgBoxResult::Extra) {
            m_replaceAll = true;
        } else if (answer == MsgBoxResult::Extra + 1) {
            m_replaceAll = false;
        } else {
            if (answer != MsgBoxResult::Yes) m_summary.addDeclined(table);  // No, or a box closed
            return answer == MsgBoxResult::Yes;
        }
    }
    if (!*m_replaceAll) m_summary.addDeclined(table);
    return *m_replaceAll;
}

// A row's failure offers to box no more of its table's rows; those are then listed in the
// summary instead, and still logged by the front end that wraps this one.
AfterFailure WindowFrontEnd::failed(const Failure& failure) {
    const bool ofARow = failure.row > 0 && !failure.table.isEmpty();
    if (ofARow && m_unboxedTables.contains(failure.table)) {
        m_summary.unboxedRows << TransferSummary::UnboxedRow{failure.table, failure.row, failure.description};
        return AfterFailure::Resume;
    }
    switch (m_errors.ask(failure, ofARow)) {
        case ErrorBox::Answer::Stop:
            return AfterFailure::Stop;
        case ErrorBox::Answer::NoMoreBoxesForTable:
            m_unboxedTables.insert(failure.table);
            break;
        case ErrorBox::Answer::Resume:
            break;
    }
    return AfterFailure::Resume;
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
    m_summary.add(outcome);
    if (outcome.oldTableKept) m_kept << outcome.table + QStringLiteral(": ") + whyOldTableKept(outcome);
}

void WindowFrontEnd::tableNotBegun(const QString& table) { m_summary.addNotBegun(table); }

void WindowFrontEnd::sayTransferSummary() {
    if (!m_summary.isEmpty()) m_dialogs.summaryBox(m_summary);
    m_summary.clear();
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
