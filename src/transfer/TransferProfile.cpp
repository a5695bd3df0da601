#include "transfer/TransferProfile.h"

#include "db/Dialect.h"

namespace tw {

using enum TransferStep;

const TransferProfile kToOracle{
    .procedure = QStringLiteral("Form2.PushButton3_Click"),
    .source = &sqlAnywhereSide(),
    .destination = &oracleSide(),
    .existenceIgnoresCase = false,
    .eventsPerListItem = true,
    .failuresQuoteStatement = false,
    .nothingCurrent = MissingSelection::Table,
    .making = {{{CreateSource, 100}, {CreateTarget, 104}}},
    .busyLine = 108,
    .opening = {{{OpenTarget, 110}, {OpenSource, 114}}},
    .ending = {{{CloseSource, 280}, {CloseTarget, 282}, {PointerBack, 284}}},
    .nothingCurrentLine = 286,
    .tailShift = 0,
    .lines = StepLines::ofSendButtons(0),
};

const TransferProfile kToSqlAnywhere{
    .procedure = QStringLiteral("Form2.PushButton4_Click"),
    .source = &oracleSide(),
    .destination = &sqlAnywhereSide(),
    .existenceIgnoresCase = true,
    .eventsPerListItem = false,
    .failuresQuoteStatement = true,
    .nothingCurrent = MissingSelection::TableToSend,
    .making = {{{CreateTarget, 100}, {CreateSource, 102}}},
    .busyLine = 110,
    .opening = {{{OpenSource, 112}, {OpenTarget, 116}}},
    .ending = {{{PointerBack, 288}, {CloseTarget, 290}, {CloseSource, 292}}},
    .nothingCurrentLine = 294,
    .tailShift = 8,
    .lines = StepLines::ofSendButtons(8),
};

const TransferProfile& TransferInto(const Side& side) {
    return &side == &oracleSide() ? kToOracle : kToSqlAnywhere;
}

TransferProfile TransferBetween(const Side& from, const Side& to, const Dialect& target) {
    TransferProfile profile = TransferInto(to);
    profile.source = &from;
    profile.destination = &to;
    if (!to.isConfigured)
        profile.existenceIgnoresCase =
            target.sameTableKey(QStringLiteral("A")) == target.sameTableKey(QStringLiteral("a"));
    return profile;
}

}  // namespace tw
