#include "shell/NearNames.h"

#include <algorithm>
#include <vector>

namespace tw {

namespace {

// Letters inserted, deleted, changed, or two neighbours swapped, to make one text the other.
int typingDistance(const QString& a, const QString& b) {
    const qsizetype n = a.size(), m = b.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (qsizetype i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
    for (qsizetype j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const int changed = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + changed});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

// More slips are allowed in a longer name: a short one two slips away is another name.
int slipsAllowed(qsizetype length) { return length <= 4 ? 1 : length <= 10 ? 2 : 3; }

}  // namespace

QStringList nearNames(const QString& given, const QStringList& names, int most) {
    const QString folded = given.toCaseFolded();
    QStringList sameButCase;
    std::vector<std::pair<int, QString>> near;
    for (const QString& name : names) {
        const QString other = name.toCaseFolded();
        if (other == folded) {
            if (name != given) sameButCase << name;
            continue;
        }
        // Names of very different lengths are never a slip apart: no need to measure.
        if (std::abs(other.size() - folded.size()) > slipsAllowed(folded.size())) continue;
        const int distance = typingDistance(folded, other);
        if (distance <= slipsAllowed(folded.size())) near.emplace_back(distance, name);
    }
    if (!sameButCase.isEmpty()) return sameButCase.mid(0, most);
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList found;
    for (const auto& [distance, name] : near) {
        if (found.size() == most) break;
        found << name;
    }
    return found;
}

QString didYouMean(const QStringList& names) {
    if (names.isEmpty()) return QString();
    if (names.size() == 1) return QStringLiteral("; did you mean %1?").arg(names.front());
    return QStringLiteral("; did you mean %1 or %2?")
        .arg(names.mid(0, names.size() - 1).join(QStringLiteral(", ")), names.back());
}

}  // namespace tw
