#pragma once

#include "songinfoindex.h"

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

// Scans a Quenor memory (Compact Flash card or USB pen), writes the index
// files the device reads from the memory's root and keeps the device's
// playlists pointing at the right songs. One object serves one operation.
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

    // Asks whether a long file or folder name may be shortened: gets the old
    // path and the message to show, returns a RenameAnswerEnum value. The
    // window connects it to the four-way confirmation dialog; tests script it.
    using RenameQuestion = std::function<int(const QString &oldPath, const QString &message)>;

    // The 16-bit record numbers and counts of the index files describe at
    // most this many songs.
    static constexpr int MaxSongs = 65535;

    explicit Index(QObject *parent = nullptr);

    // Without a question nobody can confirm a rename, so names stay as they
    // are.
    void setRenameQuestion(RenameQuestion question);

    // Whole operations.
    bool createIndex(const QString &root);
    bool updateIndex(const QString &root);

    // The memory is prepared: all fifteen index files exist.
    bool checkIndexFile() const;
    int loadAllIndexFile();
    void deleteIndex();
    void createQuenorDir();
    bool createPlaylistFilePath();
    bool restorePlaylistFilePath();

    // Build steps.
    void createPathIndex();
    void createTitleIndex();
    void removeDeletedItems();
    void createMp3TitleIndex();

    // Scanning.
    void scan_files(const QString &dir);
    bool addFileToIndex(const QFileInfo &file);
    QString renameLongFileName(const QString &path);
    static bool checkFileExt(const QString &suffix);
    static QString getLongFileNamePath(const QString &path);
    static QString getShortFileNamePath(const QString &path);
    bool setSongInfo(SongInfoIndex &entry) const;

    // Writers: 0 or a count on success, -1 on failure.
    int writePathIndex();
    int writeOrdIndex();
    int writeTitleIndex(const QString &name);
    int writeArtistIndex(const QString &name);
    int writeGenreIndex(const QString &name);
    int writeAlphaBuffer(const QString &name);
    // The three text indexes of one set ("" for all songs, "3" for MP3s);
    // on failure names the file that could not be written.
    bool writeTextIndexes(const QString &suffix, int firstProgress,
        const std::array<int *, 3> &counts, const char *&failedFile);
    int writeNumFile();
    void clearAlphaBuffer();
    void addToAlphaBuffer(const QString &text, unsigned long offset);

    // State, for the callers that read an index and for checks.
    QString rootPath() const { return m_rootPath; }
    void setRootPath(const QString &root);
    const QList<SongInfoIndex> &songs() const { return m_songs; }
    QList<SongInfoIndex> &songs() { return m_songs; }
    QList<quint16> playlistNumbers() const { return m_playlistNumbers; }
    quint32 lastId() const { return m_lastId; }
    quint32 nextId() const { return m_nextId; }
    bool isIndexChanged() const { return m_indexChanged; }
    int filesFoundCount() const { return m_filesFound; }
    QByteArray alphaBuffer() const { return m_alphaBuffer; }

    // The fifteen index files of a prepared memory, in their fixed order.
    static QStringList indexFileNames();

signals:
    void fileFoundChanged(int filesFound);
    void progressMaxSetup(int maximum);
    void progressValueChanged(int value);
    void currentPathChanged(const QString &path);
    void errorFromIndex(const QString &message);

private:
    enum GroupFieldEnum { GroupArtist, GroupGenre };

    QString filePath(const QString &name) const;
    int writeGroupIndex(const QString &name, GroupFieldEnum field);
    int loadGroupFile(const QString &name, GroupFieldEnum field);
    SongInfoIndex *findById(quint32 id);
    bool writeFile(const QString &name, const QByteArray &bytes) const;
    QString playlistFile(quint16 number, const char *suffix) const;
    bool readPlaylistNumbers();
    void clearRemovedSongsFromPlaylists();

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
    QList<quint16> m_restorablePlaylists;
    // Ids of the songs an update found gone from the memory.
    QList<quint32> m_removedIds;
    RenameQuestion m_renameQuestion;
};
