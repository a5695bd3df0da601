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

    // Adds the lines at the end. False when they could not be written, with the reason in
    // lastError(); the work goes on. Only a regular file of the user's own is written to, never
    // through a symbolic link, and it is left readable by its owner only.
    bool append(const QStringList& lines);
    // Why the last append failed, in words for the user.
    QString lastError() const { return m_lastError; }

    // Whether the user has been told that the log cannot be written: once a run is enough.
    bool failureTold() const { return m_failureTold; }
    void setFailureTold() { m_failureTold = true; }

private:
    bool fail(const QString& reason);

    QString m_folder;
    QString m_lastError;
    bool m_failureTold = false;
};

}  // namespace tw
