#include "common/Platform.h"

#include <QFile>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fenwa::platform {

#if defined(Q_OS_UNIX)

bool lockFile(int fd, bool exclusive)
{
    if (fd < 0)
        return false;
    int rc;
    while ((rc = ::flock(fd, exclusive ? LOCK_EX : LOCK_SH)) != 0 && errno == EINTR) {}
    return rc == 0;
}

void unlockFile(int fd)
{
    if (fd >= 0)
        ::flock(fd, LOCK_UN);
}

bool isSameFile(int fd, const QString &path)
{
    struct stat open {}, named {};
    if (::fstat(fd, &open) != 0 || ::stat(QFile::encodeName(path).constData(), &named) != 0)
        return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

bool renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#if defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
#endif
    // File systems without that move: a hard link is refused when the target exists.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

QString loginName()
{
    const passwd *pw = ::getpwuid(::getuid());
    return pw && pw->pw_name ? QString::fromLocal8Bit(pw->pw_name) : QString();
}

bool processAlive(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

#else

bool lockFile(int fd, bool) { return fd >= 0; }

void unlockFile(int) {}

bool isSameFile(int, const QString &) { return true; }

bool renameNoReplace(const QString &from, const QString &to)
{
    // QFile refuses an existing target.
    return QFile::rename(from, to);
}

QString loginName() { return QString(); }

bool processAlive(qint64) { return true; }

#endif

} // namespace fenwa::platform
