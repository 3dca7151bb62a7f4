#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets and their replay tests. Each target defines
// LLVMFuzzerTestOneInput; a broken property aborts with a message, so that
// libFuzzer keeps the input and a replay test fails.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace Fuzz
{

// Aborts with the message when the condition does not hold.
void require(bool condition, const char *what);

// Silences Qt's messages: the readers warn about every damaged file.
void quiet();

// A private scratch folder for the process, emptied on request.
QString scratchDir();
void clearScratch();
// Removes the scratch folder (at the end of a replay).
void removeScratch();
// Writes bytes to a file under the scratch folder and returns its path.
QString writeScratch(const QString &name, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Several files in one input: the parts between separators.
extern const QByteArray Separator;
QList<QByteArray> split(const QByteArray &input);
QByteArray join(const QList<QByteArray> &parts);

// The seeds of one target, made by the project's own builders.
QList<QByteArray> seeds(const QString &target);
QStringList targets();

} // namespace Fuzz

#include <QDateTime>
#include <QMap>

namespace Fuzz
{

// A small device memory with songs and a complete index, made once and laid
// out again under the scratch folder for every input.
struct Memory {
    // Every file of the memory, index files included, by path from the root.
    QMap<QString, QByteArray> files;
    // The song path of each id of its index.
    QMap<quint32, QString> pathById;
    // All files carry this modification time, so an update sees no change.
    static QDateTime fileTime();
};
const Memory &baseMemory();
// Clears the scratch folder and lays the memory out in it; returns its root.
QString layOut(const QMap<QString, QByteArray> &files);

} // namespace Fuzz
