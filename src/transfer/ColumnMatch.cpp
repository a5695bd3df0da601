#include "transfer/ColumnMatch.h"

namespace tw {

namespace {

// The target column a source column goes into: the one of its exact name, else the only one
// of its name in another case; -1 for none, -2 where several differ only in case.
int targetColumnOf(const QString& name, const TableShape& target) {
    int found = -1;
    for (int index = 0; index < target.columns.size(); ++index) {
        const QString& column = target.columns[index].name;
        if (column == name) return index;
        if (column.compare(name, Qt::CaseInsensitive) == 0) found = found == -1 ? index : -2;
    }
    return found;
}

}  // namespace

ColumnMatch matchColumns(const QStringList& sourceColumns, const TableShape& target) {
    ColumnMatch match;
    QList<bool> given(target.columns.size(), false);
    for (const QString& name : sourceColumns) {
        const int index = targetColumnOf(name, target);
        if (index == -1) match.unmatched << name;
        if (index == -2) match.ambiguous << name;
        if (index < 0) continue;
        given[index] = true;
        ColumnShape column = target.columns[index];
        match.targetNames << column.name;
        column.name = name;
        match.matched.columns << column;
    }
    for (int index = 0; index < target.columns.size(); ++index) {
        const ColumnShape& column = target.columns[index];
        if (!given[index] && !column.nullable && !column.hasDefault && !column.generated)
            match.unfilled << column.name;
    }
    // The staging table keeps the key, so that a row the key refuses is refused for itself.
    QStringList key;
    for (const QString& column : target.primaryKey) {
        const qsizetype at = match.targetNames.indexOf(column);
        if (at < 0) return match;
        key << match.matched.columns[at].name;
    }
    match.matched.primaryKey = key;
    return match;
}

QString ColumnMatch::refusal(const QString& table) const {
    QStringList why;
    if (!unmatched.isEmpty())
        why << QStringLiteral("it has no column for the source's %1")
                   .arg(unmatched.join(QStringLiteral(", ")));
    if (!ambiguous.isEmpty())
        why << QStringLiteral(
                   "more than one of its columns could be the source's %1, told apart by case only")
                   .arg(ambiguous.join(QStringLiteral(", ")));
    if (!unfilled.isEmpty())
        why << QStringLiteral("its %1 must hold a value and the source has no column for it")
                   .arg(unfilled.join(QStringLiteral(", ")));
    if (why.isEmpty()) return QString();
    return QStringLiteral("No rows went into table %1, which is left as it was: %2.")
        .arg(table, why.join(QStringLiteral("; ")));
}

}  // namespace tw
