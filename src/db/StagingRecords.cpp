#include "db/StagingRecords.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "db/ConnectionString.h"
#include "db/StagingName.h"
#include "shell/ProcessRuns.h"
#include "shell/TransferLog.h"

namespace tw {

namespace {

// A record is a few hundred bytes; anything much larger is not one of ours.
constexpr qint64 kLongestRecord = 64 * 1024;

}  // namespace

StagingRecords::StagingRecords(QString folder) : m_folder(std::move(folder)) {}

QString StagingRecords::defaultFolder() { return TransferLog::defaultFolder() + QStringLiteral("/staging"); }

QString StagingRecords::databaseOf(const ConnectionTarget& target, const QString& schema) {
    const QString inSchema = schema.isEmpty() ? QString() : QStringLiteral(" schema ") + schema;
    if (target.isDataSource()) return target.display() + inSchema;
    return connectionStringWithoutPassword(target.text()) + inSchema;
}

QString StagingRecords::pathOf(const QString& database, const QString& table) const {
    const QByteArray key = (database + QLatin1Char('\n') + table).toUtf8();
    return m_folder + QLatin1Char('/') +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32)) +
           QStringLiteral(".json");
}

StagingRecords::Record StagingRecords::ofThisProcess(const QString& database, const QString& table) {
    const qint64 pid = QCoreApplication::applicationPid();
    return {database,
            table,
            StagingName::thisHost(),
            pid,
            bootId(),
            processStartTime(pid),
            QDateTime::currentDateTimeUtc().toString(Qt::ISODate)};
}

bool StagingRecords::add(const Record& record) {
    if (!QDir().mkpath(m_folder)) return false;
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QJsonObject json{
        {"database", record.database}, {"table", record.table}, {"host", record.host},
        {"pid", record.pid},           {"boot", record.boot},   {"processStart", record.processStart},
        {"made", record.made},
    };
    QSaveFile file(pathOf(record.database, record.table));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    file.write(QJsonDocument(json).toJson());
    return file.commit();
}

void StagingRecords::remove(const QString& database, const QString& table) {
    QFile::remove(pathOf(database, table));
}

std::optional<StagingRecords::Record> StagingRecords::find(const QString& database,
                                                           const QString& table) const {
    QFile file(pathOf(database, table));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLongestRecord) return std::nullopt;
    const QJsonObject json = QJsonDocument::fromJson(file.read(kLongestRecord)).object();
    Record record{json["database"].toString(), json["table"].toString(), json["host"].toString(),
                  json["pid"].toInteger(),     json["boot"].toString(),  json["processStart"].toInteger(-1),
                  json["made"].toString()};
    // The file's name is a digest: what it holds must be the very table of the very database.
    if (record.database != database || record.table != table) return std::nullopt;
    return record;
}

bool StagingRecords::isCopysTable(const QString& database, const QString& table) const {
    return StagingName::parse(table) && find(database, table);
}

bool StagingRecords::makerRuns(const Record& record) {
    // A process of another machine (a shared home folder) cannot be asked: it may run.
    if (record.host != StagingName::thisHost()) return true;
    if (record.pid == QCoreApplication::applicationPid() && record.boot == bootId()) {
        return StagingName::claimedHere(record.table);
    }
    if (record.boot != bootId() || !processRuns(record.pid)) return false;
    // The id may have gone to another process since.
    const qint64 start = processStartTime(record.pid);
    return start < 0 || record.processStart < 0 || start == record.processStart;
}

}  // namespace tw
