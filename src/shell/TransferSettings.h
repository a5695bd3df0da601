#pragma once

#include <optional>

namespace tw {

class SettingsStore;

// The settings file's switches for a transfer, read the same way by the send buttons and, as
// defaults under its own options, by the command line.
struct TransferSettings {
    // BatchRows, when it is a number of rows: rows to a batch, 1 (also for BatchRows=0) row by row.
    std::optional<int> batchRows;
    std::optional<bool> faithful;  // FaithfulTables, where it is 1 or 0
    bool replaceInPlace = false;   // ReplaceInPlace=1
};

TransferSettings readTransferSettings(const SettingsStore& settings);

}  // namespace tw
