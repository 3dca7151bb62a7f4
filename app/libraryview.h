#ifndef LIBRARYVIEW_H
#define LIBRARYVIEW_H

class QAbstractItemModel;
class QTableView;
class QWidget;
class UserSongsRelTableModel;

// How the main window shows the library table.
namespace LibraryView
{

// Read-only cells, sorting by header click, whole-row single selection, grid,
// no row numbers, no stripes of the view's own (the model paints them),
// custom context menu; sets the model, hides the file path, status and
// row key columns and fits the other columns. shown, when given, is the model
// the view shows in place of model (a filter over it, same columns).
void setUp(QTableView *view, UserSongsRelTableModel *model, QAbstractItemModel *shown = nullptr);

// Fits every shown column to its contents: all but the full path (9) and
// the status (11).
void fitColumns(QTableView *view);

// Tells the user, in a critical message box over parent, that the song
// database could not be opened and the song commands are unavailable.
void tellDatabaseUnavailable(QWidget *parent);

} // namespace LibraryView

#endif // LIBRARYVIEW_H
