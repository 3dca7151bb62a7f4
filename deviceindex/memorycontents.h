#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>

// What the device will list from a prepared memory, read back from the
// memory's own index files: the songs by title, by artist and by genre, for
// all songs and for the MP3 songs alone, in the order and the groups the
// files hold them, and the device's playlists with the songs they name.
// Reading never writes anything to the memory.
class MemoryContents
{
public:
    enum StateEnum {
        Empty, // nothing loaded yet
        Prepared,
        NotPrepared, // an index file is missing
        Unreadable, // the index files cannot be read back
    };

    // The two sets the device offers.
    enum SetEnum { AllSongs = 0, Mp3Songs = 1 };

    struct Song {
        quint32 id = 0;
        QString title;
        QString path;
        quint8 bpm = 0;
        quint8 type = 0;
        bool markers = false;
    };

    // An artist or a genre with its songs (positions in songs()).
    struct Group {
        QString name;
        QList<int> songs;
    };

    struct SongSet {
        QList<int> byTitle;
        QList<Group> byArtist;
        QList<Group> byGenre;
    };

    struct Playlist {
        quint16 number = 0;
        bool readable = true;
        // Positions in songs(), -1 for a record that names no song of the
        // index.
        QList<int> songs;
    };

    // Reads the index of the memory whose root is root; the state tells how
    // it went.
    StateEnum load(const QString &root);

    StateEnum state() const { return m_state; }
    QString root() const { return m_root; }
    const QList<Song> &songs() const { return m_songs; }
    const SongSet &songSet(SetEnum set) const { return m_sets[set]; }
    const QList<Playlist> &playlists() const { return m_playlists; }
    // Records of the title and group files that name an id index.idx lacks;
    // they are left out of the lists.
    int unknownRecords() const { return m_unknown; }

    // The type code of a song record as the device names it.
    static QString typeName(quint8 type);

private:
    void readSet(SetEnum set, const QString &suffix);
    QList<int> readTitles(const QString &name);
    QList<Group> readGroups(const QString &name);
    void readPlaylists();
    int songOf(quint32 id) const { return m_byId.value(id, -1); }

    StateEnum m_state = Empty;
    QString m_root;
    QList<Song> m_songs;
    QHash<quint32, int> m_byId;
    SongSet m_sets[2];
    QList<Playlist> m_playlists;
    int m_unknown = 0;
};
