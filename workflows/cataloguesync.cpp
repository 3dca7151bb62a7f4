#include "cataloguesync.h"

#include "appsettings.h"
#include "database.h"
#include "librarybackup.h"
#include "libraryrows.h"
#include "metasong.h"
#include "userinteraction.h"
#include "usersongsreltablemodel.h"

#include <QDebug>
#include <QRegularExpression>
#include <QSettings>

namespace
{
QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// One dot and exactly three word characters at the very end: "song.mid"
// loses ".mid", "song.mpeg" keeps its extension.
QString withoutExtension(const QString &name)
{
    static const QRegularExpression extension(QStringLiteral("\\.{1,1}\\w{3,3}$"));
    QString result = name;
    return result.remove(extension);
}
} // namespace

CatalogueSync::CatalogueSync(
    Database &database, UserSongsRelTableModel &model, UserInteraction &user)
    : m_database(database)
    , m_model(model)
    , m_user(user)
    , m_askPerFile(QSettings(AppSettings::organisation, AppSettings::application)
                       .value(AppSettings::copyrightAskKey, true)
                       .toBool())
{
}

CatalogueSync::LookupKeys CatalogueSync::lookupKeys(const QString &shortName, const SongInfo &info)
{
    return { withoutExtension(shortName.toUpper()), withoutExtension(info.mfxLongName.toUpper()),
        info.title.toUpper() };
}

SongInfo CatalogueSync::merged(const SongInfo &file, const SongsDbRecord &record)
{
    SongInfo info = file;
    info.title = record.title;
    info.artist = record.artist;
    info.altArtist = record.altArtist;
    info.genre = record.genre;
    info.author = record.author;
    info.key = record.key;
    info.length = record.length;
    info.userBpm = record.bpm;
    info.markers = record.markers;
    return info;
}

bool CatalogueSync::updateUserLibrary(const QStringList &files)
{
    const QString rule(44, QLatin1Char('='));
    qDebug().noquote() << rule;
    qDebug().noquote() << QStringLiteral("          UPDATE USER LIBRARY");
    qDebug().noquote() << rule;

    m_synced = 0;
    m_failed = 0;
    LibraryRows rows(m_model);
    // The keys are taken once: sorting the table during the run moves rows,
    // not keys.
    const QList<qint64> keys = rows.keys();
    const int n = int(keys.size());
    if (n < 1) {
        qDebug().noquote() << QStringLiteral("[UPDATE] WARNING: Empty table. Aborting update !!!");
        return false;
    }
    if (!LibraryBackup(m_user).suggestBackup(files))
        return false;

    ProgressReporter &progress = m_user.progress();
    progress.begin(tr("Aggiorno la libreria..."), tr("Aggiornamento file"), n, false);
    m_askPerFile
        = m_askOverride.value_or(QSettings(AppSettings::organisation, AppSettings::application)
                                     .value(AppSettings::copyrightAskKey, true)
                                     .toBool());
    m_answerForAll = true;

    for (int i = 0; i < n; ++i) {
        if (progress.wasStopped()) {
            progress.end();
            return false;
        }
        const int row = rows.rowOf(keys.at(i));
        qDebug().noquote() << QStringLiteral("[UPDATE] rowIdx: ") + QString::number(i);
        qDebug().noquote() << QStringLiteral("[UPDATE] updating file: ")
                + quoted(row < 0 ? QString() : m_model.fileName(row));

        m_report = RowReport();
        m_report.path = row < 0 ? QString() : m_model.fileName(row);
        const Outcome outcome = updateFileWithDb(keys.at(i), rows);
        m_report.outcome = outcome;
        if (m_observer)
            m_observer(m_report);
        const int now = rows.rowOf(keys.at(i));
        if (now >= 0)
            m_model.setStatus(
                now, outcome == Synced ? Database::statusSynced : Database::statusSyncFailed);
        if (outcome == Synced)
            ++m_synced;
        else
            ++m_failed;

        progress.step(i + 1);
        qDebug().noquote() << QString(74, QLatin1Char('='));
        qDebug().noquote() << QString();
        m_user.processEvents();
    }
    progress.end();
    return true;
}

bool CatalogueSync::findRecord(const LookupKeys &keys, SongsDbRecord &record)
{
    QString foundBy;
    if (m_database.getRecordByFilename(keys.fileName, record))
        foundBy = QStringLiteral("FILENAME: ") + keys.fileName;
    else if (!keys.longName.isEmpty() && m_database.getRecordByFilename(keys.longName, record))
        foundBy = QStringLiteral("MFXLONGNAME: ") + keys.longName;
    else if (m_database.getRecordByTitle(keys.title, record))
        foundBy = QStringLiteral("TITLE: ") + keys.title;

    if (foundBy.isEmpty()) {
        qDebug().noquote() << QStringLiteral("Record ")
                + quoted(keys.fileName + QLatin1Char('/') + keys.title)
                + QStringLiteral(" NOT found in DB");
        return false;
    }
    m_report.foundBy = foundBy;
    qDebug().noquote() << QStringLiteral("Found in DB by: ") + quoted(foundBy);
    record.dbgDump();
    return true;
}

void CatalogueSync::refreshRow(qint64 key, LibraryRows &rows, const QString &path)
{
    MetaSong reloaded;
    if (!reloaded.importFile(path))
        return;
    SongInfo info;
    reloaded.getSongInfo(info);
    const int row = rows.rowOf(key);
    if (row >= 0)
        m_model.updateRow(row, info);
}

CatalogueSync::Outcome CatalogueSync::updateFileWithDb(qint64 key, LibraryRows &rows)
{
    const int row = rows.rowOf(key);
    if (row < 0)
        return NotUpdated;
    const QString path = m_model.fileName(row);
    const QString shortName = m_model.shortName(row);

    MetaSong song;
    if (!song.importFile(path))
        return NotUpdated;
    SongInfo info;
    song.getSongInfo(info);

    if (!info.isZevio) {
        if (m_askPerFile) {
            switch (m_user.askFourWay(path, QString())) {
            case UserInteraction::FourWayAnswer::Yes:
                break;
            case UserInteraction::FourWayAnswer::YesAll:
                m_askPerFile = false;
                m_answerForAll = true;
                break;
            case UserInteraction::FourWayAnswer::No:
                m_report.declined = true;
                return NotUpdated;
            case UserInteraction::FourWayAnswer::NoAll:
                m_askPerFile = false;
                m_answerForAll = false;
                m_report.declined = true;
                return NotUpdated;
            }
        } else if (!m_answerForAll) {
            m_report.declined = true;
            return NotUpdated;
        }
    }

    SongsDbRecord record;
    if (!findRecord(lookupKeys(shortName, info), record))
        return NotUpdated;

    song.setSongInfo(merged(info, record), false);
    const bool saved = song.saveToFile(path);
    if (!saved)
        qWarning().noquote() << QStringLiteral(
            "[UPDATE] WARNING: unable to write %1, the file keeps its old content")
                                    .arg(quoted(path));
    // The row shows what the file really holds.
    refreshRow(key, rows, path);
    return saved ? Synced : SaveFailed;
}
