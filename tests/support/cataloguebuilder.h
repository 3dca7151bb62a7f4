#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// A small song catalogue for tests and benchmarks, written as the developers'
// local catalogue file ("songsdb_debug" in the working folder), which the
// Database opens instead of the built-in one.
struct CatalogueRow {
    QString title;
    QString artist;
    QString genre;
    QString author;
    QVariant length;
    QVariant bpm;
    QString key;
    QString filename;
    QVariant markers; // "bar;text;bar;text;" or null
    QString altArtist;
};

// Writes rows into path (replacing it); false with a warning on failure.
inline bool writeTestCatalogue(const QString &path, const QList<CatalogueRow> &rows)
{
    const QString connection = QStringLiteral("testcatalogue");
    bool written = false;
    QSqlDatabase::removeDatabase(connection);
    {
        QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        file.setDatabaseName(path);
        QSqlQuery query(file);
        written = file.open() && query.exec(QStringLiteral("DROP TABLE IF EXISTS Songs"))
            && file.transaction()
            && query.exec(QStringLiteral(
                "CREATE TABLE Songs(title varchar, artist varchar, genre varchar, author "
                "varchar, length integer, bpm integer, key varchar, filename varchar primary "
                "key, markers varchar, altartist varchar)"))
            && query.prepare(QStringLiteral("INSERT INTO Songs VALUES(?,?,?,?,?,?,?,?,?,?)"));
        for (const CatalogueRow &row : rows) {
            if (!written)
                break;
            for (const QVariant &value :
                { QVariant(row.title), QVariant(row.artist), QVariant(row.genre),
                    QVariant(row.author), row.length, row.bpm, QVariant(row.key),
                    QVariant(row.filename), row.markers, QVariant(row.altArtist) })
                query.addBindValue(value);
            written = query.exec();
        }
        written = written && file.commit();
        if (!written)
            qWarning() << "cannot write the test catalogue:" << query.lastError().text();
        file.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return written;
}
