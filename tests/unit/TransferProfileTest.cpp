#include <gtest/gtest.h>

#include "transfer/TransferProfile.h"

using namespace tw;

namespace {

template <size_t N>
bool ascending(const std::array<NumberedStep, N>& steps) {
    for (size_t i = 1; i < N; ++i) {
        if (steps[i].line <= steps[i - 1].line) return false;
    }
    return true;
}

}  // namespace

// Each handler runs its steps in the order of the line numbers the user reads; the profiles
// list them in that order, so the order is read where it is written.
TEST(TransferProfile, StepsStandInTheOrderOfTheirLineNumbers) {
    for (const TransferProfile* profile : {&kToOracle, &kToSqlAnywhere}) {
        SCOPED_TRACE(profile->procedure.toStdString());
        EXPECT_TRUE(ascending(profile->making));
        EXPECT_LT(profile->making.back().line, profile->busyLine);
        EXPECT_LT(profile->busyLine, profile->opening.front().line);
        EXPECT_TRUE(ascending(profile->opening));
        // An opening takes two lines: the cursor location, then the open.
        EXPECT_LT(profile->opening.front().line + 2, profile->opening.back().line);
        EXPECT_LT(profile->opening.back().line + 2, 120);  // the list loop
        EXPECT_TRUE(ascending(profile->ending));
        EXPECT_LT(270 + profile->tailShift, profile->ending.front().line);  // after the last table
        EXPECT_LT(profile->ending.back().line, profile->nothingCurrentLine);
    }
}
