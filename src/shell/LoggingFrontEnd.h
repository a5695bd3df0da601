#pragma once

#include <QElapsedTimer>

#include "shell/FrontEnd.h"

namespace tw {

class TransferLog;

// Puts a front end's run in the transfer log as it goes: a heading with the time and what was
// asked, each table's outcome, each failure, each delete and rename. Everything is passed on to
// the front end it wraps, which answers and tells the user as before; when the log cannot be
// written, the front end hears of it once a run.
class LoggingFrontEnd : public FrontEnd {
public:
    LoggingFrontEnd(FrontEnd& inner, TransferLog* log, const QString& heading);

    AfterFailure failed(const Failure& failure) override;
    bool mayReplace(const QString& table) override;
    QString newNameFor(const QString& oldName) override { return m_inner.newNameFor(oldName); }
    void nothingSelected(MissingSelection which) override;
    void progress(const QString& table, qint64 rowsDone, qint64 rowsTotal) override {
        m_inner.progress(table, rowsDone, rowsTotal);
    }
    void verifying(const QString& table, qint64 rowsRead, qint64 rowsTotal) override {
        m_inner.verifying(table, rowsRead, rowsTotal);
    }
    void tableFinished(const TableOutcome& outcome) override;
    void tableNotBegun(const QString& table) override;
    void tableDropped(const QString& table) override;
    void leftoverRemoved(const QString& table, const QString& leftover) override;
    void tableRenamed(const QString& oldName, const QString& newName) override;
    void busy(bool busy) override { m_inner.busy(busy); }
    void progressAtRest() override { m_inner.progressAtRest(); }
    void letEventsThrough() override { m_inner.letEventsThrough(); }
    bool stopRequested() override { return m_inner.stopRequested(); }
    bool asksBetweenRowsFromAnyThread() const override { return m_inner.asksBetweenRowsFromAnyThread(); }
    void logNotWritten(const QString& path, const QString& reason) override {
        m_inner.logNotWritten(path, reason);
    }

private:
    void write(const QString& line);
    void append(const QString& line);

    FrontEnd& m_inner;
    TransferLog* m_log;
};

}  // namespace tw
