#include "shell/TransferSettings.h"

#include <algorithm>

#include "shell/SettingsStore.h"

namespace tw {

TransferSettings readTransferSettings(const SettingsStore& settings) {
    const auto value = [&](const QString& key) {
        return settings.value(kSettingsApplication, kSettingsSection, key).trimmed();
    };
    TransferSettings read;
    bool number = false;
    const int rows = value(SettingKey::BatchRows).toInt(&number);
    // 0 asks for the row-by-row copy, which is a batch of one row.
    if (number && rows >= 0) read.batchRows = std::max(rows, 1);
    const QString faithful = value(SettingKey::FaithfulTables);
    if (faithful == QLatin1String("1") || faithful == QLatin1String("0"))
        read.faithful = faithful == QLatin1String("1");
    read.replaceInPlace = value(SettingKey::ReplaceInPlace) == QLatin1String("1");
    return read;
}

}  // namespace tw
