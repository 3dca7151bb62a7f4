#include "appsettings.h"
#include "buildinfo.h"
#include "console.h"
#include "indexcommands.h"
#include "messagelog.h"
#include "songcommands.h"
#include "startup.h"
#include "transfercommand.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace
{

struct Text {
    Q_DECLARE_TR_FUNCTIONS(QuenorCli)
};

QString overview()
{
    return Text::tr("Usage: quenor-cli COMMAND [options] ARGUMENTS\n"
                    "\n"
                    "Commands:\n"
                    "  info FILE...        the song information of each file\n"
                    "  set FILE...         write song fields into the files\n"
                    "  sync FILE...        fill the files from the song catalogue\n"
                    "  transfer FILE...    copy songs onto a Quenor memory and update its index\n"
                    "  index build ROOT    rebuild a memory's index\n"
                    "  index update ROOT   bring a memory's index up to date\n"
                    "  index list ROOT     the song list of a prepared memory\n"
                    "  index check ROOT    check a memory's index against its files\n"
                    "\n"
                    "\"quenor-cli COMMAND --help\" describes a command. Exit status: 0 done, "
                    "1 failed, 2 wrong usage.\n"
                    "  --help     this text\n"
                    "  --version  the program's version\n");
}

int dispatch(const QStringList &arguments)
{
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("info"))
        return SongCommands::info(rest);
    if (command == QLatin1String("set"))
        return SongCommands::set(rest);
    if (command == QLatin1String("sync"))
        return SongCommands::sync(rest);
    if (command == QLatin1String("transfer"))
        return TransferCommand::run(rest);
    if (command == QLatin1String("index"))
        return IndexCommands::run(rest);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        Console::out() << overview() << Qt::flush;
        return Console::ExitOk;
    }
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        Console::out() << QStringLiteral("quenor-cli ") << BuildInfo::version() << Qt::endl;
        return Console::ExitOk;
    }
    Console::error(QString(),
        command.isEmpty() ? Text::tr("no command given")
                          : Text::tr("unknown command \"%1\"").arg(command));
    Console::err() << Text::tr("Try \"quenor-cli --help\" for more information.") << Qt::endl;
    return Console::ExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    // Settings, log and language as the window has them.
    int status = Console::ExitFailed;
    {
        QSettings settings(AppSettings::organisation, AppSettings::application);
        MessageLog::install(settings.value(AppSettings::logEnabledKey, false).toBool(),
            settings.value(AppSettings::logClearKey, false).toBool());

        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("quenor-cli"));
        QCoreApplication::setApplicationVersion(BuildInfo::version());
        // The first-run choice of language belongs to the window: it is
        // followed here, not stored.
        QString language
            = settings.value(AppSettings::languageKey, QString(AppSettings::noLanguage)).toString();
        if (language == AppSettings::noLanguage)
            language = Startup::languageForLocale(QLocale::system());
        QTranslator program;
        QTranslator framework;
        Startup::installTranslations(language, program, framework);

        status = dispatch(app.arguments().mid(1));
        Console::out().flush();
        Console::err().flush();
    }
    return status;
}
