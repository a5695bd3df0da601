#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// A table argument with * (any characters, none included) or ? (one character) in it stands
// for every table whose whole name it matches, case and all; every other character stands for
// itself ("SALES_*": the underscore is no wildcard, as it would be in SQL's LIKE).
bool isTableNamePattern(const QString& argument);
bool matchesTableNamePattern(const QString& pattern, const QString& name);

// The names the arguments choose, in the list's order, each once: a name as it is, a pattern
// as every name it matches; none that an exclusion matches. Each argument that chooses no
// name at all is put in `unmatched`.
QStringList chosenTables(const QStringList& names, const QStringList& arguments,
                         const QStringList& exclusions, QStringList& unmatched);

}  // namespace tw
