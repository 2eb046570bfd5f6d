#pragma once
// The few calls of the operating system that Qt does not offer, in one place;
// every other file stays portable. On systems without them the functions
// fall back to what Qt can do.
#include <QString>

namespace fenwa::platform {

// Waits for a lock on an open file (exclusive for writers, shared for
// readers); false when the system refused. The lock goes with unlockFile()
// or when the file is closed.
bool lockFile(int fd, bool exclusive);
void unlockFile(int fd);

// True when the open file is still the one that `path` names (it was not
// replaced by another file meanwhile).
bool isSameFile(int fd, const QString &path);

// Moves `from` to `to` in one step, only when `to` does not exist; false
// (and nothing moved) when it exists or the move failed. Both on one file system.
bool renameNoReplace(const QString &from, const QString &to);

// The operating system's name of the user running the program (empty when
// the system does not say).
QString loginName();

// True when a process of this machine with the id is running (also one of
// another user); on systems without the call, always true.
bool processAlive(qint64 pid);

} // namespace fenwa::platform
