// Another program keeping the recent-file list, as a careful companion tool does: it adds one
// record at a time, each by reading the whole file and swapping a new file in for it, and starts
// that again when the file changed in the meantime. The swap is one atomic exchange, checked
// afterwards, so that it never undoes the hub's changes either: a check before a plain rename
// leaves a moment in which the hub's rewrite could be lost.
//   list_writer <list file> <records> <milliseconds between records> <tag>
#include <QByteArray>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <cstdlib>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
bool sameVersion(const struct stat& a, const struct stat& b)
{
    return a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
        return 2;
    const QString list = QFile::decodeName(argv[1]);
    const int count = std::atoi(argv[2]);
    const int pause = std::atoi(argv[3]);
    const QByteArray temp = QByteArray(argv[1]) + ".writer.tmp";
    for (int i = 0; i < count; ++i) {
        for (;;) {
            struct stat before {};
            const bool existed = ::stat(argv[1], &before) == 0;
            QByteArray data;
            QFile in(list);
            if (in.open(QIODevice::ReadOnly))
                data = in.readAll();
            in.close();
            data += QByteArray("\"fpl\",\"/other/") + argv[4] + '-' + QByteArray::number(i) +
                    ".fpl\",\"d\"\r\n";
            QFile out(QFile::decodeName(temp));
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                out.write(data) != data.size())
                return 3;
            out.close();
            if (!existed) {
                if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, argv[1], RENAME_NOREPLACE) ==
                    0)
                    break;
                if (errno == EEXIST)
                    continue; // made meanwhile: start again from it
                return 4;
            }
            if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, argv[1], RENAME_EXCHANGE) != 0) {
                if (errno == ENOENT)
                    continue;
                return 4;
            }
            // The file swapped out must be the one read; if not, it goes straight back.
            struct stat displaced {};
            if (::stat(temp.constData(), &displaced) == 0 && sameVersion(before, displaced)) {
                ::unlink(temp.constData());
                break;
            }
            if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, argv[1], RENAME_EXCHANGE) != 0)
                return 4;
        }
        QThread::msleep(pause);
    }
    std::puts("done");
    return 0;
}
