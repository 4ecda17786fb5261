// Writes the test fixtures of every picture format into a folder: the fuzzer's seed corpus.

#include "picture_fixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) return 1;
    for (const auto& [name, bytes] : tovrel::fixtures::all()) {
        QFile file(folder.filePath(QString::fromStdString(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(bytes.data()),
                                                           qint64(bytes.size())) != qint64(bytes.size()))
            return 1;
    }
    return 0;
}
