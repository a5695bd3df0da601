#include "shell/TableList.h"

namespace tw {

bool tableNameLess(const QString& left, const QString& right) {
    const int folded = QString::compare(left, right, Qt::CaseInsensitive);
    if (folded != 0) return folded < 0;
    return QString::compare(left, right, Qt::CaseSensitive) < 0;
}

}  // namespace tw
