#include "shell/TableNamePattern.h"

#include <QSet>

namespace tw {

bool isTableNamePattern(const QString& argument) {
    return argument.contains(QLatin1Char('*')) || argument.contains(QLatin1Char('?'));
}

// Backtracking on the last star only: a star can always take one more character, so the
// match stays linear in the name's length times the pattern's.
bool matchesTableNamePattern(const QString& pattern, const QString& name) {
    qsizetype p = 0, n = 0, star = -1, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            star = p++;
            resumeAt = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*')) ++p;
    return p == pattern.size();
}

namespace {

bool chooses(const QString& argument, const QString& name) {
    return isTableNamePattern(argument) ? matchesTableNamePattern(argument, name) : argument == name;
}

}  // namespace

QStringList chosenTables(const QStringList& names, const QStringList& arguments,
                         const QStringList& exclusions, QStringList& unmatched) {
    QSet<QString> chosen;
    for (const QString& argument : arguments) {
        bool any = false;
        for (const QString& name : names) {
            if (!chooses(argument, name)) continue;
            any = true;
            chosen.insert(name);
        }
        if (!any) unmatched << argument;
    }
    QStringList inOrder;
    for (const QString& name : names) {
        if (!chosen.contains(name)) continue;
        const bool excluded = std::any_of(exclusions.begin(), exclusions.end(),
                                          [&](const QString& exclusion) { return chooses(exclusion, name); });
        if (!excluded && !inOrder.contains(name)) inOrder << name;
    }
    return inOrder;
}

}  // namespace tw
