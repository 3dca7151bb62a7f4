#ifndef USERSONGSRELTABLEMODEL_H
#define USERSONGSRELTABLEMODEL_H

#include "database.h"
#include "songinfo.h"

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlRelationalTableModel>

// The library table: one row of the in-memory "usersongs" table per song
// file the user imported. Every change is written to the table at once.
// Rows are addressed by row number.
//
// The framework's table model keeps every row edited or added since the last
// select in a map that it walks on each row count and each submit, which
// makes a library of thousands of songs quadratic to import and synchronise.
// This model therefore writes rows and cells itself, with one statement per
// change, re-reads the changed row by its key and keeps it beside the
// framework's rows until the next select. The view sees the same signals.
class UserSongsRelTableModel : public QSqlRelationalTableModel
{
    Q_OBJECT

public:
    UserSongsRelTableModel(QObject *parent, const QSqlDatabase &db);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool select() override;
    void clear() override;

    void setFiledsIndexes();
    void setHeaderLabels();

    int colIdxFilename() const { return m_colFilename; }
    int colIdxStatus() const { return m_colStatus; }

    bool addSong(const SongInfo &info);
    void updateRow(int row, const SongInfo &info);
    int status(int row);
    void setStatus(int row, Database::statusEnum status);
    QString fileName(int row);
    QString shortName(int row);
    int goodRowCount();
    QModelIndex rowIndex(int row);

    // "mm:ss" for a length in seconds, empty for a negative length.
    static QString lengthText(qint32 seconds);

private:
    void fetchAll();
    void setCell(int row, int column, const QVariant &value);
    // The value of a cell as stored, whichever side holds the row.
    QVariant storedValue(int row, int column) const;
    QSqlRecord readRow(const QVariant &id);
    int selectedRowCount() const;

    // Statements prepared once: a synchronisation writes thousands of cells.
    QSqlQuery m_insertRow;
    QSqlQuery m_readRow;
    QHash<int, QSqlQuery> m_updateCell;

    // Rows added since the last select, shown after the selected ones.
    QList<QSqlRecord> m_added;
    // Selected rows changed since the last select, as re-read after the change.
    QHash<int, QSqlRecord> m_changed;

    int m_colType = -1;
    int m_colTitle = -1;
    int m_colArtist = -1;
    int m_colGenre = -1;
    int m_colAuthor = -1;
    int m_colLength = -1;
    int m_colUserBpm = -1;
    int m_colKey = -1;
    int m_colFilename = -1;
    int m_colShortname = -1;
    int m_colStatus = -1;
};

#endif // USERSONGSRELTABLEMODEL_H
