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

// The support page's address, for Help > Web Based Support.
QString supportPageUrl();
