#include "actions/WebPages.h"

#include "base/Paths.h"
#include "platform/BrowserFinder.h"
#include "platform/FileManager.h"
#include "ui/HubContext.h"

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

} // namespace

bool OpenWebPage(const HubContext& hub, const QString& url)
{
    // Some browsers take options that run other programs: such an address never leaves the hub.
    if (looksLikeOption(url)) {
        hub.notice(kOptionLikeAddressText);
        return false;
    }
    BrowserFinder* browsers = hub.services().browsers;
    const std::optional<ProgramCommand> command =
        browsers ? browsers->findBrowser(url) : std::nullopt;
    if (!command) {
        hub.notice(kNoBrowserText);
        return false;
    }
    const FileResult started = browsers->start(*command);
    if (!started.ok) {
        hub.fileFailure(kPageNotOpenedText, started);
        return false;
    }
    return true;
}

bool ShowFolder(const HubContext& hub, const QString& folder)
{
    BrowserFinder* finder = hub.services().browsers;
    const std::optional<ProgramCommand> command =
        finder ? finder->findFileManager(folder) : std::nullopt;
    if (!command) {
        hub.notice(QStringLiteral("Could not find a file manager"));
        return false;
    }
    const FileResult started = finder->start(*command);
    if (!started.ok) {
        hub.fileFailure(QStringLiteral("Folder not Opened"), started);
        return false;
    }
    return true;
}

void ShowItemInFolder(const HubContext& hub, QObject* context, const QString& path)
{
    QString folder;
    SplitPath(path, nullptr, &folder);
    FileManager* files = hub.services().fileManager;
    if (!files) {
        ShowFolder(hub, folder);
        return;
    }
    files->showItem(path, [&hub, guard = QPointer<QObject>(context), folder](bool shown) {
        if (!shown && guard)
            ShowFolder(hub, folder);
    });
}

QString supportPageUrl()
{
    return kSupportPageUrl;
}
