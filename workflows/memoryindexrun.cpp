#include "memoryindexrun.h"

#include "index.h"
#include "transfer.h"
#include "userinteraction.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

namespace
{

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

// The bytes of everything an index operation may write on a memory: the
// index files in its root and the device's playlists. put back() returns
// them to the state they had when the copy was taken.
class IndexFilesCopy
{
public:
    explicit IndexFilesCopy(const QString &root)
        : m_root(root)
    {
        for (const QString &path : paths()) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                m_files.insert(
                    path, { file.readAll(), file.fileTime(QFileDevice::FileModificationTime) });
        }
        for (const char *name : { "sfx", "bridge" }) {
            if (!QFileInfo::exists(m_root + QLatin1Char('/') + QLatin1String(name)))
                m_newFolders << m_root + QLatin1Char('/') + QLatin1String(name);
        }
    }

    bool putBack() const
    {
        bool ok = true;
        for (const QString &path : paths()) {
            const auto kept = m_files.constFind(path);
            if (kept == m_files.cend()) {
                if (QFileInfo::exists(path) && !QFile::remove(path)) {
                    qWarning().noquote()
                        << QStringLiteral("[MemoryIndexRun] WARNING: cannot remove %1")
                               .arg(quoted(path));
                    ok = false;
                }
                continue;
            }
            const QByteArray &bytes = kept->first;
            QFile current(path);
            const bool same = current.open(QIODevice::ReadOnly) && current.readAll() == bytes;
            current.close();
            QSaveFile file(path);
            if (!same
                && (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
                    || !file.commit())) {
                qWarning().noquote()
                    << QStringLiteral("[MemoryIndexRun] WARNING: cannot restore %1: %2")
                           .arg(quoted(path), file.errorString());
                ok = false;
                continue;
            }
            // The old time too, so the file looks untouched.
            if (current.fileTime(QFileDevice::FileModificationTime) != kept->second
                && current.open(QIODevice::ReadWrite))
                current.setFileTime(kept->second, QFileDevice::FileModificationTime);
        }
        // Only when still empty: nothing of the user's is removed.
        for (const QString &folder : m_newFolders)
            QDir().rmdir(folder);
        return ok;
    }

private:
    // The index files (also the two scratch files an index removes) and
    // every file of the playlist folder, as they are now.
    QStringList paths() const
    {
        QStringList result;
        QStringList names = Index::indexFileNames();
        names << QStringLiteral("temp1.idx") << QStringLiteral("temp2.idx");
        for (const QString &name : names)
            result << m_root + QLatin1Char('/') + name;
        const QDir playlists(m_root + QStringLiteral("/playlist"));
        for (const QFileInfo &info : playlists.entryInfoList(QDir::Files | QDir::Hidden))
            result << info.absoluteFilePath();
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
            if (!result.contains(it.key()))
                result << it.key();
        }
        return result;
    }

    QString m_root;
    QMap<QString, QPair<QByteArray, QDateTime>> m_files;
    QStringList m_newFolders;
};

} // namespace

MemoryIndexRun::MemoryIndexRun(UserInteraction &user, QObject *parent)
    : QObject(parent)
    , m_user(user)
{
}

QString MemoryIndexRun::getRootDrivePath(const QString &path)
{
    return Transfer::getRoot(path);
}

bool MemoryIndexRun::run(
    const QString &root, OperationEnum operation, const std::function<bool()> &stopRequested)
{
    m_refused = 0;
    m_stopped = false;

    Index index;
    // Each run has its own index, so "Si tutti" and "No tutti" last for one
    // run only.
    index.setRenameQuestion([this](const QString &oldPath, const QString &message) {
        return int(m_user.askFourWay(oldPath, message));
    });
    connect(&index, &Index::fileFoundChanged, this, &MemoryIndexRun::fileFoundChanged);
    connect(&index, &Index::progressMaxSetup, this, &MemoryIndexRun::progressMaxSetup);
    connect(&index, &Index::progressValueChanged, this, &MemoryIndexRun::progressValueChanged);
    connect(&index, &Index::currentPathChanged, this, &MemoryIndexRun::currentPathChanged);
    connect(&index, &Index::errorFromIndex, this, [this](const QString &message) {
        ++m_refused;
        emit errorFromIndex(message);
    });

    std::unique_ptr<IndexFilesCopy> before;
    if (stopRequested)
        before = std::make_unique<IndexFilesCopy>(Transfer::cleanPath(root));

    const bool ok = operation == CreateIndex ? index.createIndex(root) : index.updateIndex(root);

    if (stopRequested && stopRequested()) {
        m_stopped = true;
        qDebug().noquote() << QStringLiteral("[MemoryIndexRun] stopped: the index of %1 is kept")
                                  .arg(quoted(root));
        if (!before->putBack())
            qWarning().noquote() << QStringLiteral(
                "[MemoryIndexRun] WARNING: the index of %1 could not be kept !!!")
                                        .arg(quoted(root));
        return false;
    }
    return ok;
}

MemoryIndexRun::OptimiseResultEnum MemoryIndexRun::optimise(
    const QString &chosenPath, bool toVolumeRoot, OperationEnum operation)
{
    const QString title = tr("Ottimizza memoria");
    const QString path
        = toVolumeRoot ? getRootDrivePath(chosenPath) : Transfer::cleanPath(chosenPath);
    // Only a folder can be a memory; a file typed in its place is missing too.
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        m_user.showMessage(
            UserInteraction::MessageKind::Warning, title, tr("Il percorso selezionato non esiste"));
        return OptimisePathMissing;
    }

    emit started(path);
    const bool ok = run(path, operation);

    if (m_refused > 0) {
        m_user.showMessage(UserInteraction::MessageKind::Critical, title,
            tr("Durante l'operazione si sono verificati alcuni errori.\nConsultare il report per "
               "maggiori informazioni."));
        return OptimiseWithErrors;
    }
    if (!ok) {
        emit progressMaxSetup(100);
        m_user.processEvents();
        m_user.showMessage(UserInteraction::MessageKind::Critical, title,
            tr("Operazione non riuscita.\nAssicurarsi che il disco abbia sufficiente spazio libero "
               "e "
               "che non sia protetto da scrittura."));
        return OptimiseFailed;
    }
    m_user.showMessage(
        UserInteraction::MessageKind::Information, title, tr("Operazione completata con successo"));
    return OptimiseCompleted;
}

MemoryIndexRun::SongsListResultEnum MemoryIndexRun::saveSongsList(
    const QString &source, const QString &destination, int mode)
{
    const QString title = tr("Salva lista song");
    // The memory as given: its text decides the file column (with or without
    // the leading "/").
    if (source.isEmpty() || !QFileInfo(source).isDir()) {
        m_user.showMessage(
            UserInteraction::MessageKind::Warning, title, tr("Il percorso selezionato non esiste"));
        return SongsListSourceMissing;
    }
    // Checked without opening the file: an existing list is kept until the
    // new one is complete.
    const QFileInfo target(destination);
    if (destination.isEmpty() || target.isDir() || !target.absoluteDir().exists()) {
        m_user.showMessage(UserInteraction::MessageKind::Warning, title,
            tr("Il percorso di destinazione non esiste"));
        return SongsListDestinationMissing;
    }

    emit started(source);
    Index index;
    connect(&index, &Index::progressMaxSetup, this, &MemoryIndexRun::progressMaxSetup);
    connect(&index, &Index::progressValueChanged, this, &MemoryIndexRun::progressValueChanged);
    connect(&index, &Index::currentPathChanged, this, &MemoryIndexRun::currentPathChanged);
    switch (index.saveSongsList(source, destination, mode)) {
    case -1:
        m_user.showMessage(UserInteraction::MessageKind::Warning, title,
            tr("Impossibile proseguire, la memoria non è preparata per Quenor"));
        return SongsListNotPrepared;
    case 1:
        m_user.showMessage(
            UserInteraction::MessageKind::Information, title, tr("Operazione completata"));
        return SongsListWritten;
    default:
        m_user.showMessage(UserInteraction::MessageKind::Warning, title,
            tr("Errore durante la creazione del file"));
        return SongsListFailed;
    }
}
