#include "lists/ListFile.h"

#include "lists/ListFileParts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cerrno>

namespace listfile {

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

FileResult notOrdinaryFile(const QString& path, FileResult::Nearest nearest)
{
    return FileResult::refused(fileNameOf(path) + QStringLiteral(" is not an ordinary file"),
                               nearest);
}

FileResult tooLarge()
{
    return FileResult::fromErrno(EFBIG);
}

} // namespace listfile

using namespace listfile;

namespace {

// How often, and for how long, a rewrite starts again when another program keeps changing the
// file under it.
constexpr int kRewriteAttempts = 50;
constexpr qint64 kRewriteBudgetMs = 2000;
// How long a rewrite that met another program's change waits for a further one.
constexpr qint64 kQuietMs = 30;
// How often a read that looks cut short is tried again, and how long it waits for a change.
constexpr int kReadAttempts = 4;
constexpr int kSettleMs = 20;

// The waits below are short, but a window must never make them: list files are read and
// rewritten on the list queue. (A program without a window, such as a core test, may.)
void pause(unsigned long ms)
{
    const QCoreApplication* app = QCoreApplication::instance();
    Q_ASSERT_X(!app || !app->inherits("QGuiApplication") ||
                   QThread::currentThread() != app->thread(),
               "ListFile", "a list file is read or rewritten on the window's thread");
    QThread::msleep(ms);
}

// Another program changed the file during a rewrite. A program that writes once has finished;
// one that writes again and again is best read right after its next write, which leaves the
// longest quiet time for the next attempt. So wait a moment for a further change.
void waitForNextChange(const QString& path)
{
    const FileIdentity now = identityOf(path);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kQuietMs && identityOf(path) == now)
        pause(1);
}

std::function<void(const QString&)> g_readObserver;
} // namespace

void setListReadObserver(std::function<void(const QString& path)> observer)
{
    g_readObserver = std::move(observer);
}

FileContent readListFile(const QString& path)
{
    if (g_readObserver)
        g_readObserver(path);
    FileContent c;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        bool stable = true;
        c = readOnce(path, &stable);
        if (!c.result.ok || !c.exists)
            return c;
        if (!stable)
            continue; // it changed while it was read: read the new version
        if (!c.data.isEmpty() && records::endsWithLineEnd(c.data))
            return c;
        // Empty, or the last line cut short: either the file is so, or a writer is at work.
        pause(kSettleMs);
        if (identityOf(path) == c.identity)
            return c;
    }
    return c;
}

FileResult unstorableName()
{
    return FileResult::refused(
        QStringLiteral("A name holding a double quote (\") or a line break can not be stored in "
                       "the list"));
}

ListFile::ListFile(QString path, QString tempPath, int fieldsPerRecord)
    : m_path(std::move(path))
    , m_tempPath(std::move(tempPath))
    , m_fields(fieldsPerRecord)
{}

FileResult ListFile::putBack(const QList<records::TakenRecord>& taken, QByteArray* written) const
{
    return rewrite(
        [&](records::Document& doc, bool) {
            for (const records::TakenRecord& t : taken)
                doc.putBack(t);
            return FileResult();
        },
        written);
}

FileResult ListFile::rewrite(const Edit& edit, QByteArray* written, FileIdentity* version) const
{
    QElapsedTimer clock;
    clock.start();
    for (int attempt = 0; attempt < kRewriteAttempts && clock.elapsed() < kRewriteBudgetMs;
         ++attempt) {
        if (beforeRead)
            beforeRead();
        FileContent file = readListFile(m_path);
        if (!file.result.ok)
            return file.result;
        records::Document doc(std::move(file.data), m_fields);
        if (FileResult r = edit(doc, file.exists); !r.ok)
            return r;
        if (!doc.isModified()) {
            if (written)
                *written = doc.data();
            if (version)
                *version = file.identity;
            return {};
        }
        // Checked by hand: the permission bits do not stop every user (root), and a list the
        // user made read-only is meant to stay as it is. The failure reads as the suite's
        // Windows programs report a read-only file.
        if (file.readOnly)
            return FileResult::fromErrno(EACCES);
        const QByteArray content = std::move(doc).serialize();
        FileResult failure;
        switch (replaceIfUnchanged(m_path, m_tempPath, content, file.identity, beforeReplace,
                                   &failure)) {
        case Replaced::Done:
            if (written)
                *written = content;
            if (version) {
                // The file as swapped in; another program's change within these moments shows
                // in its size, and then the version is not told.
                const FileIdentity now = identityOf(m_path);
                *version = now.size == content.size() ? now : FileIdentity();
            }
            return {};
        case Replaced::Failed:
            return failure;
        case Replaced::FileChanged:
            waitForNextChange(m_path);
            break;
        }
    }
    FileResult busy = FileResult::refused(
        fileNameOf(m_path) + QStringLiteral(" kept changing while it was being rewritten"),
        FileResult::Nearest::Busy);
    busy.busy = true;
    return busy;
}
