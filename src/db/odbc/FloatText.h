#pragma once

#include <QByteArray>

namespace tw::odbc {

// A double as the fewest digits that read back as the very same double: "0.1", "-0", "1e-06",
// "1.5e+20", "NaN", "Infinity". Plain decimals while the exponent is from -5 to 16, else
// scientific notation; whole numbers have no decimal point.
QByteArray floatText(double value);

}  // namespace tw::odbc
