#pragma once

#include <QStringList>

// Turns the folders and files the user chose (the "Importa cartella..."
// command, or a drop onto the window) into the list of song files the import
// reads. Each folder is walked depth first, its entries sorted by name
// ignoring letter case (ties in case order), so the same tree always gives
// the same list. Hidden files and folders are skipped; a link is followed only
// when what it points to lies inside the folder being walked, and a file or
// folder reached twice (through a link) is listed once.
namespace SongFolders
{

// True for the six song suffixes, in any letter case.
bool isSongFile(const QString &fileName);

// The song files under the folders and among the files of paths, in the
// order given; a chosen file that is not a song file is left out.
QStringList collect(const QStringList &paths);

} // namespace SongFolders
