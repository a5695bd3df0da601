#include "shell/Locale.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace tw {

void useUtf8Locale() {
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_ALL, "C.UTF-8");
}

}  // namespace tw
