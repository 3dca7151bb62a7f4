#include "indexcommands.h"

#include "commandparser.h"
#include "console.h"
#include "index.h"
#include "indexcheck.h"
#include "memoryindexrun.h"
#include "terminalinteraction.h"
#include "transfer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

struct Text {
    Q_DECLARE_TR_FUNCTIONS(IndexCommands)
};

int usage(const QStringList &arguments)
{
    CommandParser cmd(QStringLiteral("index"),
        Text::tr("Prepares a Quenor memory (Compact Flash card or USB pen) and reads its index.\n"
                 "  build ROOT   rebuild the index files and playlists from scratch\n"
                 "  update ROOT  bring the index up to date after songs were added or removed\n"
                 "  list ROOT    the song list of a prepared memory\n"
                 "  check ROOT   check a prepared memory's index against its files"),
        QStringLiteral("build|update|list|check ROOT"));
    const int parsed = cmd.parse(arguments);
    if (parsed >= 0)
        return parsed;
    return cmd.usageError(arguments.isEmpty()
            ? Text::tr("no index command given")
            : Text::tr("unknown index command \"%1\"").arg(arguments.first()));
}

// The one ROOT of a command, or an empty string after a usage error.
QString rootArgument(CommandParser &cmd, int &status)
{
    const QStringList positionals = cmd.positionals();
    if (positionals.size() != 1) {
        status = cmd.usageError(positionals.isEmpty() ? Text::tr("no memory folder given")
                                                      : Text::tr("one memory folder only"));
        return QString();
    }
    const QString root = IndexCommands::memoryRoot(cmd.command(), positionals.first());
    if (root.isEmpty())
        status = Console::ExitFailed;
    return root;
}

int buildOrUpdate(const QStringList &arguments, bool rebuild)
{
    CommandParser cmd(rebuild ? QStringLiteral("index build") : QStringLiteral("index update"),
        (rebuild ? Text::tr("Rebuilds the index files of the memory from scratch, keeping the "
                            "device's playlists.")
                 : Text::tr("Brings the memory's index up to date: new songs get new ids, the "
                            "others keep theirs. A memory without an index is built."))
            + QLatin1Char('\n')
            + Text::tr("Names longer than eight characters are shortened when --rename allows "
                       "it (default: ask). Files the index cannot hold are listed. Exit status "
                       "1 when the index cannot be made (an old one then stays as it was), 3 "
                       "when it is made but some files were refused."),
        QStringLiteral("ROOT"));
    const QCommandLineOption rename(QStringLiteral("rename"),
        Text::tr("Shorten long names: ask on the terminal, always (yes) or never (no)."),
        QStringLiteral("ask|yes|no"), QStringLiteral("ask"));
    cmd.addOption(rename);
    cmd.parser().addPositionalArgument(QStringLiteral("ROOT"), Text::tr("The memory's folder."));
    const int parsed = cmd.parse(arguments);
    if (parsed >= 0)
        return parsed;
    TerminalInteraction user;
    TerminalInteraction::Policy policy;
    if (!TerminalInteraction::parsePolicy(cmd.parser().value(rename), policy))
        return cmd.usageError(Text::tr("--rename wants ask, yes or no"));
    user.setPolicy(policy);
    int status = Console::ExitOk;
    const QString root = rootArgument(cmd, status);
    if (root.isEmpty())
        return status;

    MemoryIndexRun run(user);
    int found = 0;
    QObject::connect(&run, &MemoryIndexRun::errorFromIndex,
        [&cmd](const QString &message) { Console::error(cmd.command(), message); });
    QObject::connect(&run, &MemoryIndexRun::fileFoundChanged, [&user, &found](int count) {
        found = count;
        user.setValue(count);
    });
    QObject::connect(&run, &MemoryIndexRun::progressMaxSetup,
        [&user](int maximum) { user.setMaximum(maximum); });
    QObject::connect(
        &run, &MemoryIndexRun::progressValueChanged, [&user](int value) { user.setValue(value); });
    QObject::connect(&run, &MemoryIndexRun::started, [&user](const QString &) {
        user.begin(Text::tr("Preparing the memory..."), QString(), 0, false);
    });

    const MemoryIndexRun::OptimiseResultEnum result = run.optimise(
        root, false, rebuild ? MemoryIndexRun::CreateIndex : MemoryIndexRun::UpdateIndex);
    user.end();
    switch (result) {
    case MemoryIndexRun::OptimiseCompleted:
        break;
    case MemoryIndexRun::OptimiseWithErrors:
        Console::error(cmd.command(), Text::tr("%n file(s) refused", nullptr, run.refusedCount()));
        break;
    case MemoryIndexRun::OptimisePathMissing:
    case MemoryIndexRun::OptimiseFailed: {
        // A failed write leaves the old index whole.
        Index memory;
        memory.setRootPath(root);
        QString message = Text::tr("%1: the memory is not prepared");
        if (found == 0)
            message = Text::tr("%1: no song file found, the memory has no index");
        else if (memory.checkIndexFile())
            message = Text::tr("%1: the index cannot be written, the memory keeps its old one");
        Console::error(cmd.command(), message.arg(root));
        return Console::ExitFailed;
    }
    }
    Console::out() << Text::tr("%1: %n song file(s) found", nullptr, found).arg(root) << Qt::endl;
    return result == MemoryIndexRun::OptimiseCompleted ? Console::ExitOk : 3;
}

int list(const QStringList &arguments)
{
    CommandParser cmd(QStringLiteral("index list"),
        Text::tr("Writes the song list of a prepared memory, as read from its index: one line "
                 "\"title;artist;genre;file;\" per song after a header line. Without -o it "
                 "goes to standard output."),
        QStringLiteral("ROOT"));
    const QCommandLineOption sort(QStringLiteral("sort"),
        Text::tr("The order of the list (default: title)."), QStringLiteral("title|artist|genre"),
        QStringLiteral("title"));
    const QCommandLineOption output(QStringList { QStringLiteral("o"), QStringLiteral("output") },
        Text::tr("Write the list into FILE; an existing file is replaced only by a complete "
                 "list."),
        QStringLiteral("FILE"));
    cmd.addOption(sort);
    cmd.addOption(output);
    cmd.parser().addPositionalArgument(QStringLiteral("ROOT"), Text::tr("The memory's folder."));
    const int parsed = cmd.parse(arguments);
    if (parsed >= 0)
        return parsed;
    const QStringList orders
        = { QStringLiteral("title"), QStringLiteral("artist"), QStringLiteral("genre") };
    const int mode = int(orders.indexOf(cmd.parser().value(sort)));
    if (mode < 0)
        return cmd.usageError(Text::tr("--sort wants title, artist or genre"));
    int status = Console::ExitOk;
    const QString root = rootArgument(cmd, status);
    if (root.isEmpty())
        return status;

    // Standard output gets a copy of a list written whole into a temporary
    // file first, so a memory that cannot be read prints nothing.
    QTemporaryDir scratch;
    const bool toFile = cmd.parser().isSet(output);
    const QString file
        = toFile ? cmd.parser().value(output) : scratch.filePath(QStringLiteral("songs.csv"));
    if (!toFile && !scratch.isValid()) {
        Console::error(cmd.command(), Text::tr("no temporary folder for the list"));
        return Console::ExitFailed;
    }
    Index index;
    const int result = index.saveSongsList(root, file, mode);
    if (result < 0) {
        Console::error(cmd.command(),
            Text::tr("%1: the memory is not prepared for Quenor (no index)").arg(root));
        return Console::ExitFailed;
    }
    if (result == 0) {
        const bool readable = index.loadAllIndexFile() == 0;
        Console::error(cmd.command(),
            readable ? Text::tr("%1: cannot be written").arg(file)
                     : Text::tr("%1: the index cannot be read").arg(root));
        return Console::ExitFailed;
    }
    if (!toFile) {
        QFile list(file);
        if (!list.open(QIODevice::ReadOnly)) {
            Console::error(cmd.command(), Text::tr("the list cannot be read back"));
            return Console::ExitFailed;
        }
        Console::out().flush();
        const QByteArray bytes = list.readAll();
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
            || std::fflush(stdout) != 0)
            return Console::ExitFailed;
    }
    return Console::ExitOk;
}

int check(const QStringList &arguments)
{
    CommandParser cmd(QStringLiteral("index check"),
        Text::tr("Reads the index of a prepared memory back and checks it against the memory: "
                 "every song file indexed exactly once, every indexed file present, ids unique, "
                 "the counts of fsinfos.idx right, every playlist record naming an indexed song "
                 "or no song. Prints each problem; exit status 0 only when all hold."),
        QStringLiteral("ROOT"));
    cmd.parser().addPositionalArgument(QStringLiteral("ROOT"), Text::tr("The memory's folder."));
    const int parsed = cmd.parse(arguments);
    if (parsed >= 0)
        return parsed;
    int status = Console::ExitOk;
    const QString root = rootArgument(cmd, status);
    if (root.isEmpty())
        return status;

    IndexCheck checker(root);
    if (checker.run()) {
        Console::out() << Text::tr(
            "%1: the index matches the memory, %n song(s)", nullptr, checker.indexedSongs())
                              .arg(root)
                       << Qt::endl;
        return Console::ExitOk;
    }
    const QList<IndexCheck::Problem> &problems = checker.problems();
    if (problems.size() == 1 && problems.first().kind == IndexCheck::NotPrepared) {
        Console::error(cmd.command(), root + QStringLiteral(": ") + problems.first().text);
        return Console::ExitFailed;
    }
    for (const IndexCheck::Problem &problem : problems)
        Console::out() << problem.text << QLatin1Char('\n');
    Console::out().flush();
    Console::error(cmd.command(),
        Text::tr("%1: %n problem(s) found", nullptr, int(checker.problems().size())).arg(root));
    return Console::ExitFailed;
}

} // namespace

namespace IndexCommands
{

QString memoryRoot(const QString &command, const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir()) {
        Console::error(command, Text::tr("%1: no such folder").arg(path));
        return QString();
    }
    const QString folder = info.absoluteFilePath();
    // The device sees the volume's top folder as its root, whatever folder
    // of it was named.
    const QString volume = Transfer::getRoot(folder);
    return volume.isEmpty() ? folder : volume;
}

int run(const QStringList &arguments)
{
    const QString sub = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (sub == QLatin1String("build"))
        return buildOrUpdate(rest, true);
    if (sub == QLatin1String("update"))
        return buildOrUpdate(rest, false);
    if (sub == QLatin1String("list"))
        return list(rest);
    if (sub == QLatin1String("check"))
        return check(rest);
    return usage(arguments);
}

} // namespace IndexCommands
