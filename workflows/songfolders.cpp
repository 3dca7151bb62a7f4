#include "songfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace SongFolders
{

namespace
{

class Walk
{
public:
    QStringList files;

    // canonical: the file's own canonical path when the caller knows it.
    void addFile(const QFileInfo &info, QString canonical = QString())
    {
        if (!isSongFile(info.fileName()))
            return;
        if (canonical.isEmpty())
            canonical = info.canonicalFilePath();
        if (canonical.isEmpty() || m_seenFiles.contains(canonical))
            return;
        m_seenFiles.insert(canonical);
        files.append(info.absoluteFilePath());
    }

    void walkRoot(const QString &folder)
    {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty())
            return;
        m_root = canonical;
        walk(QFileInfo(folder).absoluteFilePath(), canonical);
    }

private:
    bool insideRoot(const QString &canonical) const
    {
        return canonical == m_root || canonical.startsWith(m_root + QLatin1Char('/'))
            || m_root == QLatin1String("/");
    }

    void walk(const QString &folder, const QString &canonical)
    {
        if (m_seenFolders.contains(canonical))
            return;
        m_seenFolders.insert(canonical);

        QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::NoSort);
        std::sort(entries.begin(), entries.end(), [](const QFileInfo &a, const QFileInfo &b) {
            const int folded = QString::compare(a.fileName(), b.fileName(), Qt::CaseInsensitive);
            return folded != 0 ? folded < 0 : a.fileName() < b.fileName();
        });
        for (const QFileInfo &entry : std::as_const(entries)) {
            // Names beginning with a dot are hidden on every system the
            // program runs on; the flag covers the others.
            if (entry.fileName().startsWith(QLatin1Char('.')) || entry.isHidden())
                continue;
            QString target = entry.absoluteFilePath();
            if (entry.isSymLink()) {
                target = entry.canonicalFilePath();
                // A dangling link, or one leading out of the chosen folder.
                if (target.isEmpty() || !insideRoot(target))
                    continue;
            }
            if (entry.isDir())
                walk(entry.absoluteFilePath(),
                    entry.isSymLink() ? target : entry.canonicalFilePath());
            else if (entry.isFile())
                addFile(entry);
        }
    }

    QString m_root;
    QSet<QString> m_seenFiles;
    QSet<QString> m_seenFolders;
};

} // namespace

bool isSongFile(const QString &fileName)
{
    static const QStringList suffixes
        = { QStringLiteral("mid"), QStringLiteral("kar"), QStringLiteral("mp3"),
              QStringLiteral("mf3"), QStringLiteral("mf4"), QStringLiteral("mf5") };
    const int dot = int(fileName.lastIndexOf(QLatin1Char('.')));
    return dot > 0 && suffixes.contains(fileName.mid(dot + 1), Qt::CaseInsensitive);
}

QStringList collect(const QStringList &paths)
{
    Walk walk;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir())
            walk.walkRoot(path);
        else if (info.isFile())
            walk.addFile(info);
    }
    return walk.files;
}

} // namespace SongFolders
