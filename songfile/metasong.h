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

    Mp3Header m_mp3;
    MfxHeader m_mfx;
    RawMidiFile m_midi;
    SongInfo::fileTypeEnum m_fileType = SongInfo::FileTypeUnknown;
};
