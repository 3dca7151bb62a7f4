#ifndef DATABASE_H
#define DATABASE_H

#include "songinfo.h"
#include "songsdbrecord.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryFile;

// The program's two SQLite databases: the song catalogue compiled into the
// resources (copied to a temporary file so SQLite can open it; the file's
// name is removed as soon as SQLite has it open) and the in-memory user
// library behind the library table.
class Database
{
public:
    // Synchronisation state of a row of the user library.
    enum statusEnum {
        statusNotSynced = 0,
        statusSynced = 1,
        statusEdited = 2,
        statusSyncFailed = 3,
    };

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens both databases; true when both are open. Call once.
    bool init();
    // A catalogue file of the same layout to open instead of the built-in
    // one (for the command line); call before init().
    void setCatalogueFile(const QString &path) { m_catalogueFile = path; }

    bool getRecordByTitle(const QString &title, SongsDbRecord &record);
    bool getRecordByFilename(const QString &filename, SongsDbRecord &record);
    bool clearUserLibraryDb();

    QSqlDatabase userLibraryDb() const;
    QStringList artistsList() const;
    QStringList genresList() const;

    // Parses the catalogue's markers text "bar;text;bar;text;...".
    static void splitMarkers(const QString &text, QList<Marker> &markers);

    // Connection names, fixed: only one initialised Database per process.
    static QString catalogueConnectionName();
    static QString userLibraryConnectionName();
    // Local catalogue in the working directory that replaces the built-in one.
    static QString localCatalogueFileName();

private:
    bool openCatalogueCopy();
    void forgetCatalogueCopy();
    void fillList(const QString &statement, QStringList &list);
    void removeConnections();

    // The copy of the built-in catalogue, until the connection has it open.
    std::unique_ptr<QTemporaryFile> m_tempFile;
    QSqlDatabase m_songsDb;
    QSqlDatabase m_memDb;
    QStringList m_genres;
    QStringList m_artists;
    bool m_registered = false;
    QString m_catalogueFile;
};

#endif // DATABASE_H
