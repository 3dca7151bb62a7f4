#include "usersongsreltablemodel.h"

#include <QColor>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace
{

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
    if (!index.isValid() || index.model() != this)
        return QSqlRelationalTableModel::data(index, role);
    const bool oddRow = index.row() % 2 != 0;
    if (index.column() == m_colStatus
        && (role == Qt::BackgroundRole || role == Qt::ForegroundRole)) {
        // The status number is painted in the colour of its own cell.
        return statusColour(storedValue(index.row(), m_colStatus).toInt(), oddRow);
    }
    if (role == Qt::BackgroundRole)
        return oddRow ? oddRowGrey : evenRowGrey;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return storedValue(index.row(), index.column());
    return QSqlRelationalTableModel::data(index, role);
}

int UserSongsRelTableModel::selectedRowCount() const
{
    return QSqlRelationalTableModel::rowCount(QModelIndex());
}

int UserSongsRelTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return selectedRowCount() + int(m_added.size());
}

QVariant UserSongsRelTableModel::storedValue(int row, int column) const
{
    const int selected = selectedRowCount();
    if (row < 0 || column < 0 || column >= columnCount() || row >= selected + m_added.size())
        return QVariant();
    if (row >= selected)
        return m_added.at(row - selected).value(column);
    const auto changed = m_changed.constFind(row);
    if (changed != m_changed.constEnd())
        return changed->value(column);
    return QSqlRelationalTableModel::data(index(row, column), Qt::DisplayRole);
}

QSqlRecord UserSongsRelTableModel::readRow(const QVariant &id)
{
    if (m_readRow.lastQuery().isEmpty()) {
        m_readRow = QSqlQuery(database());
        if (!m_readRow.prepare(QStringLiteral("SELECT * FROM usersongs WHERE id = ?"))) {
            m_readRow = QSqlQuery();
            return QSqlRecord();
        }
    }
    m_readRow.bindValue(0, id);
    QSqlRecord stored;
    if (m_readRow.exec() && m_readRow.next())
        stored = m_readRow.record();
    m_readRow.finish();
    return stored;
}

bool UserSongsRelTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    // The row key (column 0) is SQLite's and stays as it is.
    if (role != Qt::EditRole || !index.isValid() || index.model() != this || index.column() == 0)
        return false;
    const int row = index.row();
    const QVariant id = storedValue(row, 0);
    const QString column = record().fieldName(index.column());
    if (id.isNull() || column.isEmpty())
        return false;

    // Written to the table at once, as the on-field-change strategy asks.
    auto update = m_updateCell.find(index.column());
    if (update == m_updateCell.end()) {
        QSqlQuery prepared(database());
        const QString escaped
            = database().driver()->escapeIdentifier(column, QSqlDriver::FieldName);
        if (!prepared.prepare(
                QStringLiteral("UPDATE usersongs SET %1 = ? WHERE id = ?").arg(escaped)))
            return false;
        update = m_updateCell.insert(index.column(), prepared);
    }
    update->bindValue(0, value);
    update->bindValue(1, id);
    if (!update->exec())
        return false;

    // Shown as the table now holds it.
    const QSqlRecord stored = readRow(id);
    if (stored.isEmpty())
        return false;
    const int selected = selectedRowCount();
    if (row >= selected)
        m_added[row - selected] = stored;
    else
        m_changed.insert(row, stored);
    emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
    return true;
}

bool UserSongsRelTableModel::insertRows(int, int, const QModelIndex &)
{
    // Rows are added with addSong, which writes them to the table at once.
    return false;
}

bool UserSongsRelTableModel::removeRows(int row, int count, const QModelIndex &parent)
{
    fetchAll();
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount())
        return false;
    QVariantList ids;
    for (int r = row; r < row + count; ++r)
        ids.append(storedValue(r, 0));
    bool ok = true;
    QSqlQuery remove(database());
    remove.prepare(QStringLiteral("DELETE FROM usersongs WHERE id = ?"));
    for (const QVariant &id : ids) {
        remove.addBindValue(id);
        ok = remove.exec() && ok;
    }
    // Removing a song is a rare, single action: reloading the table keeps
    // the rows and the row numbers exactly as the table holds them.
    select();
    fetchAll();
    return ok;
}

bool UserSongsRelTableModel::select()
{
    if (selectStatement().isEmpty())
        return false;
    m_added.clear();
    m_changed.clear();
    return QSqlRelationalTableModel::select();
}

void UserSongsRelTableModel::clear()
{
    m_added.clear();
    m_changed.clear();
    QSqlRelationalTableModel::clear();
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
    // Every selected row must be in before a row is shown after them.
    fetchAll();
    if (m_insertRow.lastQuery().isEmpty()) {
        m_insertRow = QSqlQuery(database());
        // SQLite assigns the row key.
        if (!m_insertRow.prepare(QStringLiteral(
                "INSERT INTO usersongs (type, title, artist, genre, author, length, userbpm, "
                "key, filename, shortname, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
            m_insertRow = QSqlQuery();
            return false;
        }
    }
    const QVariantList values = { info.format, info.title, info.artist, info.genre, info.author,
        lengthText(info.length), info.userBpm, info.key, info.filename, info.shortname,
        int(Database::statusNotSynced) };
    for (int i = 0; i < values.size(); ++i)
        m_insertRow.bindValue(i, values.at(i));
    if (!m_insertRow.exec())
        return false;

    const QSqlRecord stored = readRow(m_insertRow.lastInsertId());
    if (stored.isEmpty())
        return false;
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_added.append(stored);
    endInsertRows();
    return true;
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
