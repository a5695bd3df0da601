#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// The plain-text record of what the sends, deletes and renames did, in the user's state
// folder: appended to, readable by its owner only, and never given a password.
class TransferLog {
public:
    // folder: where the file lives; by default the user's state folder for the program.
    explicit TransferLog(QString folder = defaultFolder());

    // $XDG_STATE_HOME/tablewright, else ~/.local/state/tablewright.
    static QString defaultFolder();
    QString filePath() const;

    // Adds the lines at the end. False when they could not be written; the work goes on.
    bool append(const QStringList& lines);

private:
    QString m_folder;
};

}  // namespace tw
