// Replays a fuzz target over its seed corpus and every input that once made
// it fail, so each finding stays tested in the ordinary build. The folders
// are the target's own unless the command line names others.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    QStringList folders;
    for (int i = 1; i < argc; ++i)
        folders << QString::fromLocal8Bit(argv[i]);
    if (folders.isEmpty())
        folders << QStringLiteral(KOV_FUZZ_CORPUS) << QStringLiteral(KOV_FUZZ_REGRESSIONS);
    LLVMFuzzerInitialize(&argc, &argv);

    int inputs = 0;
    for (const QString &folder : folders) {
        // A target without findings has no regressions folder yet.
        if (!QDir(folder).exists())
            continue;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        QStringList files;
        while (it.hasNext())
            files << it.next();
        files.sort();
        for (const QString &path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            // An exact-size copy, so that a read past the end is one the
            // sanitizer build can see.
            const QByteArray bytes = file.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(path));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                   size_t(bytes.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    // No inputs at all means the folders are wrong, not that all is well.
    return inputs > 0 ? 0 : 1;
}
