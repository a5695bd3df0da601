#pragma once

#include <mutex>

#include "shell/FrontEnd.h"

namespace tw {

// One job's way to the front end that several jobs of a copy share: every call goes through
// one lock, so the front end hears one thing at a time, in the order the jobs say it, except
// the questions between rows where the front end takes them from any thread. A table's
// progress goes on every 64th row, its first and its last, which is more than a front end
// shows. Counts the failures of its own job.
class JobFrontEnd : public FrontEnd {
public:
    JobFrontEnd(FrontEnd& shared, std::mutex& lock)
        : m_shared(shared), m_lock(lock), m_unlockedBetweenRows(shared.asksBetweenRowsFromAnyThread()) {}

    int failures() const { return m_failures; }

    AfterFailure failed(const Failure& failure) override;
    bool mayReplace(const QString& table) override;
    QString newNameFor(const QString& oldName) override;
    void nothingSelected(MissingSelection which) override;
    void progress(const QString& table, qint64 rowsDone, qint64 rowsTotal) override;
    void verifying(const QString& table, qint64 rowsRead, qint64 rowsTotal) override;
    void tableFinished(const TableOutcome& outcome) override;
    void tableNotBegun(const QString& table) override;
    void tableDropped(const QString& table) override;
    void leftoverRemoved(const QString& table, const QString& leftover) override;
    void tableRenamed(const QString& oldName, const QString& newName) override;
    void logNotWritten(const QString& path, const QString& reason) override;
    void busy(bool busy) override;
    void progressAtRest() override;
    void letEventsThrough() override;
    bool stopRequested() override;
    bool asksBetweenRowsFromAnyThread() const override;

private:
    FrontEnd& m_shared;
    std::mutex& m_lock;
    const bool m_unlockedBetweenRows;
    int m_failures = 0;
};

}  // namespace tw
