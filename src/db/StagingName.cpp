#include "db/StagingName.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSysInfo>
#include <mutex>
#include <set>

namespace tw {

namespace {

const QString kMarker = QStringLiteral("~tw-stage-");
// Hex digits of the digest that tells apart two names cut to the same start.
constexpr int kDigestDigits = 8;

// The name cut to at most the bytes given, never in the middle of a character.
QString cutToBytes(const QString& name, qsizetype bytes) {
    QString cut = name;
    while (!cut.isEmpty() && cut.toUtf8().size() > bytes) {
        cut.chop(cut.size() >= 2 && cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
    }
    return cut;
}

QString digestOf(const QString& text, int digits) {
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(digits));
}

// The table's part of its staging name: the whole name where it fits, else as much of its
// start as leaves room for "~" and a digest of the whole name, so that two names that share
// their start never share a staging name.
QString tablePartFor(const QString& table, const QString& host, qint64 pid, int limitBytes) {
    if (limitBytes <= 0) return table;
    const qsizetype room = limitBytes - StagingName{QString(), host, pid}.text().toUtf8().size();
    if (table.toUtf8().size() <= room) return table;
    const QString digest = digestOf(table, kDigestDigits);
    if (room <= kDigestDigits) return digest.left(std::max<qsizetype>(room, 0));
    return cutToBytes(table, room - kDigestDigits - 1) + QLatin1Char('~') + digest;
}

// The staging names this process fills now, with the table each is for.
std::mutex claimedLock;
std::set<QString>& claimedNames() {
    static std::set<QString> names;
    return names;
}

}  // namespace

QString StagingName::text() const {
    return tablePart + kMarker + host + QLatin1Char('-') + QString::number(pid);
}

QString StagingName::asideText() const {
    return tablePart + QStringLiteral("~tw-kept-") + host + QLatin1Char('-') + QString::number(pid);
}

QString StagingName::thisHost() {
    // The machine's id and its host name together: host names are often alike ("localhost"),
    // and containers made from one image share the id.
    static const QString host = digestOf(QString::fromLatin1(QSysInfo::machineUniqueId().toHex()) +
                                             QLatin1Char('/') + QSysInfo::machineHostName(),
                                         kHostDigits);
    return host;
}

StagingName StagingName::forTable(const QString& table, int limitBytes) {
    StagingName staging{table, thisHost(), QCoreApplication::applicationPid()};
    staging.tablePart = tablePartFor(table, staging.host, staging.pid, limitBytes);
    return staging;
}

std::optional<StagingName> StagingName::parse(const QString& name) {
    static const QRegularExpression tail(
        QStringLiteral("~tw-stage-([0-9a-f]{%1})-([1-9][0-9]{0,9})$").arg(kHostDigits));
    const QRegularExpressionMatch match = tail.match(name);
    if (!match.hasMatch()) return std::nullopt;
    return StagingName{name.left(match.capturedStart()), match.captured(1), match.captured(2).toLongLong()};
}

bool StagingName::isFor(const QString& name, const QString& table, int limitBytes) {
    const std::optional<StagingName> staging = parse(name);
    return staging && staging->tablePart == tablePartFor(table, staging->host, staging->pid, limitBytes);
}

bool StagingName::claim(const QString& name) {
    const std::lock_guard<std::mutex> lock(claimedLock);
    return claimedNames().insert(name).second;
}

void StagingName::release(const QString& name) {
    const std::lock_guard<std::mutex> lock(claimedLock);
    claimedNames().erase(name);
}

bool StagingName::claimedHere(const QString& name) {
    const std::lock_guard<std::mutex> lock(claimedLock);
    return claimedNames().count(name) > 0;
}

}  // namespace tw
