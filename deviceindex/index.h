#pragma once

#include "songinfoindex.h"
#include "stagedfiles.h"

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <functional>

// Scans a Quenor memory (Compact Flash card or USB pen), writes the index
// files the device reads from the memory's root, keeps the device's playlists
// pointing at the right songs and exports the song list of a prepared memory.
// One object serves one operation.
//
// The work is spread over several sources: index.cpp (the operations and the
// build), indexscan.cpp (the walk and the renaming), indexwriters.cpp,
// indexreader.cpp, indexplaylists.cpp and indexsongslist.cpp; the byte
// layouts are in indexrecords.h, the reading of song files in songhead.h.
class Index : public QObject
{
    Q_OBJECT

public:
    // Answers of the rename question, as the four-way confirmation dialog
    // returns them.
    enum RenameAnswerEnum {
        RenameYes = 0,
        RenameYesAll = 1,
        RenameNo = 2,
        RenameNoAll = 3,
    };

    // Sort orders of the song list, the rows of the song list dialog's box.
    enum SortModeEnum {
        SortByTitle = 0,
        SortByArtist = 1,
        SortByGenre = 2,
    };

    // Asks whether a file or folder name the device cannot use (too long, or
    // holding characters outside IBM 850) may be changed: gets the old path
    // and the message to show, returns a RenameAnswerEnum value. The window
    // connects it to the four-way confirmation dialog; tests script it.
    using RenameQuestion = std::function<int(const QString &oldPath, const QString &message)>;

    // The 16-bit record numbers and counts of the index files describe at
    // most this many songs.
    static constexpr int MaxSongs = 65535;

    explicit Index(QObject *parent = nullptr);

    // Without a question nobody can confirm a rename, so names stay as they
    // are (and names the device cannot read are refused).
    void setRenameQuestion(RenameQuestion question);

    // Rebuilds the whole index; true when the memory is prepared afterwards.
    // The index files and playlists change all together or not at all: when
    // the new ones cannot be written, the result is false and the old ones
    // stay whole.
    bool createIndex(const QString &root);
    // Brings an existing index up to date (a rebuild when there is none),
    // all or nothing as a rebuild; false when the memory is not prepared
    // afterwards, its index cannot be read or cannot be written.
    bool updateIndex(const QString &root);
    // Writes the songs of a prepared memory as a semicolon-separated list
    // sorted by SortModeEnum (other values sort by title): 1 when written, -1
    // when the memory is not prepared, 0 when its index cannot be read or the
    // list cannot be written. A failure leaves an existing file as it was.
    int saveSongsList(const QString &root, const QString &file, int mode);

    // Asked while an operation runs (from a progress dialog's Stop button,
    // through the events its progress signals let through): the walk ends,
    // nothing of the index is written, the old index stays as it was and the
    // operation returns false.
    void stop() { m_stopRequested = true; }
    bool isStopped() const { return m_stopRequested; }

    // The memory is prepared: all fifteen index files exist.
    bool checkIndexFile() const;
    // Reads index.idx, title.idx, artist.idx and genre.idx into songs():
    // 0, or -1 when they cannot be read.
    int loadAllIndexFile();

    // The walk over the memory, one step of a build, for callers that only
    // want to know what would be indexed.
    void scan_files(const QString &dir);
    // The path under which the file or folder is used from now on; empty
    // when a needed rename failed.
    QString renameLongFileName(const QString &path);
    static bool checkFileExt(const QString &suffix);

    // The memory root: cleaned, absolute, without a trailing separator.
    QString rootPath() const { return m_rootPath; }
    void setRootPath(const QString &root);
    const QList<SongInfoIndex> &songs() const { return m_songs; }
    quint32 lastId() const { return m_lastId; }

    // The fifteen index files of a prepared memory, in their fixed order.
    static QStringList indexFileNames();

    // Test seam: the write with this number, counted from 1 from this call
    // on, fails as on a full memory; 0 (the default) turns it off. Counted
    // are the .pts files and each step that puts the index files and
    // playlists in place (written beside, old one moved aside, new one
    // moved in). writesCountedForTesting() tells how many were counted since.
    static void setFailingWriteForTesting(int number);
    static int writesCountedForTesting();
    // Counts one write for the seam: false when it is the one to fail.
    static bool writeGoesThrough();

signals:
    void fileFoundChanged(int filesFound);
    void progressMaxSetup(int maximum);
    void progressValueChanged(int value);
    void currentPathChanged(const QString &path);
    void errorFromIndex(const QString &message);

private:
    enum GroupFieldEnum { GroupArtist, GroupGenre };

    // Build steps.
    // Makes the index and playlists whole again after an operation that was
    // cut off while it put its files in place.
    void recoverCutOffCommit() const;
    void deleteIndex();
    void createQuenorDir();
    void createPathIndex();
    void createTitleIndex();
    void removeDeletedItems();
    void createMp3TitleIndex();
    // Whether the path is a regular file (links followed), with its local
    // modification date and time as the numbers the index holds (0 and 0
    // when they cannot be read).
    static bool fileStatus(const QString &path, qint32 &date, qint32 &time);

    // Scanning.
    bool addFileToIndex(const QFileInfo &file);
    static QString getLongFileNamePath(const QString &path);
    static QString getShortFileNamePath(const QString &path);
    bool setSongInfo(SongInfoIndex &entry) const;
    bool askToRename(const QString &path, const QString &newPath);

    // Writers: 0 or a count on success, -1 on failure.
    int writePathIndex();
    int writeOrdIndex();
    int writeTitleIndex(const QString &name);
    int writeArtistIndex(const QString &name);
    int writeGenreIndex(const QString &name);
    int writeGroupIndex(const QString &name, GroupFieldEnum field);
    int writeAlphaBuffer(const QString &name);
    int writeNumFile();
    void clearAlphaBuffer();
    void addToAlphaBuffer(const QString &text, unsigned long offset);
    // The three text indexes of one set ("" for all songs, "3" for MP3s);
    // on failure names the file that could not be written.
    bool writeTextIndexes(
        const QString &suffix, int firstProgress, int *counts[3], QString &failedFile);
    // Stages a file of the root; commitStagedFiles() puts every staged
    // file in place, all or none.
    bool writeFile(const QString &name, const QByteArray &bytes);
    bool commitStagedFiles();

    // Reading the index back.
    int loadGroupFile(const QString &name, GroupFieldEnum field);
    SongInfoIndex *findById(quint32 id);

    // Playlists.
    // Works out each playlist's .pts file from the old index; writes them at
    // once, or keeps them for writePlaylistPaths() when deferred.
    bool createPlaylistFilePath(bool deferWriting = false);
    bool writePlaylistPaths();
    bool restorePlaylistFilePath();
    bool readPlaylistNumbers();
    // The playlists' new records, staged with the index files.
    void clearPlaylists(const QList<quint16> &numbers);
    void clearRemovedSongsFromPlaylists();
    QString playlistFile(quint16 number, const char *suffix) const;

    QString filePath(const QString &name) const;
    // A regular file read whole, refused when larger than maxBytes.
    static bool readWholeFile(const QString &path, qint64 maxBytes, QByteArray &bytes);

    QByteArray m_alphaBuffer;
    QString m_rootPath;
    QList<SongInfoIndex> m_songs;
    QList<quint16> m_playlistNumbers;
    quint32 m_lastId = 0;
    quint32 m_nextId = 0;
    quint16 m_nextPosidx = 0;
    bool m_playlistsConverted = false;
    bool m_indexChanged = false;
    bool m_askRename = true;
    bool m_doRename = true;
    int m_filesFound = 0;
    int m_titleCount = 0;
    int m_artistCount = 0;
    int m_genreCount = 0;
    int m_mp3TitleCount = 0;
    int m_mp3ArtistCount = 0;
    int m_mp3GenreCount = 0;

    // A rebuild keeps the old index until the new one is ready to be written.
    bool m_rebuilding = false;
    bool m_written = false;
    bool m_refusedTooMany = false;
    // A playlist file could not be written: the operation fails.
    bool m_playlistWriteFailed = false;
    // The new files could not be put in place: the old index stays.
    bool m_writeFailed = false;
    // The index files and playlists an operation changes, put in place
    // together at its end.
    StagedFiles m_staged;
    // Playlists a rebuild could not carry over, told once it is written.
    QList<quint16> m_clearedPlaylists;
    QList<QPair<quint16, QByteArray>> m_pendingPlaylistPaths;
    bool m_stopRequested = false;
    // Playlists a rebuild carries over through their .pts files, and those it
    // cannot (their records then name no song).
    QList<quint16> m_restorablePlaylists;
    QList<quint16> m_lostPlaylists;
    // Ids of the songs an update found gone from the memory.
    QList<quint32> m_removedIds;
    RenameQuestion m_renameQuestion;
};
