#include "lists/OpenEntries.h"

#include "base/Paths.h"
#include "base/TextOrder.h"
#include "lists/RecordCodec.h"
#include "platform/FileSystem.h"

#include <string_view>
#include <unordered_map>

QStringList OpenEntry::files() const
{
    if (bytesPath.isEmpty())
        return {path()};
    return {bytesPath, path()};
}

namespace {
// Texts that many records share (a folder, a kind code), decoded once each: by the bytes of the
// field, which stay in the file's content while it is read.
class SharedTexts {
public:
    struct Text {
        QString text;
        quint32 hash;
    };
    const Text& of(QByteArrayView bytes, const records::RecordView& r)
    {
        if (m_last && bytes == m_lastBytes)
            return *m_last;
        const std::string_view key(bytes.data(), size_t(bytes.size()));
        auto found = m_texts.find(key);
        if (found == m_texts.end()) {
            QString text = r.decode(bytes);
            const quint32 hash = textHash(text);
            found = m_texts.emplace(key, Text{std::move(text), hash}).first;
        }
        m_lastBytes = bytes;
        m_last = &found->second;
        return *m_last;
    }

private:
    std::unordered_map<std::string_view, Text> m_texts;
    QByteArrayView m_lastBytes;
    const Text* m_last = nullptr;
};
} // namespace

OpenListing openListingOf(const QByteArray& content)
{
    OpenListing listing;
    listing.exists = true;
    std::vector<OpenEntry>& entries = listing.entries;
    entries.reserve(size_t(content.size() / 64)); // a record is rarely shorter
    // A list of years of plots holds few folders and kind codes, and many names: each folder's
    // and each code's text is held once.
    SharedTexts folders, codes;
    const char sep = char(paths::separator().unicode());
    records::forEachRecord(content, 3, [&](const records::RecordView& r) {
        const QByteArrayView path = r.bytes(1);
        const qsizetype cut = path.lastIndexOf(sep);
        if (cut < 0 || cut == path.size() - 1)
            return; // no folder or no file name: not shown, but it stays in the file
        OpenEntry e;
        e.kindCode = codes.of(r.bytes(0), r).text;
        const SharedTexts::Text& folder = folders.of(path.first(cut + 1), r);
        e.folder = folder.text;
        e.folderHash = folder.hash;
        e.name = r.decode(path.sliced(cut + 1));
        e.dateText = r.field(2);
        if (!r.isUtf8()) {
            if (QString bytes = paths::fromNativeBytes(path); bytes != e.path())
                e.bytesPath = std::move(bytes);
        }
        entries.push_back(std::move(e));
    });
    listing.order = sortedOrder(int(entries.size()),
                                [&](int i) -> QStringView { return entries[size_t(i)].name; });
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
