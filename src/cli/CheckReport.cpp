#include "cli/CheckReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/RunSummary.h"
#include "shell/ReportLines.h"

namespace tw::cli {

namespace {

QString outcomeName(CheckVerdict::Outcome outcome) {
    switch (outcome) {
        case CheckVerdict::Outcome::Exact:
            return QStringLiteral("exact");
        case CheckVerdict::Outcome::Changes:
            return QStringLiteral("changes");
        case CheckVerdict::Outcome::Refused:
            return QStringLiteral("refused");
    }
    return QString();
}

QString copyName(const CheckVerdict& verdict) {
    return verdict.faithful ? QStringLiteral("faithful") : QStringLiteral("plain");
}

}  // namespace

bool allExact(const QList<CheckVerdict>& verdicts) {
    for (const CheckVerdict& verdict : verdicts) {
        if (verdict.outcome != CheckVerdict::Outcome::Exact) return false;
    }
    return !verdicts.isEmpty();
}

QString checkText(const QList<CheckVerdict>& verdicts) {
    QList<QStringList> rows{{"type", "from", "to", "copy", "arrives", "how"}};
    for (const CheckVerdict& verdict : verdicts) {
        rows << QStringList{verdict.kind,      visibleText(verdict.from),    visibleText(verdict.to),
                            copyName(verdict), outcomeName(verdict.outcome), visibleText(verdict.detail)};
    }
    return alignedTable(rows, 6);
}

QString checkJson(const QList<CheckVerdict>& verdicts, const QString& first, const QString& second,
                  int exitCode) {
    QJsonArray kinds;
    for (const CheckVerdict& verdict : verdicts) {
        QJsonObject kind{{"type", verdict.kind},
                         {"from", verdict.from},
                         {"to", verdict.to},
                         {"copy", copyName(verdict)},
                         {"arrives", outcomeName(verdict.outcome)}};
        if (!verdict.detail.isEmpty()) kind.insert("how", verdict.detail);
        kinds.append(kind);
    }
    const QJsonObject document{
        {"command", "check"}, {"from", first}, {"to", second}, {"kinds", kinds}, {"exitCode", exitCode}};
    return QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

}  // namespace tw::cli
