#include "db/odbc/FloatText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace tw::odbc {

QByteArray floatText(double value) {
    if (std::isnan(value)) return QByteArrayLiteral("NaN");
    if (std::isinf(value)) return value < 0 ? QByteArrayLiteral("-Infinity") : QByteArrayLiteral("Infinity");
    // to_chars without a precision gives the shortest digits that read back as the same value,
    // in either notation; the scientific form tells the exponent that picks between them.
    char text[64];
    const std::to_chars_result scientific =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    const char* e = static_cast<const char*>(std::memchr(text, 'e', scientific.ptr - text));
    int exponent = 0;
    if (e) std::from_chars(e + (e[1] == '+' ? 2 : 1), scientific.ptr, exponent);
    if (exponent < -5 || exponent > 16) return QByteArray(text, scientific.ptr - text);
    const std::to_chars_result fixed =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return QByteArray(text, fixed.ptr - text);
}

}  // namespace tw::odbc
