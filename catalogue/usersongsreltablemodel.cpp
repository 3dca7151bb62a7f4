#include "usersongsreltablemodel.h"

#include <QColor>
#include <QSqlField>
#include <QSqlRecord>

namespace {

// Background of the data cells: light grey stripes.
const QColor evenRowGrey(200, 200, 200);
const QColor oddRowGrey(230, 230, 230);

// Colour of the status cell, by status, for even and odd rows.
QColor statusColour(int status, bool oddRow)
{
    switch (status) {
    case Database::statusSynced:
        return oddRow ? QColor(130, 255, 130) : QColor(100, 225, 100);
    case Database::statusEdited:
        return oddRow ? QColor(255, 255, 130) : QColor(225, 225, 100);
    case Database::statusSyncFailed:
        return oddRow ? QColor(255, 130, 130) : QColor(225, 100, 100);
    case Database::statusNotSynced:
    default:
        return oddRow ? oddRowGrey : evenRowGrey;
    }
}

} // namespace

UserSongsRelTableModel::UserSongsRelTableModel(QObject *parent, const QSqlDatabase &db)
    : QSqlRelationalTableModel(parent, db)
{
    // The rows are loaded later, by the first select or write.
    setTable(QStringLiteral("usersongs"));
    setFiledsIndexes();
    setEditStrategy(QSqlTableModel::OnFieldChange);
}

void UserSongsRelTableModel::setFiledsIndexes()
{
    m_colType = fieldIndex(QStringLiteral("type"));
    m_colTitle = fieldIndex(QStringLiteral("title"));
    m_colArtist = fieldIndex(QStringLiteral("artist"));
    m_colGenre = fieldIndex(QStringLiteral("genre"));
    m_colAuthor = fieldIndex(QStringLiteral("author"));
    m_colLength = fieldIndex(QStringLiteral("length"));
    m_colUserBpm = fieldIndex(QStringLiteral("userbpm"));
    m_colKey = fieldIndex(QStringLiteral("key"));
    m_colFilename = fieldIndex(QStringLiteral("filename"));
    m_colShortname = fieldIndex(QStringLiteral("shortname"));
    m_colStatus = fieldIndex(QStringLiteral("status"));
}

void UserSongsRelTableModel::setHeaderLabels()
{
    setHeaderData(0, Qt::Horizontal, tr("Num"), Qt::EditRole);
    setHeaderData(m_colType, Qt::Horizontal, tr("Formato"), Qt::EditRole);
    setHeaderData(m_colTitle, Qt::Horizontal, tr("Titolo"), Qt::EditRole);
    setHeaderData(m_colArtist, Qt::Horizontal, tr("Artista"), Qt::EditRole);
    setHeaderData(m_colGenre, Qt::Horizontal, tr("Genere"), Qt::EditRole);
    setHeaderData(m_colAuthor, Qt::Horizontal, tr("Autore"), Qt::EditRole);
    setHeaderData(m_colLength, Qt::Horizontal, tr("Durata"), Qt::EditRole);
    setHeaderData(m_colUserBpm, Qt::Horizontal, tr("Bpm"), Qt::EditRole);
    setHeaderData(m_colKey, Qt::Horizontal, tr("Tonalita'"), Qt::EditRole);
    setHeaderData(m_colFilename, Qt::Horizontal, QString(), Qt::EditRole);
    setHeaderData(m_colShortname, Qt::Horizontal, tr("Nome file"), Qt::EditRole);
    setHeaderData(m_colStatus, Qt::Horizontal, QString(), Qt::EditRole);
}

QVariant UserSongsRelTableModel::data(const QModelIndex &index, int role) const
{
    const QVariant value = QSqlRelationalTableModel::data(index, role);
    if (!index.isValid())
        return value;
    const bool oddRow = index.row() % 2 != 0;
    if (index.column() == m_colStatus
        && (role == Qt::BackgroundRole || role == Qt::ForegroundRole)) {
        // The status number is painted in the colour of its own cell.
        const int status = QSqlRelationalTableModel::data(index.siblingAtColumn(m_colStatus),
                                                          Qt::DisplayRole)
                               .toInt();
        return statusColour(status, oddRow);
    }
    if (role == Qt::BackgroundRole)
        return oddRow ? oddRowGrey : evenRowGrey;
    return value;
}

QString UserSongsRelTableModel::lengthText(qint32 seconds)
{
    if (seconds < 0)
        return QString();
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void UserSongsRelTableModel::fetchAll()
{
    // The SQLite driver cannot tell the size of a result, so the base model
    // loads rows in batches; row numbers are only meaningful once all are in.
    while (canFetchMore(QModelIndex()))
        fetchMore(QModelIndex());
}

bool UserSongsRelTableModel::addSong(const SongInfo &info)
{
    QSqlRecord rec = record();
    // SQLite assigns the row key.
    rec.setGenerated(0, false);
    rec.setValue(m_colType, info.format);
    rec.setValue(m_colTitle, info.title);
    rec.setValue(m_colArtist, info.artist);
    rec.setValue(m_colGenre, info.genre);
    rec.setValue(m_colAuthor, info.author);
    rec.setValue(m_colLength, lengthText(info.length));
    rec.setValue(m_colUserBpm, info.userBpm);
    rec.setValue(m_colKey, info.key);
    rec.setValue(m_colFilename, info.filename);
    rec.setValue(m_colShortname, info.shortname);
    rec.setValue(m_colStatus, int(Database::statusNotSynced));
    return insertRecord(-1, rec);
}

void UserSongsRelTableModel::setCell(int row, int column, const QVariant &value)
{
    fetchAll();
    const QModelIndex cell = index(row, column, QModelIndex());
    if (cell.isValid())
        setData(cell, value, Qt::EditRole);
}

void UserSongsRelTableModel::updateRow(int row, const SongInfo &info)
{
    setCell(row, m_colTitle, info.title);
    setCell(row, m_colArtist, info.artist);
    setCell(row, m_colGenre, info.genre);
    setCell(row, m_colAuthor, info.author);
    setCell(row, m_colLength, lengthText(info.length));
    setCell(row, m_colUserBpm, info.userBpm < 0 ? 0 : info.userBpm);
    setCell(row, m_colKey, info.key);
}

int UserSongsRelTableModel::status(int row)
{
    fetchAll();
    return data(index(row, m_colStatus, QModelIndex()), Qt::DisplayRole).toInt();
}

void UserSongsRelTableModel::setStatus(int row, Database::statusEnum status)
{
    setCell(row, m_colStatus, int(status));
}

QString UserSongsRelTableModel::fileName(int row)
{
    fetchAll();
    return data(index(row, m_colFilename, QModelIndex()), Qt::DisplayRole).toString();
}

QString UserSongsRelTableModel::shortName(int row)
{
    fetchAll();
    return data(index(row, m_colShortname, QModelIndex()), Qt::DisplayRole).toString();
}

int UserSongsRelTableModel::goodRowCount()
{
    fetchAll();
    return rowCount(QModelIndex());
}

QModelIndex UserSongsRelTableModel::rowIndex(int row)
{
    fetchAll();
    return index(row, 0, QModelIndex());
}
