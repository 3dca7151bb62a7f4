#pragma once

#include "userinteraction.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

// A user that answers every question of a workflow from a list, front to
// back, and writes down everything the workflow showed:
//   shown     one line per question or message box,
//             "KIND|title|text|answer" (KIND: files, folder, savefile, backup,
//             summary, fourway, information, warning, critical, question, edit),
//   progress  "begin|label|title|maximum", each step's label ("2 di 3") and
//             "end".
// Answers are the buttons' texts: "Si", "Si tutti", "No", "No tutti";
// for the backup "Annulla", "Prosegui senza backup" or "Esegui backup:FOLDER"
// (no folder after the colon: none chosen); for the summary "Si" or "No",
// followed by " nascondi" to tick the show-again box; for the file and folder
// choosers the paths separated by "|" (nothing: cancelled). Message boxes
// with only an OK button take no answer. When the list has run out, every
// question is answered as if the dialog were closed, and missing counts it.
class ScriptedUser : public UserInteraction, public ProgressReporter
{
public:
    explicit ScriptedUser(QStringList script = {})
        : answers(std::move(script))
    {
    }

    QStringList answers;
    QStringList shown;
    QStringList progressLog;
    int missing = 0;
    // "Interrompi" is pressed once the progress titled stopIn made this many
    // steps (stopIn empty: any progress).
    int stopAfterSteps = -1;
    QString stopIn;

    QStringList chooseFiles(
        const QString &title, const QString &startFolder, const QString &filter) override
    {
        const QString answer = next();
        record(QStringLiteral("files"), title, startFolder + QLatin1Char(' ') + filter, answer);
        return answer.isEmpty() ? QStringList() : answer.split(QLatin1Char('|'));
    }

    QString chooseFolder(const QString &caption, const QString &startFolder) override
    {
        const QString answer = next();
        record(QStringLiteral("folder"), caption, startFolder, answer);
        return answer;
    }

    // Shown as "savefile|caption|proposed filter|answer".
    QString chooseSaveFile(
        const QString &caption, const QString &proposed, const QString &filter) override
    {
        const QString answer = next();
        record(QStringLiteral("savefile"), caption, proposed + QLatin1Char(' ') + filter, answer);
        return answer;
    }

    BackupAnswer chooseBackup() override
    {
        const QString answer = next();
        record(QStringLiteral("backup"), QStringLiteral("Backup"), QString(), answer);
        BackupAnswer result;
        if (answer == QLatin1String("Prosegui senza backup")) {
            result.choice = BackupSkipped;
        } else if (answer.startsWith(QLatin1String("Esegui backup:"))) {
            result.choice = BackupToFolder;
            result.folder = answer.mid(QStringLiteral("Esegui backup:").size());
        }
        return result;
    }

    SummaryAnswer showImportSummary(int songs, int makerSongs, int badFiles) override
    {
        const QString answer = next();
        record(QStringLiteral("summary"), QString(),
            QStringLiteral("%1/%2/%3").arg(songs + badFiles).arg(songs).arg(makerSongs), answer);
        SummaryAnswer result;
        result.synchronise = answer.startsWith(QLatin1String("Si"));
        result.showAgain = !answer.endsWith(QLatin1String(" nascondi"));
        return result;
    }

    FourWayAnswer askFourWay(const QString &fileName, const QString &message) override
    {
        const QString answer = next();
        record(QStringLiteral("fourway"), fileName, message, answer);
        if (answer == QLatin1String("Si tutti"))
            return FourWayAnswer::YesAll;
        if (answer == QLatin1String("No"))
            return FourWayAnswer::No;
        if (answer == QLatin1String("No tutti"))
            return FourWayAnswer::NoAll;
        return FourWayAnswer::Yes;
    }

    Button showMessage(
        MessageKind kind, const QString &title, const QString &text, int buttons) override
    {
        static const char *const kinds[] = { "information", "warning", "critical", "question" };
        Button pressed = OkButton;
        QString answer;
        if (buttons != OkButton) {
            answer = next();
            pressed = answer == QLatin1String("Si") ? YesButton
                : answer == QLatin1String("No")     ? NoButton
                                                    : CancelButton;
        }
        record(QLatin1String(kinds[int(kind)]), title, text, answer);
        return pressed;
    }

    // The edit form: "Annulla", or "Salva" followed by ";field=value" for each
    // field changed (title, artist, genre, author, length, bpm, key) and by
    // ";+author", ";+artist", ";+genre", ";+title" for each "Applica a tutti"
    // box ticked and confirmed. Shown as "edit|FILE|TITLE|answer".
    EditAnswer editSong(const EditRequest &request) override
    {
        lastEdit = request;
        const QString answer = next();
        record(QStringLiteral("edit"), request.info.filename, request.info.title, answer);
        EditAnswer result;
        result.info = request.info;
        const QStringList parts = answer.split(QLatin1Char(';'));
        result.accepted = parts.first() == QLatin1String("Salva");
        SongInfo &info = result.info;
        const QHash<QString, QString *> texts = { { QStringLiteral("title"), &info.title },
            { QStringLiteral("artist"), &info.artist }, { QStringLiteral("genre"), &info.genre },
            { QStringLiteral("author"), &info.author }, { QStringLiteral("key"), &info.key } };
        for (const QString &part : parts.mid(1)) {
            const QString name = part.section(QLatin1Char('='), 0, 0);
            const QString value = part.section(QLatin1Char('='), 1);
            if (texts.contains(name))
                *texts.value(name) = value;
            info.length = name == QLatin1String("length") ? value.toInt() : info.length;
            info.userBpm = name == QLatin1String("bpm") ? value.toInt() : info.userBpm;
            result.toAllAuthor |= name == QLatin1String("+author");
            result.toAllArtist |= name == QLatin1String("+artist");
            result.toAllGenre |= name == QLatin1String("+genre");
            result.toAllTitleFromFileName |= name == QLatin1String("+title");
        }
        return result;
    }
    EditRequest lastEdit;

    ProgressReporter &progress() override { return *this; }

    void begin(const QString &label, const QString &title, int maximum, bool) override
    {
        m_title = title;
        m_steps = 0;
        m_maximum = maximum;
        progressLog << QStringLiteral("begin|%1|%2|%3").arg(label, title).arg(maximum);
    }
    void step(int value) override
    {
        ++m_steps;
        progressLog << QStringLiteral("%1 di %2").arg(value).arg(m_maximum);
    }
    void setMaximum(int maximum) override { m_maximum = maximum; }
    bool wasStopped() const override
    {
        return stopAfterSteps >= 0 && m_steps >= stopAfterSteps
            && (stopIn.isEmpty() || stopIn == m_title);
    }
    void end() override { progressLog << QStringLiteral("end"); }

    // The lines of shown of one kind.
    QStringList shownOf(const QString &kind) const
    {
        return shown.filter(QRegularExpression(QLatin1Char('^') + kind + QStringLiteral("\\|")));
    }

private:
    QString next()
    {
        if (answers.isEmpty()) {
            ++missing;
            return QString();
        }
        return answers.takeFirst();
    }
    void record(
        const QString &kind, const QString &title, const QString &text, const QString &answer)
    {
        shown << QStringList { kind, title, text, answer }.join(QLatin1Char('|'));
    }

    QString m_title;
    int m_steps = 0;
    int m_maximum = 0;
};
