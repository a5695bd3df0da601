#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <mutex>

#include "shell/SortedTableList.h"

namespace tw {

class TableList;

// The source list's items as a copy takes them: read once as the copy begins, in the list's
// order, each selected or not. The windows keep their lists still while a copy runs (every
// command disabled while it lets events through), so this is the list a copy would read as it
// went.
struct SourceTables {
    QStringList names;
    QList<bool> selected;
    bool noneCurrent = false;  // no item of the list is current

    static SourceTables of(const TableList& list);
    int count() const { return static_cast<int>(names.size()); }
};

// The target's tables by name as a copy sees them, shared by its jobs: read from the target
// list as the copy begins and kept as tables are dropped and made. Each change goes on to the
// list the copy was given, which the window or the command line shows.
class TargetTables {
public:
    explicit TargetTables(TableList& shown);

    // Whether a table of this name is listed, exactly or in any case.
    bool has(const QString& name, bool ignoringCase) const;
    // The name as the list writes it, where a table's name meets it in any case.
    QString listedName(const QString& name) const;
    void add(const QString& name);
    void remove(const QString& name);

private:
    mutable std::mutex m_lock;
    SortedTableList m_names;
    TableList& m_shown;
};

}  // namespace tw
