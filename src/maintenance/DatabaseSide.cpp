#include "maintenance/DatabaseSide.h"

#include "db/Side.h"

namespace tw {

const DatabaseSide kSybaseSide{QStringLiteral("Form2.PushButton1_Click"),
                               QStringLiteral("Form2.PushButton6_Click"), &sqlAnywhereSide(), 0};

const DatabaseSide kOracleSide{QStringLiteral("Form2.PushButton5_Click"),
                               QStringLiteral("Form2.PushButton7_Click"), &oracleSide(), -2};

DatabaseSide ButtonsOf(const Side& side) {
    if (&side == &oracleSide()) return kOracleSide;
    DatabaseSide buttons = kSybaseSide;
    buttons.database = &side;
    return buttons;
}

}  // namespace tw
