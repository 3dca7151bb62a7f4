#ifndef SONGINFO_H
#define SONGINFO_H

#include <QList>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

// A section marker: the bar at which a section of the song starts and its label.
class Marker
{
public:
    Marker() = default;
    Marker(const QString &text, qint32 bar)
        : text(text)
        , bar(bar)
    {
    }

    bool operator==(const Marker &other) const { return text == other.text && bar == other.bar; }
    bool operator!=(const Marker &other) const { return !(*this == other); }

    QString text;
    qint32 bar = 0;
};

// What the program knows about one song, whatever the format of its file.
class SongInfo
{
public:
    // The type of a loaded song file. Only 1 to 6 are real types; anything
    // else means "not loaded" and formats as "UNKNOWN".
    enum fileTypeEnum {
        FileTypeUnknown = 0,
        FileTypeMidi0 = 1, // Standard MIDI File, format 0
        FileTypeMidi1 = 2, // Standard MIDI File, format 1
        FileTypeMf3 = 3, // compressed container "_MF3"
        FileTypeMf4 = 4, // compressed container "_MF4"
        FileTypeMf5 = 5, // compressed container "_MF5"
        FileTypeMp3 = 6, // MP3 with an ID3v2 tag
    };

    SongInfo() = default;

    void clear();
    void dbgDump() const;

    bool operator==(const SongInfo &other) const;
    bool operator!=(const SongInfo &other) const { return !(*this == other); }

    QString title;
    QString artist;
    QString altArtist;
    QString genre;
    QString author;
    qint32 length = 0;
    qint32 userBpm = 0;
    QString key;
    QString filename;
    QString shortname;
    bool isZevio = false;
    QList<Marker> markers;
    QString format;
    QString mfxLongName;
    qint8 mfxFlags = 0;
};

Q_DECLARE_METATYPE(Marker)
Q_DECLARE_METATYPE(SongInfo)

#endif // SONGINFO_H
