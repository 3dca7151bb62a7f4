#ifndef CATALOGUEBUILDER_H
#define CATALOGUEBUILDER_H

// Builds small song catalogues (SQLite files with the table Songs) for the
// catalogue tests. Header only: it needs QtSql, which the shared test
// support library does not link.

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

class CatalogueBuilder
{
public:
    struct Row {
        QVariant title;
        QVariant artist;
        QVariant genre;
        QVariant author;
        QVariant length;
        QVariant bpm;
        QVariant key;
        QVariant filename;
        QVariant markers;
        QVariant altartist;
    };

    // A plain row; the other columns are set by the caller when they matter.
    static Row song(const QString &title, const QString &filename)
    {
        Row row;
        row.title = title;
        row.artist = QStringLiteral("Artist");
        row.genre = QStringLiteral("POP & ROCK");
        row.author = QStringLiteral("Author");
        row.length = 180;
        row.bpm = 120;
        row.key = QStringLiteral("C");
        row.filename = filename;
        row.markers = QVariant();
        row.altartist = QStringLiteral("Artist");
        return row;
    }

    CatalogueBuilder &add(const Row &row)
    {
        m_rows.append(row);
        return *this;
    }

    // Writes the catalogue to path; returns the error text, empty on success.
    QString write(const QString &path) const
    {
        const QString connection = QStringLiteral("catalogue_builder");
        QString error;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(path);
            if (!db.open()) {
                error = db.lastError().text();
            } else {
                QSqlQuery query(db);
                // One transaction: the rows reach the disk with one sync.
                db.transaction();
                if (!query.exec(QStringLiteral(
                        "CREATE TABLE Songs(title varchar, artist varchar, genre varchar, "
                        "author varchar, length integer, bpm integer, key varchar, "
                        "filename varchar primary key, markers varchar, altartist varchar)")))
                    error = query.lastError().text();
                for (const Row &row : m_rows) {
                    if (!error.isEmpty())
                        break;
                    query.prepare(QStringLiteral("INSERT INTO Songs VALUES(?,?,?,?,?,?,?,?,?,?)"));
                    for (const QVariant &value :
                        { row.title, row.artist, row.genre, row.author, row.length, row.bpm,
                            row.key, row.filename, row.markers, row.altartist })
                        query.addBindValue(value);
                    if (!query.exec())
                        error = query.lastError().text();
                }
                if (error.isEmpty() && !db.commit())
                    error = db.lastError().text();
                query.finish();
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(connection);
        return error;
    }

private:
    QList<Row> m_rows;
};

#endif // CATALOGUEBUILDER_H
