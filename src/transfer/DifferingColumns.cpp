#include "transfer/DifferingColumns.h"

#include <algorithm>
#include <set>
#include <vector>

namespace tw {

namespace {

// Whether the two rows hold the same value in the column, compared as the verification does
// (10.50 and 10.5 alike in a column of numbers), or as shown where that is not known.
bool sameValue(const RowDifference& one, const RowDifference& other, qsizetype column) {
    if (column < one.compared.size() && column < other.compared.size())
        return one.compared[column] == other.compared[column];
    return one.values[column] == other.values[column];
}

}  // namespace

QStringList differingColumns(const QStringList& columns, const QList<RowDifference>& differences) {
    // Each source row is set beside at most one target row, and only one that shares a value
    // with it, the most alike pairs first: a row missing from the target beside a row changed
    // there is not the changed row's pair, and names no column.
    struct Pair {
        qsizetype alike;
        qsizetype source;
        qsizetype target;
    };
    std::vector<Pair> pairs;
    for (qsizetype s = 0; s < differences.size(); ++s) {
        if (!differences[s].onlyInSource) continue;
        for (qsizetype t = 0; t < differences.size(); ++t) {
            if (differences[t].onlyInSource) continue;
            qsizetype alike = 0;
            for (qsizetype i = 0; i < differences[s].values.size() && i < differences[t].values.size(); ++i)
                alike += sameValue(differences[s], differences[t], i);
            if (alike > 0) pairs.push_back({alike, s, t});
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const Pair& one, const Pair& other) { return one.alike > other.alike; });
    std::set<qsizetype> differing;
    std::set<qsizetype> paired;
    for (const Pair& pair : pairs) {
        if (paired.count(pair.source) || paired.count(pair.target)) continue;
        paired.insert(pair.source);
        paired.insert(pair.target);
        const RowDifference& source = differences[pair.source];
        const RowDifference& target = differences[pair.target];
        for (qsizetype i = 0; i < source.values.size() && i < target.values.size(); ++i) {
            if (!sameValue(source, target, i)) differing.insert(i);
        }
    }
    QStringList named;
    for (const qsizetype i : differing) {
        if (i < columns.size()) named << columns[i];
    }
    return named;
}

}  // namespace tw
