#ifndef MP3HEADER_H
#define MP3HEADER_H

#include "songinfo.h"

#include <QByteArray>
#include <QString>

// The ID3v2 tag at the start of an MP3 file: the song information kept in its
// text frames and the private "QEDT" frame that marks a file edited by this
// program. Only the tag is held in memory; the audio data that followed the
// old tag starts at getAudioDataStartPos() in the file on disk.
//
// ID3v2.3 and ID3v2.4 tags are read and edited in their own version (v2.4
// frame sizes are synchsafe). Tags this program cannot edit safely (v2.2,
// unsynchronisation, extended header, footer) are refused by loadHeader().
class Mp3Header
{
public:
    Mp3Header();

    bool loadHeader(const QByteArray &bytes);
    QByteArray stream() const { return tag; }
    int getAudioDataStartPos() const { return audioStart; }
    // After the tag was written to the file it came from: the audio now
    // follows the tag as it is.
    void setAudioDataStartPos(int position) { audioStart = position; }
    SongInfo::fileTypeEnum fileType() const { return SongInfo::FileTypeMp3; }

    // Offset of the frame with this identifier, or -1; its text goes into text.
    int extractId3Frame(QString &text, const QByteArray &identifier) const;

    // Readers.
    QString title() const;
    QString artist() const;
    QString genre() const;
    QString author() const;
    QString key() const;
    qint32 userBpm() const;
    qint32 length() const; // seconds
    bool hasTitle() const;
    bool hasArtist() const;
    bool hasGenre() const;
    bool hasAuthor() const;
    bool hasKey() const;
    bool hasUserBpm() const;
    bool hasLength() const;
    bool hasQuenorEditParam() const;
    bool isZevio() const;

    // Writers.
    void setTitle(const QString &text);
    void setArtist(const QString &text);
    void setGenre(const QString &text);
    void setAuthor(const QString &text);
    void setKey(const QString &text);
    void setUserBpm(qint32 bpm);
    void setLength(qint32 seconds);
    void setQuenorEditParam();

    // True once a writer could not add its frame since the last load: saving
    // would then lose that field.
    bool hasFailedWrite() const { return writeFailed; }

    // Primitives: bytes added or removed.
    int insertId3Frame(const QByteArray &body, const QByteArray &identifier, int position);
    int removeId3Frame(const QByteArray &identifier);

private:
    struct Frame {
        int offset = -1;
        quint32 bodySize = 0;
    };
    Frame findFrame(const QByteArray &identifier) const;
    bool sizesLandOnFrames(bool synchsafe) const;
    bool keepsUnicodeFrame(const QByteArray &identifier, const QString &text) const;
    void insertForWriter(const QByteArray &body, const QByteArray &identifier);
    quint32 frameSizeAt(int offset, bool synchsafe) const;
    void setTagSize(quint32 size);
    void setTextFrame(const QByteArray &identifier, const QString &text);

    QByteArray tag;
    quint32 tagSize = 0;
    int audioStart = 0;
    bool synchsafeFrameSizes = false;
    bool writeFailed = false;
};

#endif // MP3HEADER_H
