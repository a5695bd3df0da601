#include "db/StagingName.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSysInfo>

namespace tw {

namespace {

const QString kMarker = QStringLiteral("~tw-stage-");

// The name cut to at most the bytes given, never in the middle of a character.
QString cutToBytes(const QString& name, qsizetype bytes) {
    QString cut = name;
    while (!cut.isEmpty() && cut.toUtf8().size() > bytes) {
        cut.chop(cut.size() >= 2 && cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
    }
    return cut;
}

// As much of the table's name as leaves room for the rest of the staging name.
QString tablePartFor(const QString& table, const QString& host, qint64 pid, int limitBytes) {
    if (limitBytes <= 0) return table;
    const qsizetype rest = StagingName{QString(), host, pid}.text().toUtf8().size();
    return cutToBytes(table, std::max<qsizetype>(limitBytes - rest, 0));
}

}  // namespace

QString StagingName::text() const {
    return tablePart + kMarker + host + QLatin1Char('-') + QString::number(pid);
}

QString StagingName::thisHost() {
    const QByteArray name = QSysInfo::machineHostName().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(4));
}

StagingName StagingName::forTable(const QString& table, int limitBytes) {
    StagingName staging{table, thisHost(), QCoreApplication::applicationPid()};
    staging.tablePart = tablePartFor(table, staging.host, staging.pid, limitBytes);
    return staging;
}

std::optional<StagingName> StagingName::parse(const QString& name) {
    static const QRegularExpression tail(QStringLiteral("~tw-stage-([0-9a-f]{4})-([0-9]+)$"));
    const QRegularExpressionMatch match = tail.match(name);
    if (!match.hasMatch()) return std::nullopt;
    return StagingName{name.left(match.capturedStart()), match.captured(1), match.captured(2).toLongLong()};
}

bool StagingName::isFor(const QString& name, const QString& table, int limitBytes) {
    const std::optional<StagingName> staging = parse(name);
    return staging && staging->tablePart == tablePartFor(table, staging->host, staging->pid, limitBytes);
}

}  // namespace tw
