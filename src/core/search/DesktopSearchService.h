#pragma once

#include "search/EntrySearch.h"

#ifndef Q_OS_WIN

#include <QDBusVirtualObject>

#include <functional>

// The hub's entries in the desktop's own search: one object on the session bus that answers both
// the shell's search-provider calls (org.gnome.Shell.SearchProvider2) and the runner calls of the
// other desktop (org.kde.krunner1) from one EntrySearch. It only reads: a search starts no window
// and takes no lock; activating a result hands it to `activate`, which opens it through the hub.
class DesktopSearchService : public QDBusVirtualObject {
public:
    static constexpr const char* kServiceName = "org.keldara.Keldara.SearchProvider";
    static constexpr const char* kObjectPath = "/org/keldara/Keldara/SearchProvider";
    static constexpr int kMaxResults = 20;

    // `load` gives the entries afresh; it is asked again whenever `changed` says so.
    DesktopSearchService(std::function<std::vector<SearchEntry>()> load,
                         std::function<bool()> changed,
                         std::function<void(const SearchEntry&, uint timestamp)> activate);

    // Registers the types the calls carry; once, before the object is registered.
    static void registerTypes();

    // Called for every message to our object; answers it and says whether it was ours.
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

    // The result ids of a query, best first (what GetInitialResultSet answers).
    QStringList resultIds(const QStringList& terms);

private:
    const EntrySearch& search();
    const SearchEntry* entryOfId(const QString& id);

    std::function<std::vector<SearchEntry>()> m_load;
    std::function<bool()> m_changed;
    std::function<void(const SearchEntry&, uint)> m_activate;
    EntrySearch m_search;
    bool m_loaded = false;
};

#endif
