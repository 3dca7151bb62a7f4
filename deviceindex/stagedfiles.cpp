#include "stagedfiles.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace
{

bool writeWhole(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // On the disk before anything is renamed: a card pulled out after the
    // renames must find the new bytes behind the names.
    const bool written
        = file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

bool step(const StagedFiles::StepGoesThrough &stepGoesThrough)
{
    return !stepGoesThrough || stepGoesThrough();
}

} // namespace

QString StagedFiles::newName(const QString &path)
{
    return path + QLatin1String(".new");
}

QString StagedFiles::oldName(const QString &path)
{
    return path + QLatin1String(".old");
}

bool StagedFiles::recover(const QStringList &targets)
{
    // A new file waits beside its target only until it is moved in, and the
    // old ones are removed only once all are: any new file left means the
    // old set is still complete among the targets and the .old files.
    bool newLeft = false;
    bool oldLeft = false;
    for (const QString &path : targets) {
        newLeft = newLeft || QFileInfo(newName(path)).isFile();
        oldLeft = oldLeft || QFileInfo(oldName(path)).isFile();
    }
    if (!newLeft && !oldLeft)
        return true;
    qWarning() << "[StagedFiles::recover] WARNING: a commit was cut off, the"
               << (newLeft ? "old" : "new") << "files are kept";
    bool ok = true;
    for (const QString &path : targets) {
        if (newLeft && QFileInfo(oldName(path)).isFile()) {
            QFile::remove(path);
            if (!QFile::rename(oldName(path), path)) {
                qWarning() << "[StagedFiles::recover] WARNING: cannot put back" << path;
                ok = false;
            }
        }
        QFile::remove(newName(path));
        if (!newLeft)
            QFile::remove(oldName(path));
    }
    return ok;
}

void StagedFiles::stage(const QString &path, const QByteArray &bytes)
{
    const auto known = m_positions.constFind(path);
    if (known != m_positions.cend()) {
        m_files[*known].second = bytes;
        return;
    }
    m_positions.insert(path, m_files.size());
    m_files.append({ path, bytes });
}

bool StagedFiles::commit(const StepGoesThrough &stepGoesThrough)
{
    const QList<QPair<QString, QByteArray>> files = std::move(m_files);
    clear();

    // Only files are replaced: a folder or a device in the place of one is
    // the user's, and stops the commit before anything changes.
    for (const auto &file : files) {
        const QFileInfo target(file.first);
        if ((target.exists() || target.isSymLink()) && !target.isFile()) {
            qWarning() << "[StagedFiles::commit] WARNING: not a file" << file.first;
            return false;
        }
    }

    // What a commit interrupted before left behind is of no use now.
    for (const auto &file : files) {
        QFile::remove(newName(file.first));
        QFile::remove(oldName(file.first));
    }

    // 1. Every new content beside its target. The old files are untouched.
    int written = 0;
    for (const auto &[path, bytes] : files) {
        if (!step(stepGoesThrough) || !writeWhole(newName(path), bytes)) {
            qWarning() << "[StagedFiles::commit] WARNING: cannot write" << newName(path);
            break;
        }
        ++written;
    }
    if (written < files.size()) {
        for (int i = 0; i <= written && i < files.size(); ++i)
            QFile::remove(newName(files.at(i).first));
        return false;
    }

    // 2. Each old file aside, its new one in its place. A failure takes back
    // the files already placed, newest first.
    QList<bool> hadOld(files.size(), false);
    int placed = 0;
    bool failed = false;
    for (; placed < files.size(); ++placed) {
        const QString &path = files.at(placed).first;
        hadOld[placed] = QFileInfo::exists(path);
        if (hadOld[placed] && (!step(stepGoesThrough) || !QFile::rename(path, oldName(path)))) {
            qWarning() << "[StagedFiles::commit] WARNING: cannot move aside" << path;
            hadOld[placed] = false;
            failed = true;
            break;
        }
        if (!step(stepGoesThrough) || !QFile::rename(newName(path), path)) {
            qWarning() << "[StagedFiles::commit] WARNING: cannot put in place" << path;
            if (hadOld[placed] && !QFile::rename(oldName(path), path))
                qWarning() << "[StagedFiles::commit] WARNING: cannot put back" << path;
            failed = true;
            break;
        }
    }

    if (failed) {
        for (int i = placed - 1; i >= 0; --i) {
            const QString &path = files.at(i).first;
            QFile::remove(path);
            if (hadOld.at(i) && !QFile::rename(oldName(path), path))
                qWarning() << "[StagedFiles::commit] WARNING: cannot put back" << path;
        }
        for (const auto &file : files)
            QFile::remove(newName(file.first));
        return false;
    }

    // 3. The old content is no longer needed. A file that cannot be removed
    // only takes room.
    for (int i = 0; i < files.size(); ++i) {
        if (hadOld.at(i) && !QFile::remove(oldName(files.at(i).first)))
            qWarning() << "[StagedFiles::commit] WARNING: cannot remove"
                       << oldName(files.at(i).first);
    }
    return true;
}
