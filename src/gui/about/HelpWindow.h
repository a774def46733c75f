#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

class QAction;
class QTextBrowser;
class QToolBar;

// The program's help: pages compiled into the program, shown in a window of its own with Back,
// Forward and Home. Links between the pages are followed here; a link to a web page (http or
// https) is handed to `openWebPage`, so it opens in the user's browser as every web page of the
// hub does.
class HelpWindow : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "window") // read as a window, not as a panel
public:
    using LinkHandler = std::function<void(const QString& url)>;

    explicit HelpWindow(LinkHandler openWebPage = {});

    void setOpenWebPage(LinkHandler openWebPage) { m_openWebPage = std::move(openWebPage); }
    // Home: the contents page.
    void showContents();
    // A link clicked on a page, relative to the page shown.
    void followLink(const QUrl& link);

    // The contents page, the start of every visit.
    static QUrl contentsUrl();

    QToolBar* barHelp = nullptr;
    QAction* actBack = nullptr;
    QAction* actForward = nullptr;
    QAction* actHome = nullptr;
    QTextBrowser* browser = nullptr;

private:
    LinkHandler m_openWebPage;
};

// Makes the compiled-in help pages available (they live in a static library).
void ensureHelpResources();
