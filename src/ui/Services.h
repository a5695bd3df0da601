#pragma once

#include <QString>
#include <functional>

namespace tw {

class ConnectionFactory;
class Dialogs;
class SettingsStore;
class TransferLog;

// What the windows work with from outside: remembered values, the boxes they show, the
// database connections they make, the folder the program's optional files lie in, how a long
// handler lets the window process its events, how the program ends, and the transfer log.
struct Services {
    SettingsStore& settings;
    Dialogs& dialogs;
    ConnectionFactory& connections;
    QString programFolder;
    std::function<void()> processEvents = [] {};
    std::function<void()> endProgram = [] {};
    TransferLog* log = nullptr;  // where sends, deletes and renames are recorded, if anywhere
};

}  // namespace tw
