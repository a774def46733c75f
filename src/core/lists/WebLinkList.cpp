#include "lists/WebLinkList.h"

#include "base/Paths.h"
#include "lists/RecordCodec.h"

#include <cerrno>

namespace {

constexpr int kFields = 2;

FileResult refuseUnstorable(const WebLinkRecord& link)
{
    const QString refusal = WebLinkList::refusalOf(link);
    return refusal.isEmpty() ? FileResult() : FileResult::refused(refusal);
}

} // namespace

WebLinkList::WebLinkList(QString appFolder)
    : m_file(paths::join(appFolder, QStringLiteral("QELWebList.txt")),
             paths::join(appFolder, QStringLiteral("qellist.tmp")), kFields)
{}

QString WebLinkList::refusalOf(const WebLinkRecord& link)
{
    if (records::isStorable(link.name) && records::isStorable(link.url))
        return {};
    return QStringLiteral("A name or address can not contain a double quote (\") or a line break. "
                          "Nothing was saved.");
}

QString WebLinkList::listPath() const
{
    return m_file.path();
}

WebLinkList::Contents WebLinkList::read() const
{
    const FileContent file = readListFile(listPath());
    if (!file.exists || !file.result.ok) {
        Contents c;
        c.exists = file.exists;
        c.result = file.result;
        return c;
    }
    return contentsOf(file.data);
}

WebLinkList::Contents WebLinkList::contentsOf(const QByteArray& content)
{
    Contents c;
    c.exists = true;
    c.strayLine = records::forEachRecord(content, kFields, [&](const records::RecordView& r) {
        c.records.append(WebLinkRecord{r.field(0), r.field(1)});
    });
    // Lines another program wrote that are no links stay in the file, but the user is told: the
    // link they meant to hold is not on the list.
    if (c.result.ok && c.strayLine > 0)
        c.result =
            FileResult::refused(QStringLiteral("Line %1 is not a web link").arg(c.strayLine));
    return c;
}

FileResult WebLinkList::append(const WebLinkRecord& link, QByteArray* written)
{
    if (FileResult r = refuseUnstorable(link); !r.ok)
        return r;
    return m_file.rewrite(
        [&](records::Document& doc, bool) {
            doc.append({link.name, link.url}); // storable: checked above
            return FileResult();
        },
        written);
}

FileResult WebLinkList::replace(const WebLinkRecord& old, const QString& newName,
                                const std::optional<QString>& newUrl, const Order& order,
                                WebLinkRecord* was, QByteArray* written)
{
    if (FileResult r = refuseUnstorable({newName, newUrl.value_or(QString())}); !r.ok)
        return r;
    return m_file.rewrite(
        [&](records::Document& doc, bool exists) {
            if (!exists)
                return FileResult::fromErrno(ENOENT);
            qsizetype found = -1;
            for (qsizetype i = 0; i < doc.lines().size(); ++i) {
                const records::Line& line = doc.lines()[i];
                if (!line.isRecord() || line.field(0) != old.name)
                    continue;
                if (found < 0)
                    found = i;
                if (line.field(1) == old.url) {
                    found = i;
                    break;
                }
            }
            if (found < 0)
                return FileResult::refused(QStringLiteral("The web link \"") + old.name +
                                           QStringLiteral("\" is no longer in the list"));
            if (was)
                *was = {doc.lines()[found].field(0), doc.lines()[found].field(1)};
            const QString url = newUrl ? *newUrl : doc.lines()[found].field(1);
            doc.replace(found, {newName, url}); // storable: checked above
            if (order) {
                doc.sortRecords([&](const records::Line& a, const records::Line& b) {
                    return order({a.field(0), a.field(1)}, {b.field(0), b.field(1)});
                });
            }
            return FileResult();
        },
        written);
}

FileResult WebLinkList::remove(const QString& name, QList<records::TakenRecord>* taken,
                               QByteArray* written)
{
    return m_file.rewrite(
        [&](records::Document& doc, bool exists) {
            if (!exists)
                return FileResult::fromErrno(ENOENT);
            const auto went =
                doc.takeRecordsIf([&](const records::Line& l) { return l.field(0) == name; });
            if (taken)
                *taken = went;
            return FileResult();
        },
        written);
}

FileResult WebLinkList::putBack(const QList<records::TakenRecord>& taken, QByteArray* written)
{
    return m_file.putBack(taken, written);
}
