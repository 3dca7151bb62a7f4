#pragma once

#include "songbuilders.h"

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
    bool add(const QString &relPath, const QByteArray &bytes, const QDateTime &modified = {})
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

    static QByteArray bigEndian32(quint32 value) { return Bytes::be32(value); }
    // Format 0, one track: the events, End of Track.
    static QByteArray midiFile(const QList<QByteArray> &events)
    {
        return MidiBuilder(0).raw(events.join()).build();
    }
    // 00 FF type, one length byte, payload (no multi-byte length).
    static QByteArray metaEvent(quint8 type, const QByteArray &payload)
    {
        return Bytes::hex("00ff") + char(type) + char(payload.size()) + payload;
    }
    static QByteArray tagEvent(quint8 subType, const QByteArray &payload)
    {
        return metaEvent(0x4B, char(subType) + payload);
    }
    static QByteArray tempoEvent(quint32 microsPerQuarter)
    {
        return metaEvent(0x51, Bytes::be32(microsPerQuarter).mid(1));
    }
    // The display's second text line: F0 len 00 20 24 00 05 text 00 00 F7.
    static QByteArray secondLineEvent(const QByteArray &text)
    {
        const QByteArray body = Bytes::hex("0020240005") + text + Bytes::hex("0000f7");
        return Bytes::hex("00f0") + char(body.size()) + body;
    }
    // Magic, a 512-byte header (1024 for "_MF5") holding bpm at 38, title
    // 138, markers 201, artist 234 and genre 266 (each cut to 26), a stream.
    static QByteArray indexedContainer(const QByteArray &magic, const QByteArray &title,
        const QByteArray &artist, const QByteArray &genre, quint8 bpm, quint8 markers);
    // ID3v2.3 text frame: id, size (text + 1), flags 00 00, encoding, text.
    static QByteArray id3Frame(const QByteArray &id, const QByteArray &text, quint8 encoding = 0)
    {
        return id.left(4) + Bytes::be32(text.size() + 1) + QByteArray(2, '\0') + char(encoding)
            + text;
    }
    // An ID3v2.3 tag of these frames and padding, then 64 bytes of audio.
    static QByteArray mp3File(const QList<QByteArray> &frames, int padding = 16)
    {
        const QByteArray body = frames.join() + QByteArray(padding, '\0');
        return Bytes::hex("494433030000") + Bytes::synchsafe(body.size()) + body
            + Bytes::hex("fffb9064") + QByteArray(60, '\x55');
    }

    // playlist/playlist.dat: 32-byte records, little-endian number first.
    bool writePlaylistList(const QList<quint16> &numbers);
    // 32-byte records: big-endian id, then marker bytes that must stay.
    bool writePlaylist(quint16 number, const QList<quint32> &ids);
    static QString playlistName(quint16 number, const char *suffix);
    QList<quint32> playlistIds(quint16 number) const;

private:
    QString m_root;
};
