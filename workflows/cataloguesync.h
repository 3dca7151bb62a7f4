#pragma once

#include "songinfo.h"
#include "songsdbrecord.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>

class Database;
class LibraryRows;
class UserInteraction;
class UserSongsRelTableModel;

// Brings the song data of the user's files in line with the catalogue: for
// each row of the library it loads the file, finds the song in the catalogue
// (by file name, by the container's long name, by title), fills the file
// from the catalogue's row in automatic mode, saves it, refreshes the row
// from the file and colours its status.
class CatalogueSync
{
    Q_DECLARE_TR_FUNCTIONS(CatalogueSync)

public:
    // What became of one row.
    enum Outcome {
        Synced, // found in the catalogue and written
        NotUpdated, // unreadable, declined or not in the catalogue: left as it was
        SaveFailed, // found, but the file could not be rewritten
    };

    // The three keys a song is looked up by, in upper case.
    struct LookupKeys {
        QString fileName;
        QString longName;
        QString title;
    };

    // What a run did with one file, for front ends that list it.
    struct RowReport {
        QString path;
        Outcome outcome = NotUpdated;
        // The user (or the answer for all) said no to a file not published
        // by the maker.
        bool declined = false;
        // "FILENAME: KEY", "MFXLONGNAME: KEY" or "TITLE: KEY"; empty when the
        // song was not looked up or not found.
        QString foundBy;
    };
    using RowObserver = std::function<void(const RowReport &report)>;

    CatalogueSync(Database &database, UserSongsRelTableModel &model, UserInteraction &user);

    // Told of every row once it is done.
    void setRowObserver(RowObserver observer) { m_observer = std::move(observer); }
    // Asks (or not) about files not published by the maker whatever the
    // "copyrightAsk" setting holds: for a front end that was told the answer.
    void setAskNotPublished(bool ask)
    {
        m_askOverride = ask;
        m_askPerFile = ask;
    }

    // The whole run, after the backup proposal for files (the chosen files).
    // True when every row was processed; false when the table was empty, the
    // backup step said stop, or the user pressed "Interrompi".
    bool updateUserLibrary(const QStringList &files);
    // One row, addressed by its key in the library table.
    Outcome updateFileWithDb(qint64 key, LibraryRows &rows);

    // The file-name key comes from the file's name, the long-name key from
    // the container's long name: both lose a final three-character extension.
    static LookupKeys lookupKeys(const QString &shortName, const SongInfo &info);
    // The catalogue's fields over the file's record; the file's own fields
    // (path, format, publisher, container name and flags) stay.
    static SongInfo merged(const SongInfo &file, const SongsDbRecord &record);

    int syncedCount() const { return m_synced; }
    int failedCount() const { return m_failed; }

private:
    bool findRecord(const LookupKeys &keys, SongsDbRecord &record);
    void refreshRow(qint64 key, LibraryRows &rows, const QString &path);

    Database &m_database;
    UserSongsRelTableModel &m_model;
    UserInteraction &m_user;
    // From the "copyrightAsk" setting, read again at the start of each run:
    // "Si tutti" and "No tutti" end with the run.
    bool m_askPerFile = true;
    bool m_answerForAll = true;
    int m_synced = 0;
    int m_failed = 0;
    RowObserver m_observer;
    std::optional<bool> m_askOverride;
    RowReport m_report;
};
