#include "removablevolumes.h"

#include <QDir>
#include <QFileInfo>

namespace RemovableVolumes
{

QStringList mountPrefixes()
{
    QStringList prefixes;
    const QString override = qEnvironmentVariable("QUENOR_VOLUMES");
    if (!override.isEmpty()) {
        prefixes = override.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    } else {
#if defined(Q_OS_MACOS)
        prefixes << QStringLiteral("/Volumes/");
#elif defined(Q_OS_LINUX)
        const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
        if (!user.isEmpty()) {
            prefixes << QStringLiteral("/media/") + user + QLatin1Char('/')
                     << QStringLiteral("/run/media/") + user + QLatin1Char('/');
        }
        prefixes << QStringLiteral("/media/") << QStringLiteral("/Volumes/");
#else
        prefixes << QStringLiteral("/Volumes/");
#endif
    }
    for (QString &prefix : prefixes) {
        prefix = QDir::cleanPath(prefix);
        if (!prefix.endsWith(QLatin1Char('/')))
            prefix += QLatin1Char('/');
    }
    return prefixes;
}

QString defaultFolder()
{
    const QStringList prefixes = mountPrefixes();
    for (const QString &prefix : prefixes) {
        if (QFileInfo(prefix).isDir())
            return prefix.left(prefix.size() - 1);
    }
    return prefixes.isEmpty() ? QDir::rootPath()
                              : prefixes.first().left(prefixes.first().size() - 1);
}

QString prefixOf(const QString &path)
{
    // The longest matching prefix wins, so /media/USER/ is preferred to /media/.
    QString best;
    for (const QString &prefix : mountPrefixes()) {
        if (path.size() > prefix.size() && path.startsWith(prefix, Qt::CaseInsensitive)
            && prefix.size() > best.size())
            best = prefix;
    }
    return best;
}

bool isSystemDisk(const QString &path)
{
    return prefixOf(path).isEmpty();
}

QString volumeRoot(const QString &path)
{
    const QString prefix = prefixOf(path);
    if (prefix.isEmpty())
        return QString();
    const int slash = path.indexOf(QLatin1Char('/'), prefix.size());
    return slash < 0 ? path : path.left(slash);
}

} // namespace RemovableVolumes
