#pragma once

#include <QByteArray>
#include <QString>

namespace tw {

// The settings file's text as it lies on disk, read without ever waiting: a fifo, a folder or a
// device in the file's place is refused unopened, and a file too large or not text is refused
// unread.
struct SettingsFileText {
    bool exists = false;
    // Why the file cannot be used, in words for the user ("is a folder"); empty when it can.
    QString problem;
    QByteArray text;
};

SettingsFileText readSettingsFile(const QString& path);

}  // namespace tw
