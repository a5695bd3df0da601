#pragma once

#include <QString>

namespace tw {

// The caption of both windows and the section of the settings store.
inline const QString kProductTitle = QStringLiteral("Tablewright");

}  // namespace tw
