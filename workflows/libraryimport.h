#pragma once

#include <QCoreApplication>
#include <QStringList>

#include <functional>

class Database;
class UserInteraction;
class UserSongsRelTableModel;

// Reads the chosen song files into the library table, one row per readable
// song, after emptying the table.
class LibraryImport
{
    Q_DECLARE_TR_FUNCTIONS(LibraryImport)

public:
    struct Result {
        // False when the table could not be emptied: nothing was read.
        bool cleared = true;
        // "Interrompi" was pressed: the rows read so far stay.
        bool stopped = false;
        int songs = 0;
        int bad = 0;
        int makerSongs = 0;
        // The files examined: all of them, or those before a stop.
        QStringList examined;
    };

    // What the summary after the import led to.
    struct Offer {
        bool summaryShown = false;
        // "Non mostrare più messaggi sul copyright" left unticked.
        bool showAgain = true;
        bool synchronised = false;
        // Only meaningful when synchronised: the synchronisation's result.
        bool syncSucceeded = false;
    };

    LibraryImport(Database &database, UserSongsRelTableModel &model, UserInteraction &user);

    Result run(const QStringList &files);

    // When the "copyrightAsk" setting is on: the summary of result, the
    // setting stored from its show-again box, and, when the user agrees,
    // synchronise() run. Nothing is offered after a stop or a failed start.
    Offer offerSynchronisation(const Result &result, const std::function<bool()> &synchronise);

    // The part of a path after its last "/" (the whole path without one).
    static QString shortName(const QString &path);

private:
    Database &m_database;
    UserSongsRelTableModel &m_model;
    UserInteraction &m_user;
};
