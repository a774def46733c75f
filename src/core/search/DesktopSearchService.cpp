#include "search/DesktopSearchService.h"

#ifndef Q_OS_WIN

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>

namespace {

// One answer of the runner's Match: id, text, icon name, kind of match, relevance, properties.
struct RunnerMatch {
    QString id, text, icon;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;
};
// One action the runner offers beside a match (none here: a result opens as a double-click does).
struct RunnerAction {
    QString id, text, icon;
};

QDBusArgument& operator<<(QDBusArgument& arg, const RunnerMatch& m)
{
    arg.beginStructure();
    arg << m.id << m.text << m.icon << m.type << m.relevance << m.properties;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, RunnerMatch& m)
{
    arg.beginStructure();
    arg >> m.id >> m.text >> m.icon >> m.type >> m.relevance >> m.properties;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const RunnerAction& a)
{
    arg.beginStructure();
    arg << a.id << a.text << a.icon;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, RunnerAction& a)
{
    arg.beginStructure();
    arg >> a.id >> a.text >> a.icon;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(RunnerMatch)
Q_DECLARE_METATYPE(RunnerAction)

namespace {

const QString kShellInterface = QStringLiteral("org.gnome.Shell.SearchProvider2");
const QString kRunnerInterface = QStringLiteral("org.kde.krunner1");

// A result's id: the tab's number, a colon, the entry's key in its tab.
QString idOf(const SearchEntry& e)
{
    return QString::number(int(e.tab)) + QLatin1Char(':') + e.key;
}

QString iconOf(Tab tab)
{
    switch (tab) {
    case Tab::New:
        return QStringLiteral("document-new");
    case Tab::Open:
        return QStringLiteral("org.keldara.Keldara");
    case Tab::Tools:
        return QStringLiteral("application-x-executable");
    case Tab::Web:
        return QStringLiteral("web-browser");
    }
    return {};
}

// What the search shows under a result's name: its tab, and an "Open" entry's folder.
QString descriptionOf(const SearchEntry& e)
{
    const QString tab = tabCaption(e.tab);
    return e.folder.isEmpty() ? tab : tab + QStringLiteral(" \u2014 ") + e.folder;
}

QStringList termsOf(const QVariant& v)
{
    return v.toStringList();
}

} // namespace

DesktopSearchService::DesktopSearchService(
    std::function<std::vector<SearchEntry>()> load, std::function<bool()> changed,
    std::function<void(const SearchEntry&, uint timestamp)> activate)
    : m_load(std::move(load))
    , m_changed(std::move(changed))
    , m_activate(std::move(activate))
{}

void DesktopSearchService::registerTypes()
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
    qDBusRegisterMetaType<RunnerMatch>();
    qDBusRegisterMetaType<QList<RunnerMatch>>();
    qDBusRegisterMetaType<RunnerAction>();
    qDBusRegisterMetaType<QList<RunnerAction>>();
}

const EntrySearch& DesktopSearchService::search()
{
    if (!m_loaded || m_changed()) {
        m_search.setEntries(m_load());
        m_loaded = true;
    }
    return m_search;
}

QStringList DesktopSearchService::resultIds(const QStringList& terms)
{
    const EntrySearch& s = search();
    QStringList ids;
    for (int i : s.find(terms.join(QLatin1Char(' ')), kMaxResults))
        ids.append(idOf(s.entries()[size_t(i)]));
    return ids;
}

const SearchEntry* DesktopSearchService::entryOfId(const QString& id)
{
    for (const SearchEntry& e : search().entries()) {
        if (idOf(e) == id)
            return &e;
    }
    return nullptr;
}

bool DesktopSearchService::handleMessage(const QDBusMessage& message,
                                         const QDBusConnection& connection)
{
    const QString member = message.member();
    const QVariantList args = message.arguments();
    const auto answer = [&](const QVariantList& out) {
        connection.send(message.createReply(out));
        return true;
    };
    if (message.interface() == kShellInterface) {
        if (member == QLatin1String("GetInitialResultSet") && args.size() == 1)
            return answer({resultIds(termsOf(args[0]))});
        if (member == QLatin1String("GetSubsearchResultSet") && args.size() == 2)
            return answer({resultIds(termsOf(args[1]))});
        if (member == QLatin1String("GetResultMetas") && args.size() == 1) {
            QList<QVariantMap> metas;
            for (const QString& id : termsOf(args[0])) {
                if (const SearchEntry* e = entryOfId(id)) {
                    metas.append({{QStringLiteral("id"), id},
                                  {QStringLiteral("name"), e->name},
                                  {QStringLiteral("description"), descriptionOf(*e)},
                                  {QStringLiteral("gicon"), iconOf(e->tab)}});
                }
            }
            return answer({QVariant::fromValue(metas)});
        }
        if (member == QLatin1String("ActivateResult") && args.size() == 3) {
            if (const SearchEntry* e = entryOfId(args[0].toString()))
                m_activate(*e, args[2].toUInt());
            return answer({});
        }
        if (member == QLatin1String("LaunchSearch"))
            return answer({}); // the hub has no search window to show the rest in
    } else if (message.interface() == kRunnerInterface) {
        if (member == QLatin1String("Actions"))
            return answer({QVariant::fromValue(QList<RunnerAction>())});
        if (member == QLatin1String("Match") && args.size() == 1) {
            const EntrySearch& s = search();
            const std::vector<int> found = s.find(args[0].toString(), kMaxResults);
            QList<RunnerMatch> matches;
            for (size_t rank = 0; rank < found.size(); ++rank) {
                const SearchEntry& e = s.entries()[size_t(found[rank])];
                // Best first: the runner orders by relevance, from 1 down.
                matches.append({idOf(e),
                                e.name,
                                iconOf(e.tab),
                                30 /* a possible match */,
                                1.0 - double(rank) / (2.0 * kMaxResults),
                                {{QStringLiteral("subtext"), descriptionOf(e)}}});
            }
            return answer({QVariant::fromValue(matches)});
        }
        if (member == QLatin1String("Run") && args.size() == 2) {
            if (const SearchEntry* e = entryOfId(args[0].toString()))
                m_activate(*e, 0);
            return answer({});
        }
        if (member == QLatin1String("Teardown"))
            return answer({});
    }
    return false;
}

QString DesktopSearchService::introspect(const QString&) const
{
    return QStringLiteral(R"xml(<interface name="org.gnome.Shell.SearchProvider2">
<method name="GetInitialResultSet"><arg type="as" name="terms" direction="in"/><arg type="as" name="results" direction="out"/></method>
<method name="GetSubsearchResultSet"><arg type="as" name="previous_results" direction="in"/><arg type="as" name="terms" direction="in"/><arg type="as" name="results" direction="out"/></method>
<method name="GetResultMetas"><arg type="as" name="identifiers" direction="in"/><arg type="aa{sv}" name="metas" direction="out"/></method>
<method name="ActivateResult"><arg type="s" name="identifier" direction="in"/><arg type="as" name="terms" direction="in"/><arg type="u" name="timestamp" direction="in"/></method>
<method name="LaunchSearch"><arg type="as" name="terms" direction="in"/><arg type="u" name="timestamp" direction="in"/></method>
</interface>
<interface name="org.kde.krunner1">
<method name="Actions"><arg type="a(sss)" name="matches" direction="out"/></method>
<method name="Match"><arg type="s" name="query" direction="in"/><arg type="a(sssida{sv})" name="matches" direction="out"/></method>
<method name="Run"><arg type="s" name="matchId" direction="in"/><arg type="s" name="actionId" direction="in"/></method>
<method name="Teardown"/>
</interface>
)xml");
}

#endif
