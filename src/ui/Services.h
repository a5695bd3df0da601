#pragma once

#include <QString>

namespace tw {

class ConnectionFactory;
class Dialogs;
class SettingsStore;

// What the windows work with from outside: remembered values, the boxes they show, the
// database connections they make, and the folder the program's optional files lie in.
struct Services {
    SettingsStore& settings;
    Dialogs& dialogs;
    ConnectionFactory& connections;
    QString programFolder;
};

}  // namespace tw
