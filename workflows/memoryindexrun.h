#pragma once

#include <QObject>
#include <QString>

#include <functional>

class UserInteraction;

// One operation of the device index on a Quenor memory, as the optimise
// command, the transfer and the song list export run it: the rename question
// of long names goes to the user's four-way question, the files the index
// refuses are counted, and the index's progress is passed on through the
// signals below (connect them before running).
class MemoryIndexRun : public QObject
{
    Q_OBJECT

public:
    enum OperationEnum { UpdateIndex, CreateIndex };

    // How the optimise command ended.
    enum OptimiseResultEnum {
        OptimisePathMissing,
        OptimiseCompleted,
        // Some files were refused (listed through errorFromIndex).
        OptimiseWithErrors,
        OptimiseFailed,
    };

    // The results of Index::saveSongsList.
    enum SongsListResultEnum {
        SongsListSourceMissing,
        SongsListDestinationMissing,
        SongsListWritten,
        SongsListNotPrepared,
        SongsListFailed,
    };

    explicit MemoryIndexRun(UserInteraction &user, QObject *parent = nullptr);

    // The optimise command: indexes the memory holding chosenPath
    // (toVolumeRoot) or chosenPath itself, and tells the user how it went.
    // started is emitted once the folder is known to exist, just before the
    // index operation.
    OptimiseResultEnum optimise(
        const QString &chosenPath, bool toVolumeRoot, OperationEnum operation);

    // One index operation on root. With stopRequested, asked while the
    // index scans and reads the songs, a true answer stops it before any of
    // its files is written; wasStopped() then tells so.
    bool run(const QString &root, OperationEnum operation,
        const std::function<bool()> &stopRequested = {});
    bool wasStopped() const { return m_stopped; }
    // Files the last run refused.
    int refusedCount() const { return m_refused; }

    // Writes the song list of the prepared memory at source into the CSV
    // file destination, sorted by mode (0 title, 1 artist, 2 genre), and
    // tells the user how it went. An existing list is replaced only by a
    // complete new one.
    SongsListResultEnum saveSongsList(const QString &source, const QString &destination, int mode);

    // The folder of the memory that holds path (the optimise command's
    // plain press); empty when path is on the computer's own disk.
    static QString getRootDrivePath(const QString &path);

signals:
    void started(const QString &root);
    void fileFoundChanged(int filesFound);
    void progressMaxSetup(int maximum);
    void progressValueChanged(int value);
    void currentPathChanged(const QString &path);
    void errorFromIndex(const QString &message);

private:
    UserInteraction &m_user;
    int m_refused = 0;
    bool m_stopped = false;
};
