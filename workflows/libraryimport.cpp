#include "libraryimport.h"

#include "appsettings.h"
#include "database.h"
#include "metasong.h"
#include "userinteraction.h"
#include "usersongsreltablemodel.h"

#include <QDebug>
#include <QSettings>

namespace
{
QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

LibraryImport::LibraryImport(
    Database &database, UserSongsRelTableModel &model, UserInteraction &user)
    : m_database(database)
    , m_model(model)
    , m_user(user)
{
}

QString LibraryImport::shortName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

LibraryImport::Result LibraryImport::run(const QStringList &files)
{
    const QString rule(44, QLatin1Char('='));
    qDebug().noquote() << rule;
    qDebug().noquote() << QStringLiteral("          IMPORT USER LIBRARY");
    qDebug().noquote() << rule;

    Result result;
    if (m_model.goodRowCount() > 0) {
        if (!m_database.clearUserLibraryDb()) {
            qWarning().noquote() << QStringLiteral(
                "[importUserLibrary] WARNING: impossible to CLEAR table. Aborting import !!!");
            result.cleared = false;
            return result;
        }
        m_model.select();
    }

    ProgressReporter &progress = m_user.progress();
    progress.begin(tr("Importo la libreria..."), tr("Lettura file"), int(files.size()));
    for (const QString &path : files) {
        if (progress.wasStopped()) {
            result.stopped = true;
            break;
        }
        result.examined.append(path);
        qDebug().noquote() << QStringLiteral("Found file:") << quoted(path);
        MetaSong song;
        if (!song.importFile(path)) {
            qDebug().noquote() << QStringLiteral("Unknown/corrupted file") << quoted(path);
            ++result.bad;
        } else {
            ++result.songs;
            qDebug().noquote() << QStringLiteral("Song Index: ") + QString::number(result.songs);
            SongInfo info;
            song.getSongInfo(info);
            info.filename = path;
            info.shortname = shortName(path);
            info.dbgDump();
            m_model.addSong(info);
            if (info.isZevio)
                ++result.makerSongs;
        }
        progress.step(result.songs + result.bad);
        m_user.processEvents();
    }
    // Also closes a progress that never reached its maximum (no file, or a
    // stop).
    progress.end();
    return result;
}

LibraryImport::Offer LibraryImport::offerSynchronisation(
    const Result &result, const std::function<bool()> &synchronise)
{
    Offer offer;
    if (!result.cleared || result.stopped)
        return offer;
    QSettings settings(AppSettings::organisation, AppSettings::application);
    if (!settings.value(AppSettings::copyrightAskKey, true).toBool())
        return offer;

    const UserInteraction::SummaryAnswer answer
        = m_user.showImportSummary(result.songs, result.makerSongs, result.bad);
    offer.summaryShown = true;
    offer.showAgain = answer.showAgain;
    settings.setValue(AppSettings::copyrightAskKey, answer.showAgain);
    if (answer.synchronise) {
        offer.synchronised = true;
        offer.syncSucceeded = synchronise();
    }
    return offer;
}
