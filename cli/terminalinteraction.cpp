#include "terminalinteraction.h"

#include "console.h"

#include <unistd.h>

namespace
{
// The texts of the window's confirmation dialog, in its translation.
QString dialogText(const char *text)
{
    return QCoreApplication::translate("NoCopyrightDialog", text);
}
} // namespace

TerminalInteraction::TerminalInteraction()
    : m_showProgress(Console::isTerminal(STDERR_FILENO))
{
}

bool TerminalInteraction::parsePolicy(const QString &text, Policy &policy)
{
    if (text == QLatin1String("ask"))
        policy = Ask;
    else if (text == QLatin1String("yes"))
        policy = AlwaysYes;
    else if (text == QLatin1String("no"))
        policy = AlwaysNo;
    else
        return false;
    return true;
}

QStringList TerminalInteraction::chooseFiles(const QString &, const QString &, const QString &)
{
    return m_files;
}

QString TerminalInteraction::chooseFolder(const QString &, const QString &)
{
    return m_folder;
}

UserInteraction::BackupAnswer TerminalInteraction::chooseBackup()
{
    BackupAnswer answer;
    answer.choice = m_backupFolder.isEmpty() ? BackupSkipped : BackupToFolder;
    answer.folder = m_backupFolder;
    return answer;
}

UserInteraction::SummaryAnswer TerminalInteraction::showImportSummary(int, int, int)
{
    // The command line says what to do next itself.
    return SummaryAnswer();
}

UserInteraction::FourWayAnswer TerminalInteraction::askFourWay(
    const QString &fileName, const QString &message)
{
    // The copy asks with its own text; the same translation gives the same
    // words here.
    const bool overwrite
        = message == QCoreApplication::translate("FileCopy", "esiste già, vuoi sostituirlo?");
    const Policy policy = overwrite && m_overwritePolicy ? *m_overwritePolicy : m_policy;
    if (policy == AlwaysYes)
        return FourWayAnswer::YesAll;
    if (policy == AlwaysNo)
        return FourWayAnswer::NoAll;

    const QString question = message.isEmpty()
        ? dialogText(
            "Non è stato pubblicato da Zevio. Si vuole procedere comunque con le modifiche?")
        : message;
    QTextStream &err = Console::err();
    if (m_progressDrawn) {
        err << Qt::endl;
        m_progressDrawn = false;
    }
    for (;;) {
        err << dialogText("Il file:") << QLatin1Char(' ') << fileName << QLatin1Char('\n')
            << question << QLatin1Char('\n') << QStringLiteral("  1) ") << dialogText("Si")
            << QStringLiteral("  2) ") << dialogText("Si tutti") << QStringLiteral("  3) ")
            << dialogText("No") << QStringLiteral("  4) ") << dialogText("No tutti")
            << QStringLiteral(": ") << Qt::flush;
        const QString line = Console::readLine();
        if (line.isNull()) {
            // Nobody to answer: nothing is touched without consent.
            err << dialogText("No tutti") << Qt::endl;
            return FourWayAnswer::NoAll;
        }
        const QString answer = line.trimmed().toLower();
        if (answer == QLatin1String("1"))
            return FourWayAnswer::Yes;
        if (answer == QLatin1String("2"))
            return FourWayAnswer::YesAll;
        if (answer == QLatin1String("3"))
            return FourWayAnswer::No;
        if (answer == QLatin1String("4"))
            return FourWayAnswer::NoAll;
        err << tr("Answer 1, 2, 3 or 4.") << Qt::endl;
    }
}

UserInteraction::Button TerminalInteraction::showMessage(
    MessageKind kind, const QString &title, const QString &text, int buttons)
{
    if (m_progressDrawn) {
        Console::err() << Qt::endl;
        m_progressDrawn = false;
    }
    if (kind == MessageKind::Warning || kind == MessageKind::Critical)
        ++m_problems;
    Console::err() << title << QStringLiteral(": ") << text << Qt::endl;
    // A question nobody can answer here gets the careful answer.
    if (kind == MessageKind::Question) {
        if (buttons & NoButton)
            return NoButton;
        if (buttons & CancelButton)
            return CancelButton;
    }
    return OkButton;
}

void TerminalInteraction::begin(const QString &label, const QString &, int maximum, bool)
{
    if (m_progressDrawn)
        Console::err() << Qt::endl;
    m_progressDrawn = false;
    m_label = label;
    m_maximum = maximum;
    m_value = 0;
    drawProgress();
}

void TerminalInteraction::step(int value)
{
    m_value = value;
    drawProgress();
}

void TerminalInteraction::setMaximum(int maximum)
{
    m_maximum = maximum;
    drawProgress();
}

void TerminalInteraction::setValue(int value)
{
    m_value = value;
    drawProgress();
}

void TerminalInteraction::end()
{
    if (m_progressDrawn)
        Console::err() << Qt::endl;
    m_progressDrawn = false;
}

void TerminalInteraction::drawProgress()
{
    if (!m_showProgress)
        return;
    // Carriage return and "erase line": the line is drawn over itself.
    QTextStream &err = Console::err();
    err << QStringLiteral("\r\033[K") << m_label;
    if (m_maximum > 0)
        err << QLatin1Char(' ') << m_value << QLatin1Char('/') << m_maximum;
    else if (m_value > 0) // still counting, as the memory scan does
        err << QLatin1Char(' ') << m_value;
    err << Qt::flush;
    m_progressDrawn = true;
}
