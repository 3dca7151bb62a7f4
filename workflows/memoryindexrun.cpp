#include "memoryindexrun.h"

#include "index.h"
#include "transfer.h"
#include "userinteraction.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace
{

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

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
    int maximums = 0;

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
    if (stopRequested) {
        // Looked at whenever the index reports (after the receivers above
        // let the user press "Interrompi"). The index's second maximum opens
        // the writing of its files, which then runs to the end.
        auto check = [&index, &maximums, &stopRequested] {
            if (maximums < 2 && !index.isStopped() && stopRequested())
                index.stop();
        };
        connect(&index, &Index::progressMaxSetup, this, [&maximums] { ++maximums; });
        connect(&index, &Index::fileFoundChanged, this, check);
        connect(&index, &Index::progressValueChanged, this, check);
        connect(&index, &Index::currentPathChanged, this, check);
    }

    const bool ok = operation == CreateIndex ? index.createIndex(root) : index.updateIndex(root);
    if (index.isStopped()) {
        m_stopped = true;
        qDebug().noquote() << QStringLiteral("[MemoryIndexRun] stopped: the index of %1 is kept")
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
