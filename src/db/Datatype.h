#pragma once

#include <QString>
#include <cstdint>

namespace tw {

// The name of an ADO data type code in ADO's enumeration ("adVarChar"); the empty text for
// any code that has no name there, array types included.
QString AdoTypeName(std::int16_t code);

}  // namespace tw
