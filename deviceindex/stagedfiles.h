#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// A set of files replaced all together or not at all. The device reads its
// index files as one whole: a memory with half of them new and half old
// would show the wrong songs, so each file's new content is first written
// beside it, and only once every one of them is on disk are they put in
// place; a failure on the way puts the old files back.
class StagedFiles
{
public:
    // Counts one step of the commit (a file written beside its target or a
    // rename); false makes that step fail as on a full memory. Tests use it.
    using StepGoesThrough = std::function<bool()>;

    // The new content of the file at path; a later call for the same path
    // replaces it.
    void stage(const QString &path, const QByteArray &bytes);
    void clear()
    {
        m_files.clear();
        m_positions.clear();
    }
    bool isEmpty() const { return m_files.isEmpty(); }
    int count() const { return int(m_files.size()); }

    // Writes every staged file and puts them all in place: true when all are
    // replaced; false when none is (each target then holds exactly what it
    // held before, and a file that did not exist still does not). Nothing
    // stays staged afterwards.
    bool commit(const StepGoesThrough &stepGoesThrough = {});

    // After a commit over these targets was cut off (the memory pulled out,
    // the power gone): when it had not yet put every new file in place, the
    // old files are put back; when it had, what is left beside them is
    // cleared. Either way the targets are then whole, old or new (a target
    // the cut-off commit created stays). False when a file could not be moved
    // back.
    static bool recover(const QStringList &targets);

    // The names under which a file's new and old content wait during a
    // commit; left over only when the program stopped in the middle of one.
    static QString newName(const QString &path);
    static QString oldName(const QString &path);

private:
    QList<QPair<QString, QByteArray>> m_files;
    // Where each path stands in m_files: a rebuild may stage thousands of
    // playlists.
    QHash<QString, qsizetype> m_positions;
};
