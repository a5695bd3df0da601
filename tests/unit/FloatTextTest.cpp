// Doubles read from a database as the shortest text that reads back as the same double.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "db/odbc/FloatText.h"

using tw::odbc::floatText;

namespace {

struct Written {
    double value;
    const char* text;
};
void PrintTo(const Written& written, std::ostream* out) { *out << written.text; }

class FloatText : public ::testing::TestWithParam<Written> {};

}  // namespace

TEST_P(FloatText, IsTheShortestTextOfTheSameDouble) {
    const Written& written = GetParam();
    const QByteArray text = floatText(written.value);
    EXPECT_EQ(text, written.text);
    if (std::isfinite(written.value)) {
        const double back = std::strtod(text.constData(), nullptr);
        EXPECT_EQ(std::memcmp(&back, &written.value, sizeof back), 0) << "reads back as " << back;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, FloatText,
                         ::testing::Values(
                             // The digits a sum needs, and fewer where fewer read back the same.
                             Written{0.1 + 0.2, "0.30000000000000004"}, Written{0.1, "0.1"},
                             Written{-123.456, "-123.456"},
                             // A single's value read as a double keeps its binary digits.
                             Written{static_cast<double>(0.1f), "0.10000000149011612"},
                             // Whole numbers without a point; the sign of zero kept.
                             Written{1.0, "1"}, Written{0.0, "0"}, Written{-0.0, "-0"},
                             Written{9007199254740993.0, "9007199254740992"},
                             // Plain from an exponent of -5 to one of 16, scientific beyond.
                             Written{1e-5, "0.00001"}, Written{1e-6, "1e-06"}, Written{-2.5e-7, "-2.5e-07"},
                             Written{1e16, "10000000000000000"},
                             Written{12345678901234567.0, "12345678901234568"}, Written{1e17, "1e+17"},
                             Written{1.5e20, "1.5e+20"}, Written{DBL_MAX, "1.7976931348623157e+308"},
                             Written{std::numeric_limits<double>::denorm_min(), "5e-324"},
                             // What is no number is named.
                             Written{std::numeric_limits<double>::quiet_NaN(), "NaN"},
                             Written{std::numeric_limits<double>::infinity(), "Infinity"},
                             Written{-std::numeric_limits<double>::infinity(), "-Infinity"}));
