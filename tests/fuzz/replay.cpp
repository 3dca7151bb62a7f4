// Runs one fuzz target's entry function over its seeds and over every input
// kept under regressions/<target> (inputs that once broke it), without
// libFuzzer: a broken property aborts the test.

#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    LLVMFuzzerInitialize(&argc, &argv);
    const QString target = QStringLiteral(QUENOR_FUZZ_TARGET);
    QList<QByteArray> inputs = Fuzz::seeds(target);
    const int seedCount = int(inputs.size());
    const QDir dir(QStringLiteral(QUENOR_SOURCE_DIR "/tests/fuzz/regressions/") + target);
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
            return 1;
        }
        inputs.append(file.readAll());
    }
    if (seedCount == 0) {
        std::fprintf(stderr, "no seeds for %s\n", qPrintable(target));
        return 1;
    }
    for (const QByteArray &input : std::as_const(inputs))
        LLVMFuzzerTestOneInput(
            reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
    Fuzz::removeScratch();
    std::printf("%s: %d seeds and %d regression inputs replayed\n", qPrintable(target), seedCount,
        int(inputs.size()) - seedCount);
    return 0;
}
