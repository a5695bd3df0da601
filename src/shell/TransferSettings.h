#pragma once

#include <optional>

namespace tw {

class SettingsStore;

// The settings file's switches for a transfer, read the same way by the send buttons and, as
// defaults under its own options, by the command line.
struct TransferSettings {
    std::optional<int> batchRows;  // BatchRows, when it is a number of rows (1 or more)
    std::optional<bool> faithful;  // FaithfulTables, where it is 1 or 0
    bool replaceInPlace = false;   // ReplaceInPlace=1
};

TransferSettings readTransferSettings(const SettingsStore& settings);

}  // namespace tw
