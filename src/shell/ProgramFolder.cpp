#include "shell/ProgramFolder.h"

#include <QCoreApplication>

namespace tw {

QString programFolder() { return QCoreApplication::applicationDirPath(); }

}  // namespace tw
