#pragma once

#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>

#include "shell/FrontEnd.h"
#include "ui/ErrorBox.h"
#include "ui/TransferSummary.h"

namespace tw {

class Dialogs;

// The windows' front end: questions and notices as message boxes and the input dialog,
// failures in the Application Error box, progress on the window's bar, a transfer log that
// cannot be written in a warning box.
class WindowFrontEnd : public FrontEnd {
public:
    // What the window does for a handler at work; any of them may be left out.
    struct Window {
        std::function<void(bool busy)> showBusy;
        std::function<void(double percent)> showProgress;
        std::function<void(const QString& table, qint64 rowsDone, qint64 rowsTotal)> showRows;
        std::function<void()> resetProgress;  // back to 0 and its resting text
        std::function<void()> processEvents;
        std::function<bool()> stopRequested;
    };

    WindowFrontEnd(Dialogs& dialogs, Window window)
        : m_dialogs(dialogs), m_errors(dialogs), m_window(std::move(window)) {}

    AfterFailure failed(const Failure& failure) override;
    bool mayReplace(const QString& table) override;
    QString newNameFor(const QString& oldName) override;
    void nothingSelected(MissingSelection which) override;
    void progress(const QString& table, qint64 rowsDone, qint64 rowsTotal) override;
    void tableFinished(const TableOutcome& outcome) override;
    void tableNotBegun(const QString& table) override;
    void busy(bool busy) override;
    void progressAtRest() override;
    void letEventsThrough() override;
    bool stopRequested() override;
    void logNotWritten(const QString& path, const QString& reason) override;

    // The overwrite question's answers for the rest of the transfer, beside Yes and No.
    static const QString kYesToAllButton;
    static const QString kNoToAllButton;

    // The notice for a selection the user has not made.
    static QString missingSelectionText(MissingSelection which);
    // A transfer begins: no answer for all tables yet, boxes for every table's rows, an empty
    // summary.
    void transferBegins();
    // The summary box, once a transfer that took up at least one table has ended. Forgets it.
    void sayTransferSummary();
    // Says once, after a transfer, which tables were not replaced and that each old table is
    // as it was; nothing when every replace went through. Forgets them.
    void sayTablesKept();

private:
    Dialogs& m_dialogs;
    ErrorBox m_errors;
    Window m_window;
    QStringList m_kept;                // "TABLE: why" of each table of the transfer that was not replaced
    std::optional<bool> m_replaceAll;  // Yes to All or No to All, for the rest of the transfer
    QSet<QString> m_unboxedTables;     // tables whose refused rows the user wants no more boxes for
    TransferSummary m_summary;
};

}  // namespace tw
