#include "shell/Locale.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace tw {

void useDatabaseLocale() {
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace tw
