#include "songcommands.h"

#include "cataloguesync.h"
#include "commandparser.h"
#include "console.h"
#include "database.h"
#include "libraryimport.h"
#include "metasong.h"
#include "terminalinteraction.h"
#include "usersongsreltablemodel.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace
{

struct Text {
    Q_DECLARE_TR_FUNCTIONS(SongCommands)
};

// The library table's own column names.
QString column(const char *text)
{
    return QCoreApplication::translate("UserSongsRelTableModel", text);
}

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// Loads a song file; on failure says why on standard error.
bool load(const QString &command, const QString &path, MetaSong &song, SongInfo &info)
{
    if (!QFileInfo(path).isFile()) {
        Console::error(command, Text::tr("%1: no such file").arg(path));
        return false;
    }
    if (!song.importFile(path)) {
        Console::error(command, Text::tr("%1: not a song file that can be read").arg(path));
        return false;
    }
    song.getSongInfo(info);
    info.filename = path;
    return true;
}

QString markersText(const QList<Marker> &markers)
{
    QStringList parts;
    for (const Marker &marker : markers)
        parts.append(QString::number(marker.bar) + QLatin1Char(' ') + marker.text);
    return parts.join(QLatin1String(", "));
}

QJsonObject infoObject(const QString &path, const SongInfo &info)
{
    QJsonArray markers;
    for (const Marker &marker : info.markers)
        markers.append(QJsonObject {
            { QStringLiteral("bar"), marker.bar }, { QStringLiteral("text"), marker.text } });
    return QJsonObject {
        { QStringLiteral("file"), path },
        { QStringLiteral("format"), info.format },
        { QStringLiteral("title"), info.title },
        { QStringLiteral("artist"), info.artist },
        { QStringLiteral("genre"), info.genre },
        { QStringLiteral("author"), info.author },
        { QStringLiteral("length"), info.length },
        { QStringLiteral("lengthText"), UserSongsRelTableModel::lengthText(info.length) },
        { QStringLiteral("tempo"), info.userBpm },
        { QStringLiteral("key"), info.key },
        { QStringLiteral("markers"), markers },
        { QStringLiteral("published"), info.isZevio },
        { QStringLiteral("longName"), info.mfxLongName },
    };
}

void printInfo(const QString &path, const SongInfo &info)
{
    const QList<QPair<QString, QString>> rows {
        { column("Formato"), info.format },
        { column("Titolo"), info.title },
        { column("Artista"), info.artist },
        { column("Genere"), info.genre },
        { column("Autore"), info.author },
        { column("Durata"), UserSongsRelTableModel::lengthText(info.length) },
        { column("Bpm"), QString::number(info.userBpm) },
        { column("Tonalita'"), info.key },
        { Text::tr("Markers"), markersText(info.markers) },
        { Text::tr("Published by Zevio"), info.isZevio ? Text::tr("yes") : Text::tr("no") },
    };
    qsizetype width = 0;
    for (const auto &row : rows)
        width = qMax(width, row.first.size());
    QTextStream &out = Console::out();
    out << path << QLatin1Char('\n');
    for (const auto &row : rows)
        out << QStringLiteral("  ")
            << QString(row.first + QLatin1Char(':')).leftJustified(width + 2) << row.second
            << QLatin1Char('\n');
}

// A whole number from minimum to maximum, or a usage error.
bool number(CommandParser &cmd, const QString &option, int minimum, int maximum, int &value)
{
    bool ok = false;
    value = cmd.parser().value(option).toInt(&ok, 10);
    if (!ok || value < minimum || value > maximum) {
        cmd.usageError(Text::tr("--%1 wants a whole number from %2 to %3")
                           .arg(option)
                           .arg(minimum)
                           .arg(maximum));
        return false;
    }
    return true;
}

} // namespace

namespace SongCommands
{

int info(const QStringList &arguments)
{
    CommandParser cmd(QStringLiteral("info"),
        Text::tr("Shows the song information of each file as the library table does. "
                 "Exit status 1 when a file could not be read."),
        QStringLiteral("FILE..."));
    const QCommandLineOption json(
        QStringLiteral("json"), Text::tr("Print one JSON document with one object per file."));
    cmd.addOption(json);
    QStringList files;
    const int parsed = cmd.parseFiles(arguments, files);
    if (parsed >= 0)
        return parsed;

    const bool asJson = cmd.parser().isSet(json);
    QJsonArray objects;
    int failed = 0;
    for (const QString &path : files) {
        MetaSong song;
        SongInfo info;
        if (!load(cmd.command(), path, song, info)) {
            ++failed;
            // Fixed words, whatever the language: scripts read them.
            objects.append(QJsonObject { { QStringLiteral("file"), path },
                { QStringLiteral("error"),
                    QFileInfo(path).isFile() ? QStringLiteral("unreadable")
                                             : QStringLiteral("no such file") } });
            continue;
        }
        if (asJson)
            objects.append(infoObject(path, info));
        else
            printInfo(path, info);
    }
    if (asJson)
        Console::out() << QString::fromUtf8(QJsonDocument(objects).toJson());
    Console::out().flush();
    if (failed > 0) {
        Console::error(cmd.command(), Text::tr("%n file(s) could not be read", nullptr, failed));
        return Console::ExitFailed;
    }
    return Console::ExitOk;
}

int set(const QStringList &arguments)
{
    CommandParser cmd(QStringLiteral("set"),
        Text::tr("Writes the given fields into each file, as the edit window does; the other "
                 "fields keep the file's values. A file is replaced only once its new content "
                 "is completely written."),
        QStringLiteral("FILE..."));
    const QString names[] = { QStringLiteral("title"), QStringLiteral("artist"),
        QStringLiteral("genre"), QStringLiteral("author"), QStringLiteral("length"),
        QStringLiteral("bpm"), QStringLiteral("key") };
    const QString descriptions[] = { Text::tr("The title."), Text::tr("The artist."),
        Text::tr("The genre."), Text::tr("The author."), Text::tr("The length in seconds."),
        Text::tr("The tempo in beats per minute."),
        Text::tr("The key (%1); empty removes it.")
            .arg(MetaSong::getKeysList().join(QLatin1String(", "))) };
    const QString valueNames[] = { QStringLiteral("T"), QStringLiteral("A"), QStringLiteral("G"),
        QStringLiteral("A"), QStringLiteral("SECONDS"), QStringLiteral("N"), QStringLiteral("K") };
    for (int i = 0; i < 7; ++i)
        cmd.addOption(QCommandLineOption(names[i], descriptions[i], valueNames[i]));
    QStringList files;
    const int parsed = cmd.parseFiles(arguments, files);
    if (parsed >= 0)
        return parsed;
    QCommandLineParser &p = cmd.parser();
    bool any = false;
    for (const QString &name : names)
        any = any || p.isSet(name);
    if (!any)
        return cmd.usageError(Text::tr("no field given"));

    // The limits of the edit window's fields: three digits of tempo, 99:99.
    int length = 0;
    int bpm = 0;
    if (p.isSet(names[4]) && !number(cmd, names[4], 0, 99 * 60 + 99, length))
        return Console::ExitUsage;
    if (p.isSet(names[5]) && !number(cmd, names[5], 0, 999, bpm))
        return Console::ExitUsage;
    const QString key = p.value(names[6]).trimmed();
    if (p.isSet(names[6]) && !key.isEmpty() && !MetaSong::getKeysList().contains(key))
        return cmd.usageError(Text::tr("unknown key \"%1\"").arg(key));

    int failed = 0;
    for (const QString &path : files) {
        MetaSong song;
        SongInfo info;
        if (!load(cmd.command(), path, song, info)) {
            ++failed;
            continue;
        }
        if (p.isSet(names[0]))
            info.title = p.value(names[0]).trimmed();
        if (p.isSet(names[1]))
            info.artist = p.value(names[1]).trimmed();
        if (p.isSet(names[2]))
            info.genre = p.value(names[2]).trimmed();
        if (p.isSet(names[3]))
            info.author = p.value(names[3]).trimmed();
        if (p.isSet(names[4]))
            info.length = length;
        if (p.isSet(names[5]))
            info.userBpm = bpm;
        if (p.isSet(names[6]))
            info.key = key;

        song.setSongInfo(info, true);
        qDebug().noquote() << QStringLiteral("Saving to file: ") + QLatin1Char('"') + path
                + QLatin1Char('"');
        if (song.saveToFile(path)) {
            qDebug().noquote() << QStringLiteral("Ok");
            Console::out() << Text::tr("%1: written").arg(path) << Qt::endl;
        } else {
            qDebug().noquote() << QStringLiteral("Error!");
            Console::error(cmd.command(),
                Text::tr("%1: could not be written, it keeps its old content").arg(path));
            ++failed;
        }
    }
    return failed > 0 ? Console::ExitFailed : Console::ExitOk;
}

int sync(const QStringList &arguments)
{
    CommandParser cmd(QStringLiteral("sync"),
        Text::tr("Fills the song information of each file from the catalogue, as the window's "
                 "update does: the song is looked up by file name, by the container's long "
                 "name, then by title; a file keeps the fields it already has. Exit status 1 "
                 "when a file could not be read or written."),
        QStringLiteral("FILE..."));
    const QCommandLineOption backup(QStringLiteral("backup"),
        Text::tr("First copy the files into a new backup folder inside DIR."),
        QStringLiteral("DIR"));
    const QCommandLineOption notPublished(QStringLiteral("not-published"),
        Text::tr("Files not published by Zevio: ask on the terminal, update them (yes) or leave "
                 "them (no). Without it the window's setting decides whether to ask."),
        QStringLiteral("ask|yes|no"));
    const QCommandLineOption catalogue(QStringLiteral("catalogue"),
        Text::tr("An SQLite catalogue of the same layout instead of the built-in one."),
        QStringLiteral("FILE"));
    cmd.addOption(backup);
    cmd.addOption(notPublished);
    cmd.addOption(catalogue);
    cmd.parser().addPositionalArgument(QStringLiteral("FILE"), Text::tr("Song files."));
    const int parsed = cmd.parse(arguments);
    if (parsed >= 0)
        return parsed;
    QCommandLineParser &p = cmd.parser();
    QStringList files;
    for (const QString &file : cmd.positionals())
        files.append(absolute(file));
    if (files.isEmpty())
        return cmd.usageError(Text::tr("no file given"));

    TerminalInteraction user;
    if (p.isSet(notPublished)) {
        TerminalInteraction::Policy policy;
        if (!TerminalInteraction::parsePolicy(p.value(notPublished), policy))
            return cmd.usageError(Text::tr("--not-published wants ask, yes or no"));
        user.setPolicy(policy);
    }
    if (p.isSet(backup)) {
        if (!QFileInfo(p.value(backup)).isDir()) {
            Console::error(cmd.command(), Text::tr("%1: no such folder").arg(p.value(backup)));
            return Console::ExitFailed;
        }
        user.setBackupFolder(absolute(p.value(backup)));
    }

    Database database;
    if (p.isSet(catalogue)) {
        if (!QFileInfo(p.value(catalogue)).isFile()) {
            Console::error(
                cmd.command(), Text::tr("%1: no such catalogue").arg(p.value(catalogue)));
            return Console::ExitFailed;
        }
        database.setCatalogueFile(absolute(p.value(catalogue)));
    }
    if (!database.init()) {
        Console::error(cmd.command(), Text::tr("the catalogue cannot be opened"));
        return Console::ExitFailed;
    }
    UserSongsRelTableModel model(nullptr, database.userLibraryDb());

    int failed = 0;
    LibraryImport import(database, model, user);
    import.run(files);
    QSet<QString> read;
    for (int row = 0; row < model.goodRowCount(); ++row)
        read.insert(model.fileName(row));
    for (const QString &path : files) {
        if (!read.contains(path)) {
            Console::error(cmd.command(),
                QFileInfo(path).isFile()
                    ? Text::tr("%1: not a song file that can be read").arg(path)
                    : Text::tr("%1: no such file").arg(path));
            ++failed;
        }
    }

    CatalogueSync synchronisation(database, model, user);
    if (p.isSet(notPublished))
        synchronisation.setAskNotPublished(true);
    synchronisation.setRowObserver([&](const CatalogueSync::RowReport &report) {
        QString text;
        switch (report.outcome) {
        case CatalogueSync::Synced:
            text = Text::tr("found by %1, written").arg(report.foundBy);
            break;
        case CatalogueSync::SaveFailed:
            text = Text::tr("found by %1, NOT written: the file keeps its old content")
                       .arg(report.foundBy);
            ++failed;
            break;
        case CatalogueSync::NotUpdated:
            if (report.declined)
                text = Text::tr("not published by Zevio, left as it was");
            else if (!report.foundBy.isEmpty())
                text = Text::tr("found by %1, left as it was").arg(report.foundBy);
            else
                text = Text::tr("not found in the catalogue, left as it was");
            break;
        }
        Console::out() << report.path << QStringLiteral(": ") << text << Qt::endl;
    });
    const bool completed = model.goodRowCount() > 0 && synchronisation.updateUserLibrary(files);
    if (model.goodRowCount() > 0 && !completed) {
        Console::error(cmd.command(), Text::tr("stopped before any file was touched"));
        return Console::ExitFailed;
    }
    return failed > 0 ? Console::ExitFailed : Console::ExitOk;
}

} // namespace SongCommands
