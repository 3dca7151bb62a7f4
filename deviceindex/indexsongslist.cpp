// The song list of a prepared memory as a semicolon-separated text file.

#include "index.h"

#include "indexrecords.h"

#include <QDebug>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

int Index::saveSongsList(const QString &root, const QString &file, int mode)
{
    setRootPath(root);
    qDebug() << "[Index::saveSongsList]" << m_rootPath << "to" << file;
    if (!checkIndexFile()) {
        qWarning() << "[Index::saveSongsList] WARNING: the memory is not prepared" << m_rootPath;
        return -1;
    }
    if (loadAllIndexFile() != 0) {
        qWarning() << "[Index::saveSongsList] WARNING: the index cannot be read" << m_rootPath;
        return 0;
    }

    sortSongs(m_songs,
        mode == SortByArtist      ? SongOrderEnum::Artist
            : mode == SortByGenre ? SongOrderEnum::Genre
                                  : SongOrderEnum::Title);

    // The old list is replaced only once the new one is complete.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        qWarning() << "[Index::saveSongsList] WARNING: cannot create" << file;
        return 0;
    }
    // The file column is the path below the root as the user gave it: with
    // its leading "/" unless the root text ended with a separator.
    const bool rootEndsWithSeparator
        = root.endsWith(QLatin1Char('/')) || root.endsWith(QLatin1Char('\\'));
    const QChar separator = QLatin1Char(';');
    QTextStream stream(&out);
    stream << tr("TITOLO") << separator << tr("ARTISTA") << separator << tr("GENERE") << separator
           << tr("FILE") << separator << '\n';
    emit progressMaxSetup(int(m_songs.size()));
    int written = 0;
    for (const SongInfoIndex &entry : std::as_const(m_songs)) {
        const QString path = getLongFileNamePath(entry.path);
        using IndexRecords::csvField;
        stream << csvField(entry.title) << separator << csvField(entry.artist) << separator
               << csvField(entry.genre) << separator
               << csvField(rootEndsWithSeparator ? path.mid(1) : path) << separator << '\n';
        emit currentPathChanged(entry.longPath);
        emit progressValueChanged(++written);
    }
    stream.flush();
    if (stream.status() != QTextStream::Ok || !out.commit()) {
        qWarning() << "[Index::saveSongsList] WARNING: cannot write" << file;
        return 0;
    }
    return 1;
}
