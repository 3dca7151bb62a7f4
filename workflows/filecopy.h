#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class UserInteraction;

// The flat copy of the chosen song files into one folder, shared by the
// backup and the transfer to the device memory. An MP3 takes its ".cdg"
// companion (the karaoke graphics beside it) along. The caller opens the
// progress (maximum: the number of files) before and ends it after.
class FileCopy
{
    Q_DECLARE_TR_FUNCTIONS(FileCopy)

public:
    explicit FileCopy(UserInteraction &user);

    // Copies files into destination, asking before an existing file is
    // replaced. True when no copy failed and the user did not stop it; count
    // receives the number of files in place afterwards (copied now or already
    // lying at their target), 0 after a stop.
    bool copyFiles(const QStringList &files, const QString &destination, int &count);

    // The companion of an MP3 path: every ".mp3" (any case) becomes ".cdg".
    static QString companionPath(const QString &path);
    // Copies source to target through a temporary file in the target's
    // folder, so a failed or partial copy never leaves a half-written file
    // under the target name; an existing target is replaced only once the
    // whole copy is on disk.
    static bool copyOne(const QString &source, const QString &target);

    // Test seam: the write with this number, counted from 1 over all copies
    // from this call on, fails as on a full disk; 0 (the default) turns it
    // off. writesCountedForTesting() tells how many writes were counted since.
    static void setFailingWriteForTesting(int number);
    static int writesCountedForTesting();

private:
    UserInteraction &m_user;
};
