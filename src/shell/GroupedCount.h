#pragma once

#include <QString>

namespace tw {

// A count with thousands separators, "41,000", as progress and summaries show it.
QString groupedCount(qint64 count);

}  // namespace tw
