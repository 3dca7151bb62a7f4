#include "indexcommands.h"

#include "commandparser.h"
#include "console.h"
#include "index.h"
#include "indexcheck.h"
#include "removablevolumes.h"
#include "terminalinteraction.h"

#include <QCoreApplication>
#include <QFileInfo>

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
                       "1 when the memory is not prepared afterwards, 3 when it is but some "
                       "files were refused."),
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

    Index index;
    index.setRenameQuestion([&user](const QString &oldPath, const QString &message) {
        return int(user.askFourWay(oldPath, message));
    });
    QStringList refused;
    QObject::connect(&index, &Index::errorFromIndex,
        [&refused](const QString &message) { refused.append(message); });
    QObject::connect(
        &index, &Index::fileFoundChanged, [&user](int found) { user.setValue(found); });
    QObject::connect(
        &index, &Index::progressMaxSetup, [&user](int maximum) { user.setMaximum(maximum); });
    QObject::connect(
        &index, &Index::progressValueChanged, [&user](int value) { user.setValue(value); });

    user.begin(Text::tr("Preparing the memory..."), QString(), 0, false);
    const bool prepared = rebuild ? index.createIndex(root) : index.updateIndex(root);
    user.end();

    for (const QString &message : refused)
        Console::error(cmd.command(), message);
    if (!prepared) {
        Console::error(cmd.command(),
            index.filesFoundCount() == 0
                ? Text::tr("%1: no song file found, the memory has no index").arg(root)
                : Text::tr("%1: the index could not be written, the memory is not prepared")
                      .arg(root));
        return Console::ExitFailed;
    }
    Console::out() << Text::tr(
        "%1: prepared, %n song file(s) found", nullptr, index.filesFoundCount())
                          .arg(root)
                   << Qt::endl;
    return refused.isEmpty() ? Console::ExitOk : 3;
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
    for (const IndexCheck::Problem &problem : checker.problems())
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
    const QString volume = RemovableVolumes::volumeRoot(folder);
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
    if (sub == QLatin1String("check"))
        return check(rest);
    return usage(arguments);
}

} // namespace IndexCommands
