#include "commands/WebEdits.h"

#include "base/TextOrder.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace webedits {

namespace {

bool holds(const QList<WebLinkRecord>& links, const QString& name)
{
    return std::any_of(links.begin(), links.end(),
                       [&](const WebLinkRecord& l) { return l.name == name; });
}

Result outcome(Outcome o, FileResult r = {})
{
    Result result;
    result.outcome = o;
    result.result = std::move(r);
    return result;
}

Result refused(const QString& refusal)
{
    Result r = outcome(Outcome::Refused);
    r.refusal = refusal;
    return r;
}

// The outcome of a change: its failure, or the list as it wrote it.
Result changed(const FileResult& r, const QByteArray& written)
{
    if (!r.ok)
        return outcome(Outcome::Failed, r);
    Result result;
    result.links = WebLinkList::contentsOf(written);
    return result;
}

// Whether the list no longer holds a link of that name; a list that cannot be read is left to
// the change, which reports it. Lines that are no links (another program's) are read past.
bool gone(const WebLinkList& store, const QString& name)
{
    const WebLinkList::Contents now = store.read();
    return now.exists && (now.result.ok || now.strayLine > 0) && !holds(now.records, name);
}

} // namespace

Result AppendWebLink(WebLinkList store, const WebLinkRecord& link)
{
    if (const QString refusal = WebLinkList::refusalOf(link); !refusal.isEmpty())
        return refused(refusal);
    QByteArray written;
    const FileResult r = store.append(link, &written);
    return changed(r, written);
}

Result RewriteWebList(WebLinkList store, const WebLinkRecord& old, const QString& name,
                      const std::optional<QString>& url, const WebLinkList::Order& order)
{
    if (const QString refusal = WebLinkList::refusalOf({name, url.value_or(QString())});
        !refusal.isEmpty())
        return refused(refusal);
    if (gone(store, old.name))
        return outcome(Outcome::Gone);
    WebLinkRecord was;
    QByteArray written;
    const FileResult r = store.replace(old, name, url, order, &was, &written);
    Result result = changed(r, written);
    const WebLinkRecord after{name, url.value_or(was.url)};
    if (r.ok && !(after == was))
        result.renamed = RenamedLink{was, after};
    return result;
}

Result RemoveWebLink(WebLinkList store, const QString& name)
{
    if (gone(store, name))
        return outcome(Outcome::Gone);
    QList<records::TakenRecord> taken;
    QByteArray written;
    const FileResult r = store.remove(name, &taken, &written);
    Result result = changed(r, written);
    if (r.ok && !taken.isEmpty())
        result.deleted = DeletedLinks{name, taken};
    return result;
}

Result undoDelete(WebLinkList store, const DeletedLinks& step)
{
    if (holds(store.read().records, step.name))
        return outcome(Outcome::Taken);
    QByteArray written;
    const FileResult r = store.putBack(step.lines, &written);
    return changed(r, written);
}

Result undoRename(WebLinkList store, const RenamedLink& step, const WebLinkList::Order& order)
{
    const WebLinkList::Contents now = store.read();
    if (!holds(now.records, step.after.name))
        return outcome(Outcome::Gone);
    if (step.before.name != step.after.name && holds(now.records, step.before.name))
        return outcome(Outcome::Taken);
    // Written in the list's order, as the rename wrote it.
    QByteArray written;
    const FileResult r =
        store.replace(step.after, step.before.name, step.before.url, order, nullptr, &written);
    return changed(r, written);
}

WebLinkList::Order orderOf(bool byUrl, bool ascending)
{
    return [byUrl, ascending](const WebLinkRecord& a, const WebLinkRecord& b) {
        const int c =
            byUrl ? compareIgnoringCase(a.url, b.url) : compareIgnoringCase(a.name, b.name);
        return ascending ? c < 0 : c > 0;
    };
}

QString droppedAddress(const QMimeData& data)
{
    QUrl url;
    QString address;
    if (data.hasUrls() && data.urls().size() == 1) {
        url = data.urls().first();
        address = url.toString();
    } else if (data.hasText()) {
        address = data.text().trimmed();
        url = QUrl(address, QUrl::TolerantMode);
    }
    const bool web = url.isValid() && (url.scheme() == QLatin1String("http") ||
                                       url.scheme() == QLatin1String("https"));
    return web ? address : QString();
}

namespace {
QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}
QString takenText(const QString& name)
{
    return QStringLiteral("Cannot undo: a web link named ") + quoted(name) +
           QStringLiteral(" already exists. Nothing was changed.");
}
} // namespace

QString goneText(const QString& name)
{
    return QStringLiteral("The web link ") + quoted(name) +
           QStringLiteral(" is no longer in the list. Nothing was changed.");
}

UndoTexts undoTexts(const DeletedLinks& step)
{
    return {takenText(step.name), {}, {}, {}};
}

UndoTexts undoTexts(const RenamedLink& step)
{
    return {takenText(step.before.name),
            QStringLiteral("Cannot undo: the web link ") + quoted(step.after.name) +
                QStringLiteral(" is no longer in the list. Nothing was changed."),
            {},
            {}};
}

} // namespace webedits
