#include "lists/OpenEntries.h"

#include "base/Paths.h"
#include "base/TextOrder.h"
#include "lists/ListDates.h"
#include "lists/RecordCodec.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

QStringList OpenEntry::files() const
{
    if (bytesPath.isEmpty())
        return {path()};
    return {bytesPath, path()};
}

namespace {
// Texts that many records share (a folder, a kind code), decoded once each and numbered: by the
// bytes of the field, which stay in the file's content while it is read.
class SharedTexts {
public:
    template <class Add> quint32 of(QByteArrayView bytes, const records::RecordView& r, Add add)
    {
        if (m_hasLast && bytes == m_lastBytes)
            return m_last;
        const std::string_view key(bytes.data(), size_t(bytes.size()));
        auto found = m_numbers.find(key);
        if (found == m_numbers.end())
            found = m_numbers.emplace(key, add(r.decode(bytes))).first;
        m_lastBytes = bytes;
        m_last = found->second;
        m_hasLast = true;
        return m_last;
    }

private:
    std::unordered_map<std::string_view, quint32> m_numbers;
    QByteArrayView m_lastBytes;
    quint32 m_last = 0;
    bool m_hasLast = false;
};
} // namespace

OpenEntry OpenListing::at(size_t i) const
{
    const Record& r = record(i);
    OpenEntry e;
    e.kindCode = m_table->codes[r.code];
    e.folder = m_table->folders[r.folder].text;
    e.name = r.name;
    e.dateText = date(i);
    const auto& bytesPaths = m_table->bytesPaths;
    const quint32 place = quint32(m_order[i]);
    const auto found = std::lower_bound(bytesPaths.begin(), bytesPaths.end(), place,
                                        [](const auto& b, quint32 p) { return b.first < p; });
    if (found != bytesPaths.end() && found->first == place)
        e.bytesPath = found->second;
    return e;
}

QString OpenListing::date(size_t i) const
{
    const Record& r = record(i);
    if (r.dateLength != kLongDate)
        return QString::fromLatin1(r.date, r.dateLength);
    quint32 at = 0;
    std::memcpy(&at, r.date, sizeof at);
    return m_table->longDates[at];
}

void OpenListing::Table::setDate(Record& record, const records::RecordView& view)
{
    // Plain ASCII reads the same as UTF-8 and as Windows-1252.
    const QByteArrayView bytes = view.bytes(2);
    if (bytes.size() <= kDateBytes &&
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })) {
        std::memcpy(record.date, bytes.data(), size_t(bytes.size()));
        record.dateLength = quint8(bytes.size());
        return;
    }
    const quint32 at = quint32(longDates.size());
    longDates.push_back(view.field(2));
    std::memcpy(record.date, &at, sizeof at);
    record.dateLength = kLongDate;
}

namespace {
// Whether a name's bytes as read are `text`: plain ASCII is compared as it stands, anything
// else is decoded first.
bool sameName(const records::RecordView& r, QByteArrayView bytes, const QString& text)
{
    if (!std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return r.decode(bytes) == text;
    if (bytes.size() != text.size())
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (text[i].unicode() != char16_t(bytes[i]))
            return false;
    }
    return true;
}
// How far ahead in the previous listing's records the name of a record is looked for: past
// the few records a sync or another program dropped.
constexpr size_t kLookAhead = 8;
} // namespace

OpenListing openListingOf(QByteArray content, const OpenListing::Shared& previous)
{
    OpenListing listing;
    listing.exists = true;
    listing.damagedLine = records::firstLongLine(content);
    auto table = std::make_shared<OpenListing::Table>();
    auto& records = table->records;
    records.reserve(size_t(content.count('\n')) + 1); // one record a line at most
    SharedTexts folders, codes;
    const char sep = char(paths::separator().unicode());
    // The records of the same list read before, in file order: most stand where they stood.
    const auto kept = std::static_pointer_cast<const OpenListing::Table>(previous.lock());
    const std::vector<OpenListing::Record>* before = kept ? &kept->records : nullptr;
    size_t next = 0;
    records::forEachRecord(content, 3, [&](const records::RecordView& r) {
        const QByteArrayView path = r.bytes(1);
        const qsizetype cut = path.lastIndexOf(sep);
        if (cut < 0 || cut == path.size() - 1)
            return; // no folder or no file name: not shown, but it stays in the file
        OpenListing::Record record;
        record.code = quint16(codes.of(r.bytes(0), r, [&](QString text) {
            table->codes.push_back(std::move(text));
            return quint32(table->codes.size() - 1);
        }));
        record.folder = folders.of(path.first(cut + 1), r, [&](QString text) {
            const quint32 hash = textHash(text);
            table->folders.push_back({std::move(text), hash});
            return quint32(table->folders.size() - 1);
        });
        const QByteArrayView name = path.sliced(cut + 1);
        for (size_t k = next; before && k < std::min(before->size(), next + kLookAhead); ++k) {
            if (sameName(r, name, (*before)[k].name)) {
                record.name = (*before)[k].name;
                next = k + 1;
                break;
            }
        }
        if (record.name.isNull())
            record.name = r.decode(name);
        table->setDate(record, r);
        if (!r.isUtf8()) {
            QString bytes = paths::fromNativeBytes(path);
            if (bytes != table->folders[record.folder].text + record.name) {
                table->bytesPaths.emplace_back(quint32(records.size()), std::move(bytes));
            }
        }
        records.push_back(std::move(record));
    });
    content = QByteArray(); // what the sort below needs room for, if the caller let go of it
    if (records.capacity() > records.size() + records.size() / 8)
        records.shrink_to_fit(); // many lines were no records
    listing.m_order = sortedOrder(int(records.size()),
                                  [&](int i) -> QStringView { return records[size_t(i)].name; });
    listing.m_table = std::move(table);
    return listing;
}

OpenListing OpenListing::newestFirst() const
{
    std::vector<QString> dates;
    dates.reserve(size());
    for (size_t i = 0; i < size(); ++i)
        dates.push_back(date(i));
    OpenListing newest = *this; // shares the records
    // Equal dates keep the name order they had.
    const std::vector<int> places = ::newestFirst(dates);
    for (size_t i = 0; i < places.size(); ++i)
        newest.m_order[i] = m_order[size_t(places[i])];
    newest.m_byName = false;
    return newest;
}

QString fileOf(FileSystem& files, const OpenEntry& entry)
{
    if (!entry.bytesPath.isEmpty() && files.isFile(entry.bytesPath))
        return entry.bytesPath;
    return entry.path();
}

Presence dataFilePresence(FileSystem& files, const QString& path)
{
    QString name;
    SplitPath(path, &name, nullptr);
    return name.startsWith(QLatin1Char('.')) ? Presence::Absent : files.presence(path);
}

bool dataFileExists(FileSystem& files, const QString& path)
{
    // A file the user cannot see counts as missing, as a hidden file would on Windows.
    QString name;
    SplitPath(path, &name, nullptr);
    return !name.startsWith(QLatin1Char('.')) && files.isFile(path);
}
