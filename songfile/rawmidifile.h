#ifndef RAWMIDIFILE_H
#define RAWMIDIFILE_H

#include "songinfo.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// One Standard MIDI File held as bytes, with the song information stored in
// its meta events: title (FF 03), copyright (FF 02, read only), key signature
// (FF 59) and the maker's tag events (FF 4B) for genre, artist, author,
// length, tempo and section markers.
//
// Readers search the byte patterns through every track and take the first
// match. Writers remove the old delta-0 events of their kind from the first
// track (found by walking its events), insert the new one at the head of the
// first track and keep the first track's length field right.
class RawMidiFile
{
public:
    // Sub-types of the maker's tag meta event (FF 4B len sub-type payload).
    enum zevioMetaTypeEnum {
        MetaGenre = 1,
        MetaArtist = 2,
        MetaAuthor = 3,
        MetaLength = 4,
        MetaUserBpm = 5,
        MetaMarker = 6,
    };

    RawMidiFile();

    // Loading and access.
    bool loadData(const QByteArray &bytes);
    QByteArray stream() const { return data; }
    SongInfo::fileTypeEnum fileType() const { return type; }

    // Readers.
    QString title() const;
    bool hasTitle() const;
    bool isZevio() const;
    QString genre() const;
    QString artist() const;
    QString author() const;
    bool hasGenre() const;
    bool hasArtist() const;
    bool hasAuthor() const;
    qint32 length() const;
    qint32 userBpm() const;
    bool hasLength() const;
    bool hasUserBpm() const;
    QList<Marker> markersList() const;
    bool hasMarkers() const;
    QString key() const;
    bool hasKey() const;
    // The 30 key names in ascending order of their key-signature code.
    static QStringList getKeysList();

    // Writers.
    void setTitle(const QString &text);
    void setGenre(const QString &text);
    void setArtist(const QString &text);
    void setAuthor(const QString &text);
    void setLength(qint32 seconds);
    void setUserBpm(qint32 bpm);
    void setMarkersList(const QList<Marker> &markers);
    int insertMarker(const QString &text, quint16 bar);
    int dbgInsertMarker(const QString &text, quint16 bar);
    void setKey(const QString &name);

    // True once a writer could not insert its event since the last load:
    // saving would then lose that field.
    bool hasFailedWrite() const { return writeFailed; }

    // Primitives.
    int insertMetaevent(const QByteArray &payload, quint8 metaType, int position);
    int insertMetaevent(const QByteArray &payload, zevioMetaTypeEnum subType, int position);
    int removeHeadMetaevent(quint8 metaType, bool onlyFirst);
    int removeHeadMetaevent(zevioMetaTypeEnum subType, bool onlyFirst);
    int indexOfZevioMetaevent(const QByteArray &bytes, int start, zevioMetaTypeEnum subType) const;
    int extractMetaevent(QString &text, quint8 metaType) const;
    int extractMetaevent(QString &text, zevioMetaTypeEnum subType) const;
    int extractMarkersList(QList<Marker> &markers) const;
    int extractKey(QString &key) const;
    void updateTrackSize();

private:
    void populateKeyMaps();
    bool isLoaded() const;
    int insertEvent(const QByteArray &event, int position);
    int removeEvents(quint8 metaType, int subType, bool onlyFirst);
    void setTagText(zevioMetaTypeEnum subType, const QString &text);
    int checkedInsert(int inserted);

    QByteArray data;
    quint32 trackSize = 0;
    qint32 trackStart = 0;
    qint32 trackSizePos = 0;
    SongInfo::fileTypeEnum type = SongInfo::FileTypeUnknown;
    bool writeFailed = false;
    QMap<QString, quint16> keyCodes;
    QMap<quint16, QString> keyNames;
};

#endif // RAWMIDIFILE_H
