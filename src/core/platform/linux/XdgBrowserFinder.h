#pragma once

#include "platform/BrowserFinder.h"

#include <QByteArray>

#ifndef Q_OS_WIN

// The user's web browser as the free desktops agree on it: $BROWSER first, then the program GIO
// names as the default for https, http or HTML pages (whatever the link's scheme: the program
// registered for HTML files is the one asked for), started by GIO from its desktop entry. The
// file manager is GIO's default for folders. Nothing goes through xdg-open or any other helper
// that could not tell "nothing configured" from "it would not start".
class XdgBrowserFinder : public BrowserFinder {
public:
    // `activationToken`: the token this start of the program was given, passed on to what is
    // started so that its window may come forward; empty when there was none.
    explicit XdgBrowserFinder(QByteArray activationToken = {});

    std::optional<FileResult> openPage(const QString& url) override;
    std::optional<FileResult> openFolder(const QString& folder) override;

    // The desktop-file ID of the application GIO names as the browser ($BROWSER aside); empty
    // when there is none.
    static QString browserId();

private:
    QByteArray m_token;
};

#endif
