#include "fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Fuzz
{

const QByteArray Separator = QByteArrayLiteral("\n#QFZ#\n");

void require(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void quiet()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

namespace
{
// Made on first use; lives until removeScratch() (libFuzzer ends the
// process without it: its runner gives it a temporary folder of its own).
QTemporaryDir *scratchFolder = nullptr;

QTemporaryDir &scratch()
{
    if (!scratchFolder)
        scratchFolder = new QTemporaryDir;
    require(scratchFolder->isValid(), "scratch folder could not be made");
    return *scratchFolder;
}
} // namespace

QString scratchDir()
{
    return scratch().path();
}

void removeScratch()
{
    delete scratchFolder;
    scratchFolder = nullptr;
}

void clearScratch()
{
    QDir dir(scratch().path());
    dir.removeRecursively();
    dir.mkpath(scratch().path());
}

QString writeScratch(const QString &name, const QByteArray &bytes)
{
    const QString path = scratch().filePath(name);
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile file(path);
    require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
        "scratch file could not be written");
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> split(const QByteArray &input)
{
    QList<QByteArray> parts;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = input.indexOf(Separator, from);
        if (at < 0) {
            parts.append(input.mid(from));
            return parts;
        }
        parts.append(input.mid(from, at - from));
        from = at + Separator.size();
    }
}

QByteArray join(const QList<QByteArray> &parts)
{
    return parts.join(Separator);
}

} // namespace Fuzz

#include "index.h"
#include "memorybuilder.h"

#include <QDirIterator>

namespace Fuzz
{

QDateTime Memory::fileTime()
{
    return QDateTime(QDate(2024, 5, 1), QTime(12, 30), Qt::UTC);
}

const Memory &baseMemory()
{
    static const Memory memory = [] {
        Memory m;
        QTemporaryDir dir;
        require(dir.isValid(), "memory folder could not be made");
        MemoryBuilder builder(dir.path());
        const auto song = [](const char *title, const char *artist, const char *genre) {
            return MemoryBuilder::midiFile({ MemoryBuilder::metaEvent(0x03, title),
                MemoryBuilder::tagEvent(2, artist), MemoryBuilder::tagEvent(1, genre) });
        };
        require(builder.add(QStringLiteral("VOLARE.MID"), song("Volare", "Modugno", "Pop"),
                    Memory::fileTime())
                && builder.add(QStringLiteral("LISCIO/CIAO.KAR"),
                    song("Ciao ciao", "Petula", "Liscio"), Memory::fileTime())
                && builder.add(QStringLiteral("LISCIO/VALZER.MID"),
                    song("Valzer", "Orchestra", "Liscio"), Memory::fileTime())
                && builder.add(QStringLiteral("BLUE.MP3"),
                    MemoryBuilder::mp3File({ MemoryBuilder::id3Frame("TIT2", "Blue"),
                        MemoryBuilder::id3Frame("TPE1", "Modugno") }),
                    Memory::fileTime())
                && Index().createIndex(dir.path()),
            "the base memory could not be indexed");
        Index index;
        index.setRootPath(dir.path());
        require(index.loadAllIndexFile() == 0, "the base memory's index cannot be read");
        for (const SongInfoIndex &entry : index.songs())
            m.pathById.insert(entry.id, entry.path);
        QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            m.files.insert(path.mid(dir.path().size() + 1), readFile(path));
        }
        return m;
    }();
    return memory;
}

QString layOut(const QMap<QString, QByteArray> &files)
{
    clearScratch();
    const QString root = scratchDir() + QStringLiteral("/memory");
    MemoryBuilder builder(root);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        require(builder.add(it.key(), it.value(), Memory::fileTime()), "memory file not written");
    QDir().mkpath(root);
    return root;
}

} // namespace Fuzz
