#pragma once

#include <QString>

class HubContext;
class QObject;

// The maker's support page, opened by Help > Web Based Support.
inline const QString kSupportPageUrl =
    QStringLiteral("http://www.keldara.org/keldara/qelsupport.htm");

// The one way the hub opens a web address: the user's browser is found and started with `url` as
// exactly one argument, unchanged, blanks included; the hub does not wait for it. Both happen
// away from the window's thread (the lookup reads the user's home folder, which may lie on a
// share), and the outcome is told on the window's thread unless `context` has gone by then. No
// browser: "Could not find a web browser". A browser that would not start: "Web Page not Opened"
// with the system's reason. An address that begins with "-" (after blanks) is refused at once
// with a message and handed to no program.
void OpenWebPage(const HubContext& hub, QObject* context, const QString& url);

// Shows `folder` in the desktop's file manager, found and started as the browser is: none found
// gives "Could not find a file manager", one that would not start "Folder not Opened" with the
// reason.
void ShowFolder(const HubContext& hub, QObject* context, const QString& folder);

// Asks the desktop's file manager to show the file at `path` selected in its folder, without
// waiting for it. When none can be asked, or it refuses or gives no answer in a few seconds, the
// folder is shown as ShowFolder shows it, unless `context` has gone by then.
void ShowItemInFolder(const HubContext& hub, QObject* context, const QString& path);

// The support page's address, for Help > Web Based Support.
QString supportPageUrl();
