#include "search/HubEntries.h"

#include "base/Paths.h"
#include "lists/RecentFileList.h"
#include "lists/WebLinkList.h"

#include <QDirIterator>

std::vector<SearchEntry> newTabEntries()
{
    static constexpr struct {
        const char* text;
        const char* typeCode;
    } kNew[] = {{"New Fuel Profile", "FPL"},
                {"New Planar Intercept", "PLI"},
                {"New Photo Series Inventory", "PHS"},
                {"New Crown Mass Inventory", "CRN"}};
    std::vector<SearchEntry> entries;
    for (const auto& e : kNew)
        entries.push_back(
            {Tab::New, QString::fromLatin1(e.text), {}, QString::fromLatin1(e.typeCode)});
    return entries;
}

std::vector<SearchEntry> hubEntriesOf(const QString& appFolder)
{
    std::vector<SearchEntry> entries = newTabEntries();
    const OpenListing listing = RecentFileList(appFolder).listing(false);
    entries.reserve(entries.size() + listing.size());
    for (size_t i = 0; i < listing.size(); ++i) {
        const OpenEntry e = listing.at(i);
        entries.push_back({Tab::Open, e.name, e.folder, e.path()});
    }
    // Shortcuts by their file names alone: their programs may lie on any drive.
    const QString tools = shortcutFolder(appFolder);
    QDirIterator it(tools, {QStringLiteral("*.lnk")}, QDir::Files | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        entries.push_back({Tab::Tools, name.chopped(4), {}, paths::join(tools, name)});
    }
    for (const WebLinkRecord& link : WebLinkList(appFolder).read().records)
        entries.push_back({Tab::Web, link.name, {}, link.name});
    return entries;
}
