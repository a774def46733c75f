#include "lists/OpenEntries.h"

#include "base/Paths.h"
#include "base/TextOrder.h"
#include "lists/RecordCodec.h"
#include "platform/FileSystem.h"

#include <QHash>

QStringList OpenEntry::files() const
{
    if (bytesPath.isEmpty())
        return {path()};
    return {bytesPath, path()};
}

OpenListing openListingOf(const QByteArray& content)
{
    OpenListing listing;
    listing.exists = true;
    std::vector<OpenEntry> read;
    // Entries of one folder share one copy of its text, and those of one kind code one copy of
    // the code: a list of years of plots holds few folders and codes, and many names.
    QHash<QString, QString> folders;
    QHash<QString, QString> codes;
    const auto shared = [](QHash<QString, QString>& texts, QString text) {
        auto found = texts.constFind(text);
        if (found == texts.constEnd())
            found = texts.insert(text, text);
        return found.value();
    };
    const QChar sep = paths::separator();
    records::forEachRecord(content, 3, [&](const records::RecordView& r) {
        const QString path = r.field(1);
        const qsizetype cut = path.lastIndexOf(sep);
        if (cut < 0 || cut == path.size() - 1)
            return; // no folder or no file name: not shown, but it stays in the file
        OpenEntry e;
        e.kindCode = shared(codes, r.field(0));
        e.folder = shared(folders, path.left(cut + 1));
        e.name = path.mid(cut + 1);
        e.dateText = r.field(2);
        if (!r.isUtf8()) {
            if (QString bytes = paths::fromNativeBytes(r.bytes(1)); bytes != path)
                e.bytesPath = std::move(bytes);
        }
        read.push_back(std::move(e));
    });
    const std::vector<int> order =
        sortedOrder(int(read.size()), [&](int i) -> QStringView { return read[size_t(i)].name; });
    listing.entries.reserve(read.size());
    for (const int i : order)
        listing.entries.push_back(std::move(read[size_t(i)]));
    return listing;
}

QString fileOf(FileSystem& files, const OpenEntry& entry)
{
    if (!entry.bytesPath.isEmpty() && files.isFile(entry.bytesPath))
        return entry.bytesPath;
    return entry.path();
}

bool dataFileExists(FileSystem& files, const QString& path)
{
    // A file the user cannot see counts as missing, as a hidden file would on Windows.
    QString name;
    SplitPath(path, &name, nullptr);
    return !name.startsWith(QLatin1Char('.')) && files.isFile(path);
}
