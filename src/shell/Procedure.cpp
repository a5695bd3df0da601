#include "shell/Procedure.h"

#include "shell/CodedError.h"

namespace tw {

Procedure::Procedure(FailureReport& report, QString name) : m_report(report), m_name(std::move(name)) {}

void Procedure::report(int line, const std::exception& failure) {
    Failure reported;
    reported.procedure = m_name;
    reported.line = line;
    const QString said = QString::fromUtf8(failure.what());
    reported.description = m_shownText ? m_shownText(said) : said;
    if (reported.description != said) reported.said = said;
    if (const auto* coded = dynamic_cast<const CodedError*>(&failure)) {
        reported.sqlState = coded->sqlState();
        reported.nativeError = coded->nativeError();
    }
    if (m_statement) {
        reported.composing = m_statement();
        if (m_quotesStatement) reported.statement = reported.composing;
    }
    if (m_sentStatement) {
        const QString sent = m_sentStatement();
        if (sent != reported.composing) reported.sent = sent;
    }
    reported.table = m_table;
    reported.row = m_row;
    reported.stopOffered = m_stopOffered;
    if (m_report.failed(reported) == AfterFailure::Stop && m_stopOffered) m_stopRequested = true;
}

}  // namespace tw
