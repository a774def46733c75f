#pragma once

#include <QString>

class HubContext;

// The maker's support page, opened by Help > Web Based Support.
inline const QString kSupportPageUrl =
    QStringLiteral("http://www.keldara.org/keldara/qelsupport.htm");

// The one way the hub opens a web address: the user's browser is found and started with `url` as
// exactly one argument, unchanged, blanks included; the hub does not wait for it. No browser:
// "Could not find a web browser". A browser that would not start: "Web Page not Opened" with the
// system's reason. An address that begins with "-" (after blanks) is refused with a message and
// handed to no program. True when the browser was started.
bool OpenWebPage(const HubContext& hub, const QString& url);

// Shows `folder` in the desktop's file manager, found the way the browser is: none found gives
// "Could not find a file manager", one that would not start "Folder not Opened" with the reason.
bool ShowFolder(const HubContext& hub, const QString& folder);

// The support page's address, for Help > Web Based Support.
QString supportPageUrl();
