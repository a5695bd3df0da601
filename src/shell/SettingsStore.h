#pragma once

#include <QString>

#include "shell/ProductTitle.h"

namespace tw {

// Where the four connection values are remembered: application, section, key.
inline const QString kSettingsApplication = QStringLiteral("Quillmark");
inline const QString kSettingsSection = kProductTitle;

namespace SettingKey {
inline const QString OracleServer = QStringLiteral("OracleServer");
inline const QString OracleUser = QStringLiteral("OracleUser");
inline const QString OraclePassword = QStringLiteral("OraclePassword");
inline const QString DataSourceName = QStringLiteral("DataSourceName");
// Rows to a batch for the send buttons; absent, batches of 1000; 0 or 1, the row-by-row copy.
inline const QString BatchRows = QStringLiteral("BatchRows");
// 1: the send buttons make each table with its source's column types, NOT NULL and primary key.
inline const QString FaithfulTables = QStringLiteral("FaithfulTables");
// 1: a replace drops the old table first, for a target without room for two copies of it.
inline const QString ReplaceInPlace = QStringLiteral("ReplaceInPlace");
// The Oracle connection string as the user's driver needs it, with {SID}, {User} and
// {Password} for the connection window's values; absent, the program's own string.
inline const QString OracleConnectionString = QStringLiteral("OracleConnectionString");
// The tables window's size and place when it was last hidden or closed, as Qt keeps a window's
// geometry (base64); absent, it starts at its design size, centred.
inline const QString TablesWindowPlace = QStringLiteral("TablesWindowPlace");
}  // namespace SettingKey

// Per-user string values kept between runs: one INI file per application name, one group per
// section. Values are kept exactly as given, and a value written by hand reads as written even
// where Qt's INI reader would cut or split it. The password is among them in clear text, so the
// file and any folder created for it are readable by their owner only.
class SettingsStore {
public:
    // folder: where the files live; by default the user's configuration folder.
    explicit SettingsStore(QString folder = defaultFolder());

    // False when the application's file is there but cannot be read (a folder in its place, no
    // permission, not an INI file); its values then read as absent.
    bool isReadable(const QString& application) const { return problem(application).isEmpty(); }
    // Why the application's file cannot be read, in words for the user ("is a folder"); empty
    // when it can, or when there is none yet.
    QString problem(const QString& application) const;

    // The stored value, or the empty string when the key is absent.
    QString value(const QString& application, const QString& section, const QString& key) const;

    // Stores the value and writes it to disk at once. False when it could not be written, and
    // when a file that cannot be read is in the way: it is left as it is.
    bool save(const QString& application, const QString& section, const QString& key, const QString& value);

    QString filePath(const QString& application) const;
    static QString defaultFolder();

private:
    QString m_folder;
};

}  // namespace tw
