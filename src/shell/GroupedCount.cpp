#include "shell/GroupedCount.h"

#include <cstdlib>

namespace tw {

QString groupedCount(qint64 count) {
    QString digits = QString::number(std::llabs(count));
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
    return count < 0 ? QLatin1Char('-') + digits : digits;
}

}  // namespace tw
