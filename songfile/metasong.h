#pragma once

#include "mfxheader.h"
#include "mp3header.h"
#include "rawmidifile.h"
#include "songinfo.h"

#include <QString>
#include <QStringList>

// One song file in memory, whatever its format: Standard MIDI, the maker's
// compressed container or MP3. It recognises the format on import, fills a
// SongInfo from the file, applies a SongInfo to it (a careful fill-in from the
// catalogue, or a full overwrite from the edit dialog) and saves it back.
//
// Saving never touches the file on disk until the new content is complete:
// it is written to a temporary file in the same folder, every write checked,
// and then put in the original's place in one step.
class MetaSong
{
public:
    MetaSong() = default;

    bool importFile(const QString &path);
    void getSongInfo(SongInfo &info) const;
    void setSongInfo(const SongInfo &info, bool manual);
    // Saving to another path than the imported file writes a complete song
    // there (for an MP3, the audio comes from the imported file).
    bool saveToFile(const QString &path);
    void removeReadOnlyFlag(const QString &path);
    int dbgAddMarker(const QString &text, quint16 bar);

    SongInfo::fileTypeEnum fileType() const { return m_fileType; }

    static QString getFormatString(SongInfo::fileTypeEnum type);
    static QStringList getKeysList();

    // Test seam: once this many bytes have gone into a new file, further
    // writes fail as on a full disk. A negative value (the default) turns it
    // off.
    static void setWriteLimitForTesting(qint64 bytes);

private:
    void applyToMidi(const SongInfo &info, bool manual);
    void applyToContainer(const SongInfo &info, bool manual);
    void applyToMp3(const SongInfo &info, bool manual);
    bool saveMp3(const QString &path);
    bool saveMidiOrContainer(const QString &path);
    // Adds the owner-write permission where it is missing; false when the
    // file is not there any more.
    bool addOwnerWrite(const QString &path) const;
    bool isSourcePath(const QString &path) const;
    // Clears what would stop path from being replaced; false when path is
    // the imported file and it is gone.
    bool unlockTarget(const QString &path);

    Mp3Header m_mp3;
    MfxHeader m_mfx;
    RawMidiFile m_midi;
    SongInfo::fileTypeEnum m_fileType = SongInfo::FileTypeUnknown;
    // The absolute path of the file the song was imported from.
    QString m_sourcePath;
};
