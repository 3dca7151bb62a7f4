#pragma once

#include "songinfo.h"

#include <QByteArray>
#include <QString>

// The fixed-size header of the maker's compressed song container
// (.mf3/.mf4/.mf5): song texts, tempo and flags in fixed-width fields ahead
// of the LzHuff block that holds the MIDI data. Bytes the program does not
// write stay exactly as read.
class MfxHeader
{
public:
    enum FlagsEnum {
        // The song information written into the container carries markers.
        FlagHasMarkers = 0x01,
    };

    // "_MF3" and "_MF4" headers are 512 bytes, "_MF5" headers 1024.
    static constexpr int ShortHeaderSize = 512;
    static constexpr int LongHeaderSize = 1024;

    MfxHeader() = default;

    bool loadHeader(const QByteArray &bytes);

    SongInfo::fileTypeEnum fileType() const { return m_fileType; }
    const QByteArray &header() const { return m_header; }

    // Header size the variant of a file type needs, 0 for other types.
    static int headerSizeFor(SongInfo::fileTypeEnum type);
    // Container type named by a 4-byte magic, FileTypeUnknown otherwise.
    static SongInfo::fileTypeEnum typeFromMagic(const QByteArray &magic);

    QString title() const;
    QString author() const;
    QString artist() const;
    QString genre() const;
    QString longName() const;
    QString editor() const;
    QString copyright() const;

    bool hasTitle() const { return !title().isEmpty(); }
    bool hasAuthor() const { return !author().isEmpty(); }
    bool hasArtist() const { return !artist().isEmpty(); }
    bool hasGenre() const { return !genre().isEmpty(); }
    bool hasLongName() const { return !longName().isEmpty(); }

    void setTitle(const QString &text);
    void setAuthor(const QString &text);
    void setArtist(const QString &text);
    void setGenre(const QString &text);

    int tempo() const;
    bool hasValidTempo() const;
    void setTempo(int bpm);

    int flags() const;
    void setFlag(FlagsEnum flag);

    void setSize(quint32 size);
    void setOrigSize(quint32 size);

private:
    QString readText(int offset, int size) const;
    void writeText(int offset, int size, const QString &text);
    void writeLittleEndian32(int offset, quint32 value);

    QByteArray m_header;
    SongInfo::fileTypeEnum m_fileType = SongInfo::FileTypeUnknown;
};
