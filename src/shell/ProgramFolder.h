#pragma once

#include <QString>

namespace tw {

// The folder that holds the program file; the skin and the hand pointer are looked up in it.
QString programFolder();

// Relative names of the two optional files in the program folder.
inline const QString kSkinFile = QStringLiteral("/x/o.cjs");
inline const QString kHandPointerFile = QStringLiteral("/HAND-M.CUR");

}  // namespace tw
