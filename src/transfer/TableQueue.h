#pragma once

#include <QString>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "db/Dialect.h"

namespace tw {

// A selected table on its way: its name as the target list writes it, the source's name, and
// whether the user agreed to replace (or empty) the table the target list shows. NotNeeded: the
// rows are added to the listed table, which loses nothing.
enum class Consent { Keep, Replace, NotAsked, NotNeeded };
struct TableToCopy {
    QString tableName;
    QString sourceName;
    Consent consent = Consent::NotAsked;
    QString sameTableAs;  // the table of the run the target would take this one for
};

// Names the target database takes for one table (it tells no case apart, say): for each name,
// the one seen first that it would be taken for.
class FirstNames {
public:
    // The name seen before that the target takes for this one; empty when there is none.
    QString earlierThan(const Dialect& target, const QString& name) {
        const auto [first, isFirst] = m_firstByKey.emplace(target.sameTableKey(name), name);
        return isFirst || first->second == name ? QString() : first->second;
    }

private:
    std::map<QString, QString> m_firstByKey;
};

// The tables of a parallel copy, handed out in the list's order to whichever job is free.
class TableQueue {
public:
    explicit TableQueue(std::vector<TableToCopy> tables) : m_tables(std::move(tables)) {}
    int size() const { return static_cast<int>(m_tables.size()); }
    // The next table, in the list's order; one that the target, as the job's connection speaks
    // it, would take for a table handed out before names that table.
    std::optional<TableToCopy> take(const Dialect& target) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_next >= m_tables.size()) return std::nullopt;
        TableToCopy table = m_tables[m_next++];
        table.sameTableAs = m_handedOut.earlierThan(target, table.tableName);
        return table;
    }
    std::optional<TableToCopy> take() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_next >= m_tables.size()) return std::nullopt;
        return m_tables[m_next++];
    }

private:
    std::mutex m_mutex;
    std::vector<TableToCopy> m_tables;
    size_t m_next = 0;
    FirstNames m_handedOut;
};

}  // namespace tw
