#include "transfer.h"

#include "filecopy.h"
#include "memoryindexrun.h"
#include "removablevolumes.h"
#include "userinteraction.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

const QLatin1String Transfer::songsFolder("songs");

Transfer::Transfer(UserInteraction &user)
    : m_user(user)
{
}

QString Transfer::cleanPath(const QString &path)
{
    if (path.isEmpty())
        return path;
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (QDir::isRelativePath(clean))
        clean = QDir::cleanPath(QDir::current().absoluteFilePath(clean));
    return clean;
}

bool Transfer::isSystemDisk(const QString &path)
{
    return RemovableVolumes::isSystemDisk(cleanPath(path));
}

QString Transfer::getRoot(const QString &path)
{
    const QString clean = cleanPath(path);
    const QString prefix = RemovableVolumes::prefixOf(clean);
    if (prefix.isEmpty())
        return QString();
    // The volume's own mount point when it lies inside the mount folder:
    // a memory may sit deeper than one level below a generic folder such as
    // /media/ (/media/USER/CARD).
    const QStorageInfo storage(clean);
    if (storage.isValid()) {
        const QString mount = QDir::cleanPath(storage.rootPath());
        if (mount.size() > prefix.size() && mount.startsWith(prefix, Qt::CaseInsensitive)
            && (clean.size() == mount.size()
                || (clean.startsWith(mount, Qt::CaseInsensitive)
                    && clean.at(mount.size()) == QLatin1Char('/'))))
            return clean.left(mount.size());
    }
    return RemovableVolumes::volumeRoot(clean);
}

bool Transfer::isRoot(const QString &path)
{
    const QString clean = cleanPath(path);
    return !clean.isEmpty() && getRoot(clean) == clean;
}

bool Transfer::isReservedFolder(const QString &path)
{
    const QString clean = cleanPath(path);
    const QString root = getRoot(clean);
    const QStringList below = clean.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (below.isEmpty())
        return false;
    if (below.last().compare(QLatin1String("PLAYLIST"), Qt::CaseInsensitive) == 0)
        return true;
    for (const QString &name : below) {
        if (name.compare(QLatin1String("SFX"), Qt::CaseInsensitive) == 0
            || name.compare(QLatin1String("BRIDGE"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void Transfer::refuse(const QString &destination, const QString &text)
{
    qWarning().noquote()
        << QStringLiteral("[Transfer] WARNING: folder refused: \"%1\"").arg(destination);
    m_user.showMessage(UserInteraction::MessageKind::Warning, tr("Trasferimento"), text);
}

bool Transfer::transferFiles(const QStringList &files)
{
    const QString destination
        = m_user.chooseFolder(tr("Scegli cartella"), RemovableVolumes::defaultFolder());
    if (destination.isEmpty())
        return false;
    return transferFilesTo(files, destination);
}

bool Transfer::transferFilesTo(const QStringList &files, const QString &chosen)
{
    QString destination = cleanPath(chosen);
    if (isSystemDisk(destination)) {
        refuse(destination, tr("Non è possibile copiare i file sul disco di sistema"));
        return false;
    }
    if (isRoot(destination)) {
        // The device's top folder holds its index; songs go one level down.
        const QString songs = destination + QLatin1Char('/') + songsFolder;
        const QFileInfo info(songs);
        if ((info.exists() && !info.isDir())
            || (!info.exists() && !QDir(destination).mkdir(songsFolder))) {
            refuse(destination,
                tr("Non è possibile copiare i file sulla cartella principale, creare o "
                   "selezionare una sottocartella"));
            return false;
        }
        destination = songs;
    }
    if (isReservedFolder(destination)) {
        refuse(destination,
            tr("Non è possibile utilizzare le cartelle BRIDGE, SFX e PLAYLIST perchè sono "
               "riservate per funzionalità specifiche di Quenor, selezionare un'altra cartella"));
        return false;
    }

    const QString rule(44, QLatin1Char('='));
    qDebug().noquote() << rule;
    qDebug().noquote() << QStringLiteral("          TRASFERIMENTO FILE");
    qDebug().noquote() << rule;

    ProgressReporter &progress = m_user.progress();
    progress.begin(tr("Trasferimento file..."), tr("Trasferimento"), int(files.size()));
    int copied = 0;
    const bool copyOk = FileCopy(m_user).copyFiles(files, destination, copied);
    progress.end();

    IndexUpdateEnum index = IndexUpdated;
    if (copied > 0)
        index = updateQuenorIndex(destination);

    if (copyOk && index == IndexUpdated) {
        m_user.showMessage(UserInteraction::MessageKind::Information, tr("Trasferimento"),
            tr("Tutti i file sono stati copiati correttamente"));
    } else if (!copyOk || index == IndexFailed) {
        m_user.showMessage(UserInteraction::MessageKind::Critical, tr("Trasferimento"),
            tr("Non è stato possibile copiare uno o più file"));
    }
    if (index == IndexStopped) {
        m_user.showMessage(UserInteraction::MessageKind::Warning, tr("Trasferimento"),
            tr("I file sono stati copiati, ma il database delle song della memoria non è stato "
               "aggiornato.\nPer aggiornarlo usare \"Rigenera il database delle song\" dal menu "
               "Strumenti."));
    }
    qDebug().noquote() << QString();
    return true;
}

Transfer::IndexUpdateEnum Transfer::updateQuenorIndex(const QString &path)
{
    const QString root = getRoot(path);
    if (root.isEmpty() || !QFileInfo::exists(root)) {
        qWarning().noquote()
            << QStringLiteral("[Transfer] WARNING: no memory holds \"%1\"").arg(path);
        return IndexFailed;
    }

    ProgressReporter &progress = m_user.progress();
    progress.begin(tr("Aggiornamento database..."), tr("Aggiornamento"), 0, false);

    MemoryIndexRun run(m_user);
    // The dialog repaints and its "Interrompi" is seen while the index works.
    auto show = [this, &progress](int value) {
        progress.setValue(value);
        m_user.processEvents();
    };
    QObject::connect(&run, &MemoryIndexRun::fileFoundChanged, show);
    QObject::connect(&run, &MemoryIndexRun::progressValueChanged, show);
    QObject::connect(&run, &MemoryIndexRun::progressMaxSetup, [this, &progress](int maximum) {
        progress.setMaximum(maximum);
        m_user.processEvents();
    });
    QObject::connect(&run, &MemoryIndexRun::currentPathChanged, [this] { m_user.processEvents(); });

    const bool ok
        = run.run(root, MemoryIndexRun::UpdateIndex, [&progress] { return progress.wasStopped(); });
    progress.end();
    if (run.wasStopped())
        return IndexStopped;
    if (!ok)
        qWarning().noquote() << QStringLiteral(
            "[Transfer] WARNING: the index of \"%1\" was not updated !!!")
                                    .arg(root);
    return ok ? IndexUpdated : IndexFailed;
}
