#include "database.h"

#include <QDebug>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QVariant>

#include <limits>

namespace
{

const char *const sqliteDriver = "QSQLITE";
const char *const catalogueResource = ":/db/songsdb";

const char *const createUserSongs
    = "create table usersongs (id integer primary key, type varchar, title varchar, "
      "artist varchar, genre varchar, author varchar, length varchar, userbpm int, key varchar, "
      "filename varchar, shortname varchar, status int)";

// The searched text is bound, never spliced into the statement: a title with
// a double quote then simply finds or misses its row, and a title that reads
// like a column name ("key", "title") is not taken for that column. LIKE keeps
// its meaning: ASCII letters match in any case, "%" and "_" are wildcards.
const char *const selectByTitle
    = "SELECT title,artist,genre,author,length,bpm,key,markers,altartist FROM songs "
      "WHERE title like ?";
const char *const countByTitle = "SELECT count(*) from songs WHERE title like ?";
const char *const selectByFilename
    = "SELECT title,artist,genre,author,length,bpm,key,markers,altartist FROM songs "
      "WHERE filename like ?";

// Column positions in the two SELECT statements above.
enum RecordColumn {
    colTitle,
    colArtist,
    colGenre,
    colAuthor,
    colLength,
    colBpm,
    colKey,
    colMarkers,
    colAltArtist
};

// A catalogue number as a 32-bit integer, or -1 when the column holds NULL, a
// text that is not a decimal integer, a fraction or a value out of range.
qint32 integerOrMinusOne(const QVariant &value)
{
    if (value.isNull())
        return -1;
    bool ok = false;
    qint64 number = -1;
    switch (value.typeId()) {
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (d != double(qint64(d)))
            return -1;
        number = qint64(d);
        ok = true;
        break;
    }
    case QMetaType::QString:
        number = value.toString().trimmed().toLongLong(&ok, 10);
        break;
    default:
        number = value.toLongLong(&ok);
        break;
    }
    if (!ok || number < std::numeric_limits<qint32>::min()
        || number > std::numeric_limits<qint32>::max())
        return -1;
    return qint32(number);
}

// SQLite matches a NULL pattern against nothing; an empty title must still
// be looked up as the empty text.
QString bindable(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

void fillRecordFromQuery(const QSqlQuery &query, SongsDbRecord &record)
{
    record.title = query.value(colTitle).toString().trimmed();
    record.artist = query.value(colArtist).toString().trimmed();
    record.genre = query.value(colGenre).toString().trimmed();
    record.author = query.value(colAuthor).toString().trimmed();
    record.length = integerOrMinusOne(query.value(colLength));
    record.bpm = integerOrMinusOne(query.value(colBpm));
    record.key = query.value(colKey).toString().trimmed();
    Database::splitMarkers(query.value(colMarkers).toString().trimmed(), record.markers);
    record.altArtist = query.value(colAltArtist).toString().trimmed();
}

} // namespace

Database::Database() = default;

Database::~Database()
{
    removeConnections();
    m_tempFile.reset();
}

QString Database::catalogueConnectionName()
{
    return QStringLiteral("con_songsdb");
}

QString Database::userLibraryConnectionName()
{
    return QStringLiteral("con_mem");
}

QString Database::localCatalogueFileName()
{
    return QStringLiteral("songsdb_debug");
}

void Database::removeConnections()
{
    if (!m_registered)
        return;
    m_songsDb.close();
    m_memDb.close();
    m_songsDb = QSqlDatabase();
    m_memDb = QSqlDatabase();
    QSqlDatabase::removeDatabase(catalogueConnectionName());
    QSqlDatabase::removeDatabase(userLibraryConnectionName());
    m_registered = false;
}

bool Database::init()
{
    if (m_registered && m_memDb.isOpen() && m_songsDb.isOpen())
        return true;
    removeConnections();
    m_tempFile.reset();

    m_registered = true;
    m_memDb = QSqlDatabase::addDatabase(QLatin1String(sqliteDriver), userLibraryConnectionName());
    m_memDb.setDatabaseName(QStringLiteral(":memory:"));
    if (!m_memDb.open())
        return false;
    {
        QSqlQuery create(m_memDb);
        create.exec(QLatin1String(createUserSongs));
    }

    if (!m_catalogueFile.isEmpty()) {
        if (!QFile::exists(m_catalogueFile)) {
            qCritical().noquote() << QStringLiteral(
                "[Database::init] FATAL: catalogue file \"%1\" not found !!!")
                                         .arg(m_catalogueFile);
            return false;
        }
        m_songsDb
            = QSqlDatabase::addDatabase(QLatin1String(sqliteDriver), catalogueConnectionName());
        m_songsDb.setDatabaseName(m_catalogueFile);
    } else if (QFile::exists(localCatalogueFileName())) {
        qDebug() << "Using local file: 'songsdb_debug' as database";
        m_songsDb
            = QSqlDatabase::addDatabase(QLatin1String(sqliteDriver), catalogueConnectionName());
        m_songsDb.setDatabaseName(localCatalogueFileName());
    } else if (!openCatalogueCopy()) {
        return false;
    }

    // The catalogue is only ever read; opening it read-only also keeps a
    // local catalogue file exactly as the developer left it.
    m_songsDb.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!m_songsDb.open())
        return false;
    forgetCatalogueCopy();

    fillList(QStringLiteral("select distinct genre from songs"), m_genres);
    fillList(QStringLiteral("select distinct altartist from songs"), m_artists);
    return true;
}

bool Database::openCatalogueCopy()
{
    m_tempFile = std::make_unique<QTemporaryFile>();
    if (!m_tempFile->open()) {
        qCritical() << "[Database::init] FATAL: Unable to create temporary files !!!";
        m_tempFile.reset();
        return false;
    }
    qDebug().noquote() << QStringLiteral("[Database::init] Created temporary db file: \"%1\"")
                              .arg(m_tempFile->fileName());

    QFile resource(QString::fromLatin1(catalogueResource));
    if (!resource.open(QIODevice::ReadOnly)) {
        qCritical() << "[Database::init] FATAL: Unable to open db resource file !!!";
        resource.close();
        return false;
    }
    const QByteArray bytes = resource.readAll();
    resource.close();
    // A short copy would leave SQLite a damaged catalogue: every byte must be
    // on disk before the connection opens it.
    if (m_tempFile->write(bytes) != bytes.size() || !m_tempFile->flush()) {
        qCritical().noquote() << QStringLiteral(
            "[Database::init] FATAL: Unable to write temporary db file \"%1\" !!!")
                                     .arg(m_tempFile->fileName());
        return false;
    }

    m_songsDb = QSqlDatabase::addDatabase(QLatin1String(sqliteDriver), catalogueConnectionName());
    m_songsDb.setDatabaseName(m_tempFile->fileName());
    return true;
}

void Database::forgetCatalogueCopy()
{
    if (!m_tempFile)
        return;
    // SQLite holds the copy open from now on and reads it through its own
    // handle, so the name can go at once: a program that is killed, or
    // crashes, then leaves no copy behind in the temporary folder.
    const QString path = m_tempFile->fileName();
    if (!m_tempFile->remove())
        qWarning().noquote() << QStringLiteral(
            "[Database::init] WARNING: unable to remove temporary db file \"%1\"")
                                    .arg(path);
    m_tempFile.reset();
}

void Database::fillList(const QString &statement, QStringList &list)
{
    list.clear();
    QSqlQuery query(m_songsDb);
    if (!query.exec(statement)) {
        qWarning().noquote() << QStringLiteral(
            "[Database::init] WARNING: unable to read the catalogue: %1")
                                    .arg(query.lastError().text());
        return;
    }
    while (query.next()) {
        const QString value = query.value(0).toString().trimmed();
        if (!value.isEmpty())
            list.append(value);
    }
}

bool Database::getRecordByTitle(const QString &title, SongsDbRecord &record)
{
    QSqlQuery query(m_songsDb);
    if (!query.prepare(QLatin1String(selectByTitle)))
        return false;
    query.addBindValue(bindable(title));
    if (!query.exec() || !query.next())
        return false;

    QSqlQuery count(m_songsDb);
    if (!count.prepare(QLatin1String(countByTitle))) {
        qWarning() << "[getRecordByTitle] WARNING: unable to count reusults, aborting !!!";
        return false;
    }
    count.addBindValue(bindable(title));
    if (!count.exec() || !count.next()) {
        qWarning() << "[getRecordByTitle] WARNING: unable to count reusults, aborting !!!";
        return false;
    }
    bool ok = false;
    const int matches = count.value(0).toInt(&ok);
    if (!ok || matches != 1) {
        qWarning() << "[getRecordByTitle] WARNING: multiple reusults in query, aborting !!!";
        return false;
    }

    fillRecordFromQuery(query, record);
    return true;
}

bool Database::getRecordByFilename(const QString &filename, SongsDbRecord &record)
{
    QSqlQuery query(m_songsDb);
    if (!query.prepare(QLatin1String(selectByFilename)))
        return false;
    query.addBindValue(bindable(filename));
    if (!query.exec() || !query.next())
        return false;
    fillRecordFromQuery(query, record);
    return true;
}

bool Database::clearUserLibraryDb()
{
    QSqlQuery query(m_memDb);
    return query.exec(QStringLiteral("DELETE from usersongs"));
}

QSqlDatabase Database::userLibraryDb() const
{
    return m_memDb;
}

QStringList Database::artistsList() const
{
    return m_artists;
}

QStringList Database::genresList() const
{
    return m_genres;
}

void Database::splitMarkers(const QString &text, QList<Marker> &markers)
{
    markers.clear();
    const QStringList parts = text.split(QLatin1Char(';'), Qt::SkipEmptyParts, Qt::CaseSensitive);
    for (qsizetype i = 0; i < parts.size() / 2; ++i) {
        bool ok = false;
        const int bar = parts.at(2 * i).toInt(&ok, 10);
        if (ok && bar >= 0)
            markers.append(Marker(parts.at(2 * i + 1), bar));
    }
}
