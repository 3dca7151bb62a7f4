#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QtGlobal>

// Checks a prepared memory's index against the memory itself: the answer to
// "the player shows nothing after a transfer". The index is read back with
// the engine's own reader; the song files are found by the engine's own scan
// (which never renames anything here: nobody is asked).
class IndexCheck
{
    Q_DECLARE_TR_FUNCTIONS(IndexCheck)

public:
    enum ProblemEnum {
        NotPrepared, // an index file is missing
        Unreadable, // the index cannot be read back (short or inconsistent files)
        RepeatedId, // two path records share an id, or a record holds the "no song" id
        NotIndexed, // a song file of the memory has no path record
        IndexedTwice, // two path records name the same file
        MissingFile, // a path record names a file that is not on the memory
        Refused, // a song file the index cannot hold (path too long)
        WrongCount, // a count of fsinfos.idx differs from its file
        BadPlaylist, // a playlist file is missing or not made of whole records
        UnknownPlaylistSong, // a playlist record names an id the index lacks
        CutOff, // a build or update stopped while it put its files in place
    };

    struct Problem {
        ProblemEnum kind;
        QString text;
    };

    // root: the memory root (one trailing separator is ignored).
    explicit IndexCheck(const QString &root);

    // Runs every check; true when all of them hold.
    bool run();

    const QList<Problem> &problems() const { return m_problems; }
    // Songs in the index and song files on the memory, as found by run().
    int indexedSongs() const { return m_indexed; }
    int songFiles() const { return m_files; }

private:
    void add(ProblemEnum kind, const QString &text);
    void checkCutOff();
    void checkRepeatedIds();
    void checkCounts(int songs, int mp3Songs);
    void checkPlaylists(const QList<quint32> &ids);

    QString m_root;
    QList<Problem> m_problems;
    int m_indexed = 0;
    int m_files = 0;
};
