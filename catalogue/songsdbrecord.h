#ifndef SONGSDBRECORD_H
#define SONGSDBRECORD_H

#include "songinfo.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// One row of the song catalogue, as the synchronisation uses it.
class SongsDbRecord
{
public:
    void dbgDump() const;

    QString title;
    QString artist;
    QString altArtist;
    QString genre;
    QString author;
    // Seconds; -1 when the catalogue holds no integer. Set only by a lookup.
    qint32 length = -1;
    // -1 when the catalogue holds no integer. Set only by a lookup.
    qint32 bpm = -1;
    QString key;
    QList<Marker> markers;
};

#endif // SONGSDBRECORD_H
