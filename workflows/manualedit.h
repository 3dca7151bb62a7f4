#pragma once

#include "metasong.h"
#include "songinfo.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class Database;
class LibraryRows;
class UserInteraction;
class UserSongsRelTableModel;

// What the user does to single rows of the library table: editing a song by
// hand (and carrying the edited artist, genre, author or a title made from
// the file name over to every other song of the list), removing a row from
// the list and deleting a song file. Edits are written into the song files
// in manual mode; each row is then refreshed from its file.
class ManualEdit
{
    Q_DECLARE_TR_FUNCTIONS(ManualEdit)

public:
    ManualEdit(Database &database, UserSongsRelTableModel &model, UserInteraction &user);

    // The double click on row: the edit form, the save, and the other songs
    // when an "Applica a tutti" box was confirmed. Returns the row the edited
    // song stands in afterwards (for scrolling back to it), or -1 when
    // nothing was edited. Files that could not be saved are named in one
    // message at the end.
    int editRow(int row);

    // Writes info into fileName in manual mode and refreshes row from the
    // file. A failed save leaves the row's status as it was; true when the
    // file was saved.
    bool manualModifySong(MetaSong song, SongInfo info, QString fileName, int row);

    // "Remove from list": the row goes, the file stays.
    bool removeFromList(int row);
    // "Delete file", after the user's confirmation. The row goes (and the
    // file leaves selectedFiles) only once the file is really gone; a file
    // that cannot be deleted is named in a warning and keeps its row.
    bool deleteFile(int row, QStringList &selectedFiles);

    // Diagnostics of the hidden panel: the song of row saved into target (a
    // copy; the song file itself stays as it is), with or without one added
    // marker.
    bool debugSave(int row, const QString &target);
    bool debugAddMarker(int row, const QString &target, const QString &text, int bar);

    // The file name without its folder and extension: "/a/My Song.mid" gives
    // "My Song"; a name without a dot is kept whole.
    static QString titleFromFileName(const QString &path);

private:
    // Applies the confirmed "Applica a tutti" fields to every row but the
    // one of editedKey; the paths that could not be saved go to failed.
    void applyToAll(qint64 editedKey, const SongInfo &edited, bool author, bool artist, bool genre,
        bool titleFromFileName, LibraryRows &rows, QStringList &failed);
    // Saves song into a copy of its file at target.
    static bool saveCopy(MetaSong &song, const QString &source, const QString &target);

    Database &m_database;
    UserSongsRelTableModel &m_model;
    UserInteraction &m_user;
};
