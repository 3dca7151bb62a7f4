// Writes the seed corpus of every fuzz target: <folder>/<target>/seed-N.

#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Fuzz::quiet();
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const QString &target : Fuzz::targets()) {
        const QDir dir(QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + target);
        if (!QDir().mkpath(dir.path()))
            return 1;
        const QList<QByteArray> seeds = Fuzz::seeds(target);
        for (int i = 0; i < seeds.size(); ++i) {
            QFile file(dir.filePath(QStringLiteral("seed-%1").arg(i)));
            if (!file.open(QIODevice::WriteOnly) || file.write(seeds.at(i)) != seeds.at(i).size())
                return 1;
        }
    }
    return 0;
}
