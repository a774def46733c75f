// Runs a fuzz harness over every file of a corpus folder, so the corpus is an ordinary test.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    int count = 0;
    QDirIterator it(QFile::decodeName(argv[1]), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            return 2;
        const QByteArray data = f.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()),
                               size_t(data.size()));
        ++count;
    }
    std::printf("%d corpus inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
