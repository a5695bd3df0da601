#include "maintenance/DatabaseSide.h"

#include "db/Side.h"

namespace tw {

const DatabaseSide kSybaseSide{QStringLiteral("Form2.PushButton1_Click"),
                               QStringLiteral("Form2.PushButton6_Click"), &sqlAnywhereSide(), 0};

const DatabaseSide kOracleSide{QStringLiteral("Form2.PushButton5_Click"),
                               QStringLiteral("Form2.PushButton7_Click"), &oracleSide(), -2};

const DatabaseSide& ButtonsOf(const Side& side) { return &side == &oracleSide() ? kOracleSide : kSybaseSide; }

}  // namespace tw
