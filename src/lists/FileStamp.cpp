#include "lists/FileStamp.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <sys/stat.h>
#endif

FileStamp fileStamp(const QString& path)
{
    FileStamp s;
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.exists())
        return s;
    s.exists = true;
    s.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    s.size = info.size();
    s.inode = quint64(info.birthTime().toMSecsSinceEpoch());
#else
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.size = st.st_size;
    s.device = st.st_dev;
    s.inode = st.st_ino;
#endif
    return s;
}
