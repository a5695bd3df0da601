#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <optional>

namespace tw {

// Small files the program keeps for itself in the user's state folder, which another user who
// can write to the folder could replace by a link to one of the user's files or by a fifo that
// blocks whoever opens it: only a regular file is read or replaced, no link is followed, and
// nothing is waited on.

// What reading one gave: its bytes, or why it was not read (empty where there is no file).
struct OwnFileRead {
    std::optional<QByteArray> bytes;
    QString refusal;
};
// At most `longest` bytes; a longer file is refused.
OwnFileRead readOwnFile(const QString& path, qint64 longest);

// Puts the bytes in place of the file as a whole, readable by its owner only: written aside
// and renamed over it, so that a reader sees the old file or the new one. What stands in the
// file's place and is no regular file is refused, never followed. Empty when written, else
// why not.
QString replaceOwnFile(const QString& path, const QByteArray& bytes);

// The mode of every file the program keeps for itself: its owner's only.
inline constexpr mode_t kOwnerOnly = 0600;
// Why open() refused one of the program's files (errno), in the user's words.
QString ownFileOpenError(int error);
// Writes all of the bytes, also when the system takes them in parts. False on a failed write.
bool writeAllTo(int fd, const QByteArray& bytes);

}  // namespace tw
