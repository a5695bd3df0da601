#include "transfer/JobFrontEnd.h"

namespace tw {

namespace {

template <typename Call>
auto locked(std::mutex& lock, Call&& call) {
    const std::lock_guard<std::mutex> held(lock);
    return call();
}

// A table's rows go on every 64th, its first and its last: more than a front end shows.
bool passedOn(qint64 rowsDone, qint64 rowsTotal) {
    return rowsDone <= 1 || rowsDone % 64 == 0 || rowsDone == rowsTotal;
}

}  // namespace

AfterFailure JobFrontEnd::failed(const Failure& failure) {
    ++m_failures;
    return locked(m_lock, [&] { return m_shared.failed(failure); });
}

bool JobFrontEnd::mayReplace(const QString& table) {
    return locked(m_lock, [&] { return m_shared.mayReplace(table); });
}

QString JobFrontEnd::newNameFor(const QString& oldName) {
    return locked(m_lock, [&] { return m_shared.newNameFor(oldName); });
}

void JobFrontEnd::nothingSelected(MissingSelection which) {
    locked(m_lock, [&] { m_shared.nothingSelected(which); });
}

void JobFrontEnd::progress(const QString& table, qint64 rowsDone, qint64 rowsTotal) {
    if (!passedOn(rowsDone, rowsTotal)) return;
    locked(m_lock, [&] { m_shared.progress(table, rowsDone, rowsTotal); });
}

void JobFrontEnd::verifying(const QString& table, qint64 rowsRead, qint64 rowsTotal) {
    if (!passedOn(rowsRead, rowsTotal)) return;
    locked(m_lock, [&] { m_shared.verifying(table, rowsRead, rowsTotal); });
}

void JobFrontEnd::tableFinished(const TableOutcome& outcome) {
    locked(m_lock, [&] { m_shared.tableFinished(outcome); });
}

void JobFrontEnd::tableNotBegun(const QString& table) {
    locked(m_lock, [&] { m_shared.tableNotBegun(table); });
}

void JobFrontEnd::leftoverRemoved(const QString& table, const QString& leftover) {
    locked(m_lock, [&] { m_shared.leftoverRemoved(table, leftover); });
}

void JobFrontEnd::tableDropped(const QString& table) {
    locked(m_lock, [&] { m_shared.tableDropped(table); });
}

void JobFrontEnd::tableRenamed(const QString& oldName, const QString& newName) {
    locked(m_lock, [&] { m_shared.tableRenamed(oldName, newName); });
}

void JobFrontEnd::logNotWritten(const QString& path, const QString& reason) {
    locked(m_lock, [&] { m_shared.logNotWritten(path, reason); });
}

void JobFrontEnd::busy(bool busy) {
    locked(m_lock, [&] { m_shared.busy(busy); });
}

void JobFrontEnd::progressAtRest() {
    locked(m_lock, [&] { m_shared.progressAtRest(); });
}

void JobFrontEnd::letEventsThrough() {
    if (m_unlockedBetweenRows) return m_shared.letEventsThrough();
    locked(m_lock, [&] { m_shared.letEventsThrough(); });
}

bool JobFrontEnd::stopRequested() {
    if (m_unlockedBetweenRows) return m_shared.stopRequested();
    return locked(m_lock, [&] { return m_shared.stopRequested(); });
}

bool JobFrontEnd::asksBetweenRowsFromAnyThread() const { return m_unlockedBetweenRows; }

}  // namespace tw
