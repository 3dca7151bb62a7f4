#ifndef USERSONGSRELTABLEMODEL_H
#define USERSONGSRELTABLEMODEL_H

#include "database.h"
#include "songinfo.h"

#include <QSqlRelationalTableModel>

// The library table: one row of the in-memory "usersongs" table per song
// file the user imported. Every change is written to the table at once.
// Rows are addressed by row number.
class UserSongsRelTableModel : public QSqlRelationalTableModel
{
    Q_OBJECT

public:
    UserSongsRelTableModel(QObject *parent, const QSqlDatabase &db);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

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
