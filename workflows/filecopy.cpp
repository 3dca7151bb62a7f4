#include "filecopy.h"

#include "userinteraction.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace
{
// Song files reach tens of megabytes: copied in pieces of this size.
const qint64 copyChunk = 1 << 20;

int failingWrite = 0;
int writesCounted = 0;

// Writes the piece whole; false on a short write, or when the test seam
// makes this one fail.
bool writePiece(QSaveFile &out, const QByteArray &piece)
{
    if (failingWrite > 0 && ++writesCounted == failingWrite)
        return false;
    return out.write(piece) == piece.size();
}

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}
} // namespace

FileCopy::FileCopy(UserInteraction &user)
    : m_user(user)
{
}

QString FileCopy::companionPath(const QString &path)
{
    QString companion = path;
    return companion.replace(
        QRegularExpression(QStringLiteral("\\.mp3"), QRegularExpression::CaseInsensitiveOption),
        QStringLiteral(".cdg"));
}

void FileCopy::setFailingWriteForTesting(int number)
{
    failingWrite = number;
    writesCounted = 0;
}

int FileCopy::writesCountedForTesting()
{
    return writesCounted;
}

bool FileCopy::copyOne(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << QStringLiteral("[copyFiles] WARNING: cannot read %1: %2")
                                    .arg(quoted(source), in.errorString());
        return false;
    }
    QSaveFile out(target);
    // Never written in place: an interrupted copy must not look like a song.
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        qWarning().noquote() << QStringLiteral("[copyFiles] WARNING: cannot write %1: %2")
                                    .arg(quoted(target), out.errorString());
        return false;
    }
    bool written = true;
    while (!in.atEnd()) {
        const QByteArray piece = in.read(copyChunk);
        if (piece.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (!writePiece(out, piece)) {
            written = false;
            break;
        }
    }
    if (!written || in.error() != QFileDevice::NoError || out.error() != QFileDevice::NoError) {
        qWarning().noquote() << QStringLiteral("[copyFiles] WARNING: copy of %1 failed: %2")
                                    .arg(quoted(source),
                                        in.error() != QFileDevice::NoError ? in.errorString()
                                                                           : out.errorString());
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        qWarning().noquote() << QStringLiteral("[copyFiles] WARNING: cannot write %1: %2")
                                    .arg(quoted(target), out.errorString());
        return false;
    }
    QFile::setPermissions(target, in.permissions());
    return true;
}

bool FileCopy::copyFiles(const QStringList &files, const QString &destination, int &count)
{
    ProgressReporter &progress = m_user.progress();
    count = 0;
    int processed = 0;
    int failures = 0;
    bool askBeforeOverwrite = true;
    bool overwrite = false;

    for (const QString &path : files) {
        if (progress.wasStopped()) {
            count = 0;
            progress.end();
            return false;
        }
        const QString target
            = destination + QLatin1Char('/') + path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        ++processed;
        if (path.compare(target, Qt::CaseInsensitive) == 0) {
            // The file already lies in the destination.
            ++count;
            continue;
        }
        qDebug().noquote() << QStringLiteral("Copying file:") << quoted(path)
                           << QStringLiteral("to:") << quoted(target);

        bool replacing = false;
        if (QFileInfo::exists(target)) {
            if (askBeforeOverwrite) {
                switch (m_user.askFourWay(target, tr("esiste già, vuoi sostituirlo?"))) {
                case UserInteraction::FourWayAnswer::Yes:
                    overwrite = true;
                    break;
                case UserInteraction::FourWayAnswer::YesAll:
                    overwrite = true;
                    askBeforeOverwrite = false;
                    break;
                case UserInteraction::FourWayAnswer::No:
                    overwrite = false;
                    break;
                case UserInteraction::FourWayAnswer::NoAll:
                    overwrite = false;
                    askBeforeOverwrite = false;
                    break;
                }
            }
            if (!overwrite)
                continue;
            replacing = true;
        }

        bool ok = copyOne(path, target);
        if (ok && path.endsWith(QLatin1String("MP3"), Qt::CaseInsensitive)) {
            const QString companion = companionPath(path);
            if (QFileInfo::exists(companion)) {
                const QString companionTarget = companionPath(target);
                // Replacing a song replaces its companion too; otherwise an
                // existing companion is not someone else's file to overwrite.
                if (QFileInfo::exists(companionTarget) && !replacing) {
                    qWarning().noquote() << QStringLiteral("[copyFiles] WARNING: %1 already exists")
                                                .arg(quoted(companionTarget));
                    ok = false;
                } else {
                    ok = copyOne(companion, companionTarget);
                }
            }
        }
        if (ok)
            ++count;
        else
            ++failures;
        progress.step(processed);
        m_user.processEvents();
    }
    return failures == 0;
}
