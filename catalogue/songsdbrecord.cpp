#include "songsdbrecord.h"

#include <QDebug>

namespace
{

// Texts are written between double quotes, unescaped, so accented titles
// stay readable in the log.
QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

void SongsDbRecord::dbgDump() const
{
    qDebug().noquote() << "  Title     :" << quoted(title);
    qDebug().noquote() << "  Genre     :" << quoted(genre);
    qDebug().noquote() << "  Artist    :" << quoted(artist);
    qDebug().noquote() << "  AltArtist :" << quoted(altArtist);
    qDebug().noquote() << "  Author    :" << quoted(author);
    qDebug().noquote() << "  Bpm       :" << bpm;
    qDebug().noquote() << "  Key       :" << quoted(key);
    qDebug().noquote() << "  Length    :" << length;
    if (markers.isEmpty()) {
        qDebug().noquote() << "  NO Markers";
    } else {
        qDebug().noquote() << "  Markers:";
        for (const Marker &marker : markers)
            qDebug().noquote() << "    bar:" << marker.bar << "  text:" << quoted(marker.text);
    }
    qDebug();
}
