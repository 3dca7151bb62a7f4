#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QStringList>

// A fake Quenor memory in a folder: song files showing only the bytes the
// index scan reads, the device's playlists, readers for the index files.
class MemoryBuilder
{
public:
    explicit MemoryBuilder(const QString &root);

    QString root() const { return m_root; }
    QString absolute(const QString &relPath) const;
    // Returns the absolute path, empty on failure.
    QString write(
        const QString &relPath, const QByteArray &bytes, const QDateTime &modified = QDateTime());
    // The same, true when written.
    bool add(
        const QString &relPath, const QByteArray &bytes, const QDateTime &modified = QDateTime())
    {
        return !write(relPath, bytes, modified).isEmpty();
    }
    // MIDI files titled with their own path; paths UTF-8, space-separated.
    bool songs(const char *relPaths);
    static QStringList words(const char *text)
    {
        return QString::fromUtf8(text).split(QLatin1Char(' '));
    }
    QByteArray read(const QString &relPath) const;
    bool exists(const QString &relPath) const;
    bool mkdir(const QString &relPath) const;
    bool remove(const QString &relPath) const;
    QMap<QString, QPair<QByteArray, QDateTime>> snapshot() const;
    // index.idx records as "id:path".
    QStringList indexRecords() const;

    // Format 0 MIDI file: one track holding the events and end of track.
    static QByteArray midiFile(const QList<QByteArray> &events);
    static QByteArray metaEvent(quint8 type, const QByteArray &payload); // 00 FF type len payload
    static QByteArray tagEvent(
        quint8 subType, const QByteArray &payload); // 00 FF 4B len+1 subType payload
    static QByteArray tempoEvent(quint32 microsPerQuarter); // 00 FF 51 03 tttttt
    // The display's second text line: F0 len 00 20 24 00 05 text 00 00 F7.
    static QByteArray secondLineEvent(const QByteArray &text);
    // Magic, a 512-byte header (1024 for "_MF5") holding bpm at 38, title
    // 138, markers 201, artist 234 and genre 266, then the stream.
    static QByteArray indexedContainer(const QByteArray &magic, const QByteArray &title,
        const QByteArray &artist, const QByteArray &genre, quint8 bpm, quint8 markers);
    // ID3v2.3 text frame: id, size (text + 1), flags 00 00, encoding, text.
    static QByteArray id3Frame(const QByteArray &id, const QByteArray &text, quint8 encoding = 0);
    // "ID3" 03 00 00, synchsafe size, frames, padding, audio bytes.
    static QByteArray mp3File(const QList<QByteArray> &frames, int padding = 16);
    static QByteArray bigEndian32(quint32 value);

    // playlist/playlist.dat: 32-byte records, little-endian number first.
    bool writePlaylistList(const QList<quint16> &numbers);
    // 32-byte records: big-endian id, then marker bytes that must stay.
    bool writePlaylist(quint16 number, const QList<quint32> &ids);
    static QString playlistName(quint16 number, const char *suffix);
    QList<quint32> playlistIds(quint16 number) const;

private:
    QString m_root;
};
