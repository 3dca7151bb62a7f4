#include "fileflags.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace FileFlags {

bool clearUserImmutable(const QString &path, int timeoutMs)
{
    const QString chflags = QStandardPaths::findExecutable(QStringLiteral("chflags"));
    if (!chflags.isEmpty()) {
        QProcess process;
        process.start(chflags, {QStringLiteral("nouchg"), path});
        return process.waitForFinished(timeoutMs);
    }
#ifdef Q_OS_LINUX
    // No chflags here: clear FS_IMMUTABLE_FL directly. Only a privileged
    // process may change it, so a refusal on an unflagged file is no error.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok && (flags & FS_IMMUTABLE_FL)) {
        flags &= ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    } else {
        // File systems without attribute support (tmpfs, FAT) have no flag to clear.
        ok = true;
    }
    ::close(fd);
    return ok;
#else
    Q_UNUSED(timeoutMs);
    return true;
#endif
}

} // namespace FileFlags
