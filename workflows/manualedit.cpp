#include "manualedit.h"

#include "database.h"
#include "libraryrows.h"
#include "userinteraction.h"
#include "usersongsreltablemodel.h"

#include <QDebug>
#include <QFile>

namespace
{
QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void logResult(bool ok)
{
    qDebug().noquote() << (ok ? QStringLiteral("Ok") : QStringLiteral("Error!"));
}
} // namespace

ManualEdit::ManualEdit(Database &database, UserSongsRelTableModel &model, UserInteraction &user)
    : m_database(database)
    , m_model(model)
    , m_user(user)
{
}

QString ManualEdit::titleFromFileName(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

int ManualEdit::editRow(int row)
{
    if (row < 0)
        return -1;
    const QString fileName = m_model.fileName(row);
    qDebug().noquote() << QStringLiteral("File name: ") + quoted(fileName);
    qDebug().noquote() << QStringLiteral("[MainWindow] Manual modifing row: ")
            + QString::number(row);

    MetaSong song;
    if (!song.importFile(fileName))
        return -1;
    SongInfo info;
    song.getSongInfo(info);
    info.filename = fileName;

    const UserInteraction::EditAnswer answer = m_user.editSong(
        { info, m_database.artistsList(), m_database.genresList(), MetaSong::getKeysList() });
    if (!answer.accepted) {
        qDebug().noquote() << QStringLiteral("Rejected!");
        info.dbgDump();
        return -1;
    }
    qDebug().noquote() << QStringLiteral("Accepted");
    // Only what the form shows is taken over; the rest stays as the file has it.
    info.title = answer.info.title;
    info.artist = answer.info.artist;
    info.genre = answer.info.genre;
    info.author = answer.info.author;
    info.length = answer.info.length;
    info.userBpm = answer.info.userBpm;
    info.key = answer.info.key;
    info.dbgDump();

    LibraryRows rows(m_model);
    const qint64 key = rows.keyOf(row);
    QStringList failed;
    if (!manualModifySong(song, info, fileName, row))
        failed << fileName;
    if (answer.toAllAuthor || answer.toAllArtist || answer.toAllGenre
        || answer.toAllTitleFromFileName)
        applyToAll(key, info, answer.toAllAuthor, answer.toAllArtist, answer.toAllGenre,
            answer.toAllTitleFromFileName, rows, failed);

    if (!failed.isEmpty()) {
        const QString text = failed.size() == 1
            ? tr("Impossibile salvare le modifiche nel file:\n%1")
            : tr("Impossibile salvare le modifiche nei file:\n%1");
        m_user.showMessage(UserInteraction::MessageKind::Critical, tr("Modifica dati song"),
            text.arg(failed.join(QLatin1Char('\n'))));
    }
    return rows.rowOf(key);
}

void ManualEdit::applyToAll(qint64 editedKey, const SongInfo &edited, bool author, bool artist,
    bool genre, bool fileNameTitle, LibraryRows &rows, QStringList &failed)
{
    // Rows are followed by key: the table may be sorted while this runs.
    const QList<qint64> keys = rows.keys();
    const int n = int(keys.size());
    ProgressReporter &progress = m_user.progress();
    progress.begin(tr("Aggiorno la libreria..."), tr("Aggiornamento file"), n, false);
    for (int i = 0; i < n; ++i) {
        if (keys.at(i) == editedKey)
            continue;
        // "Interrompi" stops before the next song; those written keep their edit.
        if (progress.wasStopped())
            break;
        const int row = rows.rowOf(keys.at(i));
        if (row < 0)
            continue;
        const QString path = m_model.fileName(row);
        MetaSong song;
        if (!song.importFile(path))
            continue;
        SongInfo info;
        song.getSongInfo(info);
        info.filename = path;
        if (fileNameTitle)
            info.title = titleFromFileName(path);
        if (author)
            info.author = edited.author;
        if (artist)
            info.artist = edited.artist;
        if (genre)
            info.genre = edited.genre;
        if (!manualModifySong(song, info, path, row))
            failed << path;
        progress.step(i + 1);
        m_user.processEvents();
    }
    progress.end();
}

bool ManualEdit::manualModifySong(MetaSong song, SongInfo info, QString fileName, int row)
{
    song.setSongInfo(info, true);
    qDebug().noquote() << QStringLiteral("Saving to file: ") + quoted(fileName);
    const bool saved = song.saveToFile(fileName);
    logResult(saved);

    // The row shows what the file holds, saved or not; only a song really
    // written is marked as edited.
    MetaSong reloaded;
    if (reloaded.importFile(fileName)) {
        SongInfo fromFile;
        reloaded.getSongInfo(fromFile);
        m_model.updateRow(row, fromFile);
    }
    if (saved)
        m_model.setStatus(row, Database::statusEdited);
    return saved;
}

bool ManualEdit::removeFromList(int row)
{
    return row >= 0 && m_model.removeRows(row, 1);
}

bool ManualEdit::deleteFile(int row, QStringList &selectedFiles)
{
    if (row < 0)
        return false;
    const QString path = m_model.fileName(row);
    if (m_user.showMessage(UserInteraction::MessageKind::Question, tr("Attenzione"),
            tr("Sei sicuro di voler cancellare il file?"),
            UserInteraction::YesButton | UserInteraction::NoButton)
        != UserInteraction::YesButton)
        return false;
    if (!QFile::remove(path)) {
        qWarning().noquote() << QStringLiteral("[MainWindow] WARNING: unable to delete ")
                + quoted(path) + QStringLiteral(" !!!");
        m_user.showMessage(UserInteraction::MessageKind::Warning, tr("Attenzione"),
            tr("Impossibile eliminare il file:\n%1").arg(path));
        return false;
    }
    qDebug().noquote() << QStringLiteral("[MainWindow] Deleted file: ") + quoted(path);
    // A later backup or transfer must not look for it.
    selectedFiles.removeAll(path);
    return m_model.removeRows(row, 1);
}

bool ManualEdit::saveCopy(MetaSong &song, const QString &source, const QString &target)
{
    // Songs are only ever rewritten where they are, never created: the copy
    // gives the save its file (and an MP3 its audio data).
    if (QFile::exists(target) && !QFile::remove(target))
        return false;
    return QFile::copy(source, target) && song.saveToFile(target);
}

bool ManualEdit::debugSave(int row, const QString &target)
{
    if (row < 0)
        return false;
    qDebug().noquote() << QStringLiteral("[MainWindow] Saving row: ") + QString::number(row);
    const QString path = m_model.fileName(row);
    MetaSong song;
    if (!song.importFile(path))
        return false;
    qDebug().noquote() << QStringLiteral("Saving to file: ") + quoted(target);
    const bool saved = saveCopy(song, path, target);
    logResult(saved);
    qDebug().noquote() << QString();
    return saved;
}

bool ManualEdit::debugAddMarker(int row, const QString &target, const QString &text, int bar)
{
    if (row < 0)
        return false;
    qDebug().noquote() << QStringLiteral("[MainWindow] Adding marker to row: ")
            + QString::number(row);
    const QString path = m_model.fileName(row);
    MetaSong song;
    if (!song.importFile(path))
        return false;
    const bool added = song.dbgAddMarker(text.trimmed(), quint16(qBound(0, bar, 0xFFFF))) > 0;
    logResult(added);
    qDebug().noquote() << QStringLiteral("Saving to file: ") + quoted(target);
    const bool saved = saveCopy(song, path, target);
    logResult(saved);
    qDebug().noquote() << QString(35, QLatin1Char('-'));
    qDebug().noquote() << QString();
    return added && saved;
}
