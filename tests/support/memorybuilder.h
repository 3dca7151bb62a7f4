#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// Builds a fake Quenor memory in a folder: song files written as raw bytes
// (MIDI files with chosen meta events, compressed containers, MP3 files with
// chosen ID3 frames) and the device's playlist files. Each builder shows the
// bytes that matter to the index scan and nothing more.
class MemoryBuilder
{
public:
    explicit MemoryBuilder(const QString &root);

    QString root() const { return m_root; }
    QString absolute(const QString &relPath) const;

    // Writes bytes to root + relPath, creating folders; an invalid time
    // keeps the current one. Returns the absolute path, empty on failure.
    QString write(const QString &relPath, const QByteArray &bytes, const QDateTime &modified = QDateTime());
    bool setModified(const QString &relPath, const QDateTime &modified) const;
    QByteArray read(const QString &relPath) const;
    bool exists(const QString &relPath) const;
    bool mkdir(const QString &relPath) const;

    // Standard MIDI file, format 0, one track holding events (each a complete
    // event with its delta time) then end of track. The track data begins at
    // byte 22.
    static QByteArray midiFile(const QList<QByteArray> &events);
    // 00 FF type len payload.
    static QByteArray metaEvent(quint8 type, const QByteArray &payload);
    // The maker's tag event: 00 FF 4B (len + 1) subType payload.
    static QByteArray tagEvent(quint8 subType, const QByteArray &payload);
    // 00 FF 51 03 tempo (microseconds per quarter note, 24 bits).
    static QByteArray tempoEvent(quint32 microsPerQuarter);
    // The display's second text line: F0 len 00 20 24 00 05 text 00 00 F7,
    // with len counting the bytes after it.
    static QByteArray secondLineEvent(const QByteArray &text);

    // A compressed container: magic ("_MF3", "_MF4", "_MF5"), a header of 512
    // bytes (1024 for "_MF5") with the given bytes placed at their offsets,
    // then a few bytes standing for the compressed stream.
    static QByteArray container(const QByteArray &magic, const QList<QPair<int, QByteArray>> &fields);
    // A container with the fields at the offsets the device index reads:
    // tempo 38, title 138, markers 201, artist 234, genre 266.
    static QByteArray indexedContainer(const QByteArray &magic, const QByteArray &title, const QByteArray &artist,
                                       const QByteArray &genre, quint8 bpm, quint8 markers);

    // An ID3v2.3 frame: id, big-endian size (text + 1), 00 00, encoding 00, text.
    static QByteArray id3Frame(const QByteArray &id, const QByteArray &text);
    // An MP3 file: "ID3" 03 00 00, synchsafe size, the frames, padding, then
    // a few audio frame bytes. Without frames and with tagged false there is
    // no tag at all.
    static QByteArray mp3File(const QList<QByteArray> &frames, int padding = 16, bool tagged = true);
    // A private frame of size bytes holding no 'T' byte, to push later frames
    // further into the file.
    static QByteArray fillerFrame(int size);

    static QByteArray bigEndian32(quint32 value);

    // Playlists: playlist/playlist.dat lists the numbers (32-byte records,
    // little-endian number first); playlist/playNNNN.dat holds one 32-byte
    // record per song, id big-endian first, the rest filled with marker bytes
    // taken from the record number so that tests can see them stay.
    bool writePlaylistList(const QList<quint16> &numbers);
    bool writePlaylist(quint16 number, const QList<quint32> &ids);
    static QString playlistName(quint16 number, const char *suffix);
    // Ids of a playlist's .dat records.
    QList<quint32> playlistIds(quint16 number) const;

private:
    QString m_root;
};
