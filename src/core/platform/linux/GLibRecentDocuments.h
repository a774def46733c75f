#pragma once

#include "platform/RecentDocuments.h"

#include <functional>

#ifndef Q_OS_WIN

// The free desktops' recently-used list ("recently-used.xbel" in the user's data folder), read
// and written with GLib's bookmark-file support, as the desktop's own programs do. Nothing is
// written while the desktop's privacy setting says not to remember recent files (read only where
// that setting's schema is installed).
class GLibRecentDocuments : public RecentDocuments {
public:
    // `listPath` empty: the user's list. `remember` empty: the desktop's setting decides.
    explicit GLibRecentDocuments(QString listPath = {}, std::function<bool()> remember = {});

    FileResult add(const Document& document) override;

    // The desktop's setting; true where it is not installed.
    static bool desktopRemembersRecentFiles();

private:
    QString m_listPath;
    std::function<bool()> m_remember;
};

#endif
