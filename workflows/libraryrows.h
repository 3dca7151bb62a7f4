#pragma once

#include <QHash>
#include <QList>
#include <QtGlobal>

class UserSongsRelTableModel;

// Finds the rows of the library table by their key (the "usersongs" id):
// clicking a column header while a workflow runs sorts the table and changes
// every row number, but never a key.
class LibraryRows
{
public:
    explicit LibraryRows(UserSongsRelTableModel &model);

    // The keys of all rows, in the table's present order.
    QList<qint64> keys();
    // The present row of key, or -1 when the table no longer holds it.
    int rowOf(qint64 key);
    // The key of a row as the table shows it now, or -1.
    qint64 keyOf(int row);

private:
    void rebuild();

    UserSongsRelTableModel &m_model;
    QHash<qint64, int> m_rows;
};
