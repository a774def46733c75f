#include "lists/RecentFileList.h"

#include "base/Paths.h"
#include "lists/RecordCodec.h"

#include <cerrno>

namespace {
constexpr int kFields = 3;

// The scan's records as lines, encoded before the list is read.
QList<records::Line> encodeAll(const QList<FileListRecord>& scanned)
{
    QList<records::Line> lines;
    lines.reserve(scanned.size());
    for (const FileListRecord& r : scanned) {
        if (std::optional<records::Line> line =
                records::Line::record({r.kindCode, r.path, r.dateText}))
            lines.append(std::move(*line));
    }
    return lines;
}
} // namespace

RecentFileList::RecentFileList(QString appFolder)
    : m_file(paths::join(appFolder, QStringLiteral("QELFileList.txt")),
             paths::join(appFolder, QStringLiteral("qellist.tmp")), kFields)
    , m_data(appFolder)
{}

QString RecentFileList::listPath() const
{
    return m_file.path();
}

QString RecentFileList::tempPath() const
{
    return m_file.tempPath();
}

RecentFileList::Contents RecentFileList::read() const
{
    return readRecords<FileListRecord>(listPath(), kFields, [](const records::RecordView& r) {
        return FileListRecord{r.field(0), r.field(1), r.field(2)};
    });
}

RecentFileList::Refreshed RecentFileList::listingIfChanged(const FileIdentity& last) const
{
    Refreshed r;
    const FileIdentity now = identityOf(listPath());
    if (!now.exists || now == last)
        return r;
    r.read = true;
    // The version that was read, not the file as it is once the read is parsed: a rewrite by
    // another program meanwhile is then seen at the next tick. A file that could not be read is
    // not tried again until it changes from the look above.
    FileIdentity read;
    r.listing = listing(true, &read);
    r.identity = read.exists ? read : now;
    return r;
}

RecentFileList::Refreshed RecentFileList::loaded() const
{
    Refreshed r;
    r.read = true;
    r.listing = listing(true, &r.identity);
    return r;
}

RecentFileList::Synced RecentFileList::syncAndList()
{
    Synced s;
    QByteArray written;
    s.sync = syncDataFolder(&written, &s.kept, &s.version);
    if (s.sync.ok && !s.kept.exists)
        s.listing = listingOf(std::move(written));
    return s;
}

OpenListing RecentFileList::listing(bool scanIfMissing, FileIdentity* identity) const
{
    FileContent file = readListFile(listPath());
    if (file.result.ok && !file.exists && scanIfMissing) {
        // A missing list is made from the data folder, then read as made.
        if (const FileResult r = RecentFileList(*this).ScanDataFolder(); !r.ok) {
            OpenListing failed;
            failed.result = r;
            return failed;
        }
        file = readListFile(listPath());
    }
    if (identity)
        *identity = file.identity;
    if (m_afterListingRead)
        m_afterListingRead();
    if (!file.result.ok || !file.exists) {
        OpenListing none;
        none.result = file.result;
        return none;
    }
    return listingOf(std::move(file.data));
}

OpenListing RecentFileList::listingOf(QByteArray content) const
{
    OpenListing::Shared before;
    {
        const std::lock_guard<std::mutex> hold(m_last->lock);
        before = m_last->listing;
    }
    OpenListing listing = openListingOf(std::move(content), before);
    const std::lock_guard<std::mutex> hold(m_last->lock);
    m_last->listing = listing.shared();
    return listing;
}

RecentFileList::Check RecentFileList::check(const QString& path, const QString& alsoPath) const
{
    Check c;
    const FileContent file = readListFile(listPath());
    c.result = file.result;
    c.exists = file.exists;
    c.readOnly = file.readOnly;
    if (file.exists && file.result.ok) {
        records::forEachRecord(file.data, kFields, [&](const records::RecordView& r) {
            const QString recorded = r.field(1);
            c.holds = c.holds || recorded == path;
            c.holdsAlso = c.holdsAlso || (!alsoPath.isEmpty() && recorded == alsoPath);
        });
    }
    return c;
}

FileResult RecentFileList::TouchFileEntry(const QString& path, const QString& kindCode,
                                          const QDateTime& now)
{
    const QString date = listDateText(now);
    return m_file.rewrite([&](records::Document& doc, bool) {
        bool found = false;
        for (qsizetype i = 0; i < doc.lines().size(); ++i) {
            const records::Line& line = doc.lines()[i];
            if (line.isRecord() && line.field(1).compare(path, Qt::CaseInsensitive) == 0) {
                // The record keeps its own kind code and place.
                if (!doc.replace(i, {line.field(0), path, date}))
                    return unstorableName();
                found = true;
            }
        }
        if (!found && !doc.append({kindCode, path, date}))
            return unstorableName();
        return FileResult();
    });
}

FileResult RecentFileList::removeRecords(const QString& fullPath,
                                         QList<records::TakenRecord>* taken, QByteArray* written,
                                         bool mustExist)
{
    return m_file.rewrite(
        [&](records::Document& doc, bool exists) {
            if (!exists && mustExist)
                return FileResult::fromErrno(ENOENT);
            const auto went =
                doc.takeRecordsIf([&](const records::Line& l) { return l.field(1) == fullPath; });
            if (taken)
                *taken = went;
            return FileResult();
        },
        written);
}

FileResult RecentFileList::removeRecordsOf(const QSet<QString>& fullPaths,
                                           QList<records::TakenRecord>* taken, QByteArray* written)
{
    return m_file.rewrite(
        [&](records::Document& doc, bool) {
            const auto went = doc.takeRecordsIf(
                [&](const records::Line& l) { return fullPaths.contains(l.field(1)); });
            if (taken)
                *taken = went;
            return FileResult();
        },
        written);
}

FileResult RecentFileList::putBack(const QList<records::TakenRecord>& taken, QByteArray* written)
{
    return m_file.putBack(taken, written);
}

FileResult RecentFileList::movePaths(const QString& from, const QString& to,
                                     const QSet<QString>& within, int* moved, QByteArray* written)
{
    const QByteArray fromBytes = paths::toNativeBytes(from);
    const QByteArray toBytes = paths::toNativeBytes(to);
    return m_file.rewrite(
        [&](records::Document& doc, bool) {
            int count = 0;
            for (qsizetype i = 0; i < doc.lines().size(); ++i) {
                const records::Line& line = doc.lines()[i];
                if (!line.isRecord())
                    continue;
                const QString path = line.field(1);
                if (!path.startsWith(from) || !within.contains(path.mid(from.size())))
                    continue;
                count += doc.replaceFieldPrefix(i, 1, fromBytes, toBytes);
            }
            if (moved)
                *moved = count;
            return FileResult();
        },
        written);
}

FileResult RecentFileList::renameRecords(const QString& oldPath, const QString& newPath,
                                         QByteArray* written)
{
    return m_file.rewrite(
        [&](records::Document& doc, bool) {
            for (qsizetype i = 0; i < doc.lines().size(); ++i) {
                const records::Line& line = doc.lines()[i];
                if (line.isRecord() && line.field(1) == oldPath &&
                    !doc.replace(i, {line.field(0), newPath, line.field(2)}))
                    return unstorableName();
            }
            return FileResult();
        },
        written);
}

FileResult RecentFileList::ScanDataFolder()
{
    const QList<records::Line> scanned = encodeAll(m_data.scanDataFolderRecords());
    return m_file.rewrite([&](records::Document& doc, bool exists) {
        if (!exists)
            doc.markChanged(); // the scan creates the list file even when it finds nothing
        for (const records::Line& line : scanned)
            doc.append(line);
        return FileResult();
    });
}

FileResult RecentFileList::SyncDataFolderEntries(QByteArray* written)
{
    return syncDataFolder(written, nullptr, nullptr);
}

FileResult RecentFileList::syncDataFolder(QByteArray* written, FileIdentity* kept,
                                          FileIdentity* version)
{
    // The folder scan is the slow part: it runs before the list is read, so that the window in
    // which another program's change would mean starting over stays short.
    const QList<records::Line> scanned = encodeAll(m_data.scanDataFolderRecords());
    if (scanned.isEmpty()) {
        // Nothing to add, and most often nothing to drop: a large list is then looked through
        // as read, without being held line by line for a rewrite that would change nothing.
        if (m_file.beforeRead)
            m_file.beforeRead();
        FileContent file = readListFile(m_file.path());
        if (!file.result.ok)
            return file.result;
        bool drops = false;
        if (file.exists) {
            records::forEachRecord(file.data, kFields, [&](const records::RecordView& r) {
                drops = drops || m_data.isInDataFolder(r.field(1));
            });
        }
        if (file.exists && !drops) {
            if (kept)
                *kept = file.identity;
            if (version)
                *version = file.identity;
            if (written)
                *written = std::move(file.data);
            return {};
        }
    }
    return m_file.rewrite(
        [&](records::Document& doc, bool exists) {
            doc.removeRecordsIf(
                [&](const records::Line& l) { return m_data.isInDataFolder(l.field(1)); });
            // Dropping and re-scanning happen in one rewrite, so the list is never seen half-done.
            for (const records::Line& line : scanned)
                doc.append(line);
            if (!exists)
                doc.markChanged();
            return FileResult();
        },
        written, version);
}

QString applyRenameExtensionRule(const QString& newName, const QString& kindCode)
{
    const QString code = kindCode.toUpper();
    if (newName.size() > 3 && newName.right(3).toUpper() == code)
        return newName;
    return newName + QLatin1Char('.') + code;
}
