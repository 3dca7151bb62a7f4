#include "transfercommand.h"

#include "commandparser.h"
#include "console.h"
#include "metasong.h"
#include "terminalinteraction.h"
#include "transfer.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{
struct Text {
    Q_DECLARE_TR_FUNCTIONS(TransferCommand)
};
} // namespace

namespace TransferCommand
{

int run(const QStringList &arguments)
{
    CommandParser cmd(QStringLiteral("transfer"),
        Text::tr("Copies the songs (an MP3 with its .cdg companion) into a folder of a Quenor "
                 "memory and brings the memory's index up to date, as the window's transfer "
                 "does. The folder must lie on a removable volume; its top folder means its "
                 "\"songs\" folder; SFX, BRIDGE and PLAYLIST are the device's own. Exit status 1 "
                 "when the folder was refused, a copy failed or the index was not updated."),
        QStringLiteral("--to FOLDER FILE..."));
    const QCommandLineOption to(QStringLiteral("to"),
        Text::tr("The destination folder on the memory."), QStringLiteral("FOLDER"));
    const QCommandLineOption overwrite(QStringLiteral("overwrite"),
        Text::tr("Files already in the folder: ask on the terminal, replace them (yes) or keep "
                 "them (no)."),
        QStringLiteral("ask|yes|no"), QStringLiteral("ask"));
    const QCommandLineOption rename(QStringLiteral("rename"),
        Text::tr("Names longer than eight characters met by the index update: ask on the "
                 "terminal, shorten them (yes) or leave them (no)."),
        QStringLiteral("ask|yes|no"), QStringLiteral("ask"));
    cmd.addOption(to);
    cmd.addOption(overwrite);
    cmd.addOption(rename);
    cmd.parser().addPositionalArgument(QStringLiteral("FILE"), Text::tr("Song files."));
    const int parsed = cmd.parse(arguments);
    if (parsed >= 0)
        return parsed;

    TerminalInteraction user;
    TerminalInteraction::Policy policy;
    if (!TerminalInteraction::parsePolicy(cmd.parser().value(overwrite), policy))
        return cmd.usageError(Text::tr("--overwrite wants ask, yes or no"));
    user.setOverwritePolicy(policy);
    if (!TerminalInteraction::parsePolicy(cmd.parser().value(rename), policy))
        return cmd.usageError(Text::tr("--rename wants ask, yes or no"));
    user.setPolicy(policy);
    if (!cmd.parser().isSet(to))
        return cmd.usageError(Text::tr("no destination given (--to FOLDER)"));
    const QStringList positionals = cmd.positionals();
    if (positionals.isEmpty())
        return cmd.usageError(Text::tr("no file given"));

    QStringList files;
    for (const QString &file : positionals) {
        const QFileInfo info(file);
        if (!info.isFile()) {
            Console::error(cmd.command(), Text::tr("%1: no such file").arg(file));
            return Console::ExitFailed;
        }
        // The window transfers the songs its import could read; so does this.
        MetaSong song;
        if (!song.importFile(info.absoluteFilePath())) {
            Console::error(
                cmd.command(), Text::tr("%1: not a song file that can be read").arg(file));
            return Console::ExitFailed;
        }
        files.append(info.absoluteFilePath());
    }
    const QString destination = cmd.parser().value(to);
    if (!QFileInfo(destination).isDir()) {
        Console::error(cmd.command(), Text::tr("%1: no such folder").arg(destination));
        return Console::ExitFailed;
    }

    Transfer transfer(user);
    const bool attempted = transfer.transferFilesTo(files, destination);
    return attempted && user.problemsShown() == 0 ? Console::ExitOk : Console::ExitFailed;
}

} // namespace TransferCommand
