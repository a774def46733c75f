#include "actions/WebPages.h"

#include "base/Paths.h"
#include "platform/BrowserFinder.h"
#include "platform/FileManager.h"
#include "ui/HubContext.h"
#include "work/Work.h"

#include <QDir>
#include <QPointer>

namespace {

const QString kNoBrowserText = QStringLiteral("Could not find a web browser");
const QString kPageNotOpenedText = QStringLiteral("Web Page not Opened");
const QString kOptionLikeAddressText =
    QStringLiteral("Web Page not Opened\rThe address begins with \"-\", which a browser would "
                   "take as an option rather than as a page to open.");

bool looksLikeOption(const QString& url)
{
    for (const QChar c : url) {
        if (!c.isSpace())
            return c == QLatin1Char('-');
    }
    return false;
}

// Finds and starts the program on the line of the user's home folder, which the lookup reads;
// the window goes on answering meanwhile.
template <class Start>
void startWith(const HubContext& hub, QObject* context, const QString& notFound,
               const QString& notStarted, Start start)
{
    BrowserFinder* finder = hub.services().browsers;
    if (!finder) {
        hub.notice(notFound);
        return;
    }
    work::post(
        hub.lineOf(QDir::homePath()), context, [finder, start] { return start(*finder); },
        [&hub, notFound, notStarted](const std::optional<FileResult>& started) {
            if (!started)
                hub.notice(notFound);
            else if (!started->ok)
                hub.fileFailure(notStarted, *started);
        });
}

} // namespace

void OpenWebPage(const HubContext& hub, QObject* context, const QString& url)
{
    // Some browsers take options that run other programs: such an address never leaves the hub.
    if (looksLikeOption(url)) {
        hub.notice(kOptionLikeAddressText);
        return;
    }
    startWith(hub, context, kNoBrowserText, kPageNotOpenedText,
              [url](BrowserFinder& finder) { return finder.openPage(url); });
}

void ShowFolder(const HubContext& hub, QObject* context, const QString& folder)
{
    startWith(hub, context, QStringLiteral("Could not find a file manager"),
              QStringLiteral("Folder not Opened"),
              [folder](BrowserFinder& finder) { return finder.openFolder(folder); });
}

void ShowItemInFolder(const HubContext& hub, QObject* context, const QString& path)
{
    QString folder;
    SplitPath(path, nullptr, &folder);
    FileManager* files = hub.services().fileManager;
    if (!files) {
        ShowFolder(hub, context, folder);
        return;
    }
    files->showItem(path, [&hub, guard = QPointer<QObject>(context), folder](bool shown) {
        if (!shown && guard)
            ShowFolder(hub, guard, folder);
    });
}

QString supportPageUrl()
{
    return kSupportPageUrl;
}
