#include "mfxheader.h"

#include "songtext.h"

#include <QtEndian>

namespace
{

// Field offsets and sizes inside the header; numbers are little-endian,
// texts Latin-1 padded with 0x00 (no terminator when a text fills its field).
constexpr int MagicSize = 4;
constexpr int FileSizeOffset = 4;
constexpr int OrigSizeOffset = 12;
constexpr int TempoOffset = 38;
constexpr int LongNameOffset = 42;
constexpr int LongNameSize = 13;
constexpr int CopyrightOffset = 90;
constexpr int CopyrightSize = 20;
constexpr int TitleOffset = 122;
constexpr int EditorOffset = 154;
constexpr int EditorSize = 31;
constexpr int FlagsOffset = 185;
constexpr int AuthorOffset = 186;
constexpr int ArtistOffset = 218;
constexpr int GenreOffset = 250;
constexpr int SongTextSize = 32;

// Tempi the device accepts from a header.
constexpr int MinValidTempo = 1;
constexpr int MaxValidTempo = 499;

} // namespace

SongInfo::fileTypeEnum MfxHeader::typeFromMagic(const QByteArray &magic)
{
    if (magic.size() < MagicSize)
        return SongInfo::FileTypeUnknown;
    const QByteArray m = magic.left(MagicSize);
    if (m == "_MF3")
        return SongInfo::FileTypeMf3;
    if (m == "_MF4")
        return SongInfo::FileTypeMf4;
    if (m == "_MF5")
        return SongInfo::FileTypeMf5;
    return SongInfo::FileTypeUnknown;
}

int MfxHeader::headerSizeFor(SongInfo::fileTypeEnum type)
{
    switch (type) {
    case SongInfo::FileTypeMf3:
    case SongInfo::FileTypeMf4:
        return ShortHeaderSize;
    case SongInfo::FileTypeMf5:
        return LongHeaderSize;
    default:
        return 0;
    }
}

bool MfxHeader::loadHeader(const QByteArray &bytes)
{
    m_header.clear();
    const SongInfo::fileTypeEnum type = typeFromMagic(bytes);
    if (type == SongInfo::FileTypeUnknown) {
        m_fileType = SongInfo::FileTypeUnknown;
        return false;
    }
    if (bytes.size() < headerSizeFor(type))
        return false;
    m_fileType = type;
    m_header = bytes;
    return true;
}

QString MfxHeader::readText(int offset, int size) const
{
    if (m_header.size() < offset + size)
        return QString();
    QByteArray field = m_header.mid(offset, size);
    const qsizetype zero = field.indexOf('\0');
    if (zero >= 0)
        field.truncate(zero);
    return QString::fromLatin1(field).trimmed();
}

void MfxHeader::writeText(int offset, int size, const QString &text)
{
    if (m_header.size() < offset + size)
        return;
    // One byte per character: each one outside Latin-1 becomes a single '?'.
    QByteArray field = SongText::toLatin1(text, size);
    field.append(size - field.size(), '\0');
    m_header.replace(offset, size, field);
}

void MfxHeader::writeLittleEndian32(int offset, quint32 value)
{
    if (m_header.size() < offset + 4)
        return;
    qToLittleEndian<quint32>(value, m_header.data() + offset);
}

QString MfxHeader::title() const
{
    return readText(TitleOffset, SongTextSize);
}
QString MfxHeader::author() const
{
    return readText(AuthorOffset, SongTextSize);
}
QString MfxHeader::artist() const
{
    return readText(ArtistOffset, SongTextSize);
}
QString MfxHeader::genre() const
{
    return readText(GenreOffset, SongTextSize);
}
QString MfxHeader::longName() const
{
    return readText(LongNameOffset, LongNameSize);
}
QString MfxHeader::editor() const
{
    return readText(EditorOffset, EditorSize);
}
QString MfxHeader::copyright() const
{
    return readText(CopyrightOffset, CopyrightSize);
}

void MfxHeader::setTitle(const QString &text)
{
    writeText(TitleOffset, SongTextSize, text);
}
void MfxHeader::setAuthor(const QString &text)
{
    writeText(AuthorOffset, SongTextSize, text);
}
void MfxHeader::setArtist(const QString &text)
{
    writeText(ArtistOffset, SongTextSize, text);
}
void MfxHeader::setGenre(const QString &text)
{
    writeText(GenreOffset, SongTextSize, text);
}

int MfxHeader::tempo() const
{
    if (m_header.size() < TempoOffset + 2)
        return 0;
    return qFromLittleEndian<quint16>(m_header.constData() + TempoOffset);
}

bool MfxHeader::hasValidTempo() const
{
    const int t = tempo();
    return t >= MinValidTempo && t <= MaxValidTempo;
}

void MfxHeader::setTempo(int bpm)
{
    if (m_header.size() < TempoOffset + 2)
        return;
    qToLittleEndian<quint16>(quint16(bpm & 0xFFFF), m_header.data() + TempoOffset);
}

int MfxHeader::flags() const
{
    if (m_header.size() <= FlagsOffset)
        return 0;
    return qint8(m_header.at(FlagsOffset));
}

void MfxHeader::setFlag(FlagsEnum flag)
{
    // Flags are only ever added, never cleared.
    if (m_header.size() <= FlagsOffset)
        return;
    m_header[FlagsOffset] = char(uchar(m_header.at(FlagsOffset)) | uchar(flag));
}

void MfxHeader::setSize(quint32 size)
{
    writeLittleEndian32(FileSizeOffset, size);
}
void MfxHeader::setOrigSize(quint32 size)
{
    writeLittleEndian32(OrigSizeOffset, size);
}
