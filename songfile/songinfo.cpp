#include "songinfo.h"

#include <QDebug>

void SongInfo::clear()
{
    *this = SongInfo();
}

bool SongInfo::operator==(const SongInfo &other) const
{
    return title == other.title && artist == other.artist && altArtist == other.altArtist
        && genre == other.genre && author == other.author && length == other.length
        && userBpm == other.userBpm && key == other.key && filename == other.filename
        && shortname == other.shortname && isZevio == other.isZevio && markers == other.markers
        && format == other.format && mfxLongName == other.mfxLongName && mfxFlags == other.mfxFlags;
}

void SongInfo::dbgDump() const
{
    qDebug() << "Dump Info song ----------------------------------------------";
    qDebug() << "Format     :" << format;
    qDebug() << "Filename   :" << filename;
    qDebug() << "Shortname  :" << shortname;
    qDebug() << "Is Zevio  :" << isZevio;
    qDebug() << "Title      :" << title;
    qDebug() << "Artist     :" << artist;
    qDebug() << "AltArtist  :" << altArtist;
    qDebug() << "Genre      :" << genre;
    qDebug() << "Author     :" << author;
    qDebug() << "Length     :" << length;
    qDebug() << "userBpm    :" << userBpm;
    qDebug() << "Key        :" << key;
    qDebug() << "Markers:";
    if (markers.isEmpty()) {
        qDebug() << "NO Markers";
    } else {
        for (const Marker &marker : markers)
            qDebug() << "  bar:" << marker.bar << "  text:" << marker.text;
    }
    qDebug() << "MfxLongName:" << mfxLongName;
    qDebug().noquote() << "MfxFlags   :"
                       << QStringLiteral("0x%1").arg(quint8(mfxFlags), 2, 16, QLatin1Char('0'));
    qDebug() << "Dump END ----------------------------------------------------";
}
